#include "AudioFilterBase.h"

#include "AudioFilterEditor.h"

AudioFilterBase::~AudioFilterBase()
{
    // An adapter deletes the editor before the filter; this only guards
    // against an editor that outlives it by mistake.
    if (auto* editor = activeEditor.exchange (nullptr))
        editor->filterBeingDeleted();
}

void AudioFilterBase::setParameterNotifyingHost (int index, float value)
{
    if (host != nullptr)
        host->setParameterFromEditor (*this, index, value);
    else
        setParameterValue (index, value);
}

void AudioFilterBase::setParameterFromHost (int index, float value)
{
    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        setParameterValue (index, value);
        return;
    }
    setParameterValueQuietly (index, value);
    hostChangesPending.store (true, std::memory_order_release);
}

void AudioFilterBase::announceHostChanges()
{
    if (hostChangesPending.exchange (false, std::memory_order_acquire))
        announceParameterChanges();
}

AudioFilterEditor* AudioFilterBase::createEditorIfNeeded()
{
    if (auto* existing = getActiveEditor())
        return existing;

    auto* editor = makeEditor();
    activeEditor = editor;
    return editor;
}

AudioFilterEditor* AudioFilterBase::getActiveEditor() const noexcept { return activeEditor; }

void AudioFilterBase::editorBeingDeleted (AudioFilterEditor* editor)
{
    activeEditor.compare_exchange_strong (editor, nullptr);
}

void AudioFilterBase::setPlayConfiguration (int inputs, int outputs, double rate, int block) noexcept
{
    numInputChannels = inputs;
    numOutputChannels = outputs;
    sampleRate = rate;
    blockSize = block;
}

void AudioFilterBase::activate (int inputs, int outputs, double hostRate, int hostBlockSize)
{
    const juce::ScopedLock sl (callbackLock);
    const double rate = hostRate > 0.0 ? hostRate : fallbackSampleRate;
    setPlayConfiguration (inputs, outputs, rate, hostBlockSize);
    prepare (rate, hostBlockSize);
}

void AudioFilterBase::deactivate()
{
    const juce::ScopedLock sl (callbackLock);
    release();
}

void AudioFilterBase::processHostBlock (const juce::AudioBuffer<float>& input, juce::AudioBuffer<float>& output,
                                        juce::MidiBuffer& midi)
{
    const juce::ScopedLock sl (callbackLock);
    if (suspended)
        output.clear();
    else
        renderBlock (input, output, false, midi);

    if (! midi.isEmpty())
        midi.clear();
}
