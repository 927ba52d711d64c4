#include "FilterAudioProcessor.h"

#include "AudioFilterEditor.h"
#include "FilterProcessorEditor.h"
#include "FilterState.h"
#include "FloatControl.h"

namespace
{

/** JUCE's wrappers switch on flush-to-zero around every block; the filter
    computes with denormals, as it does in its VST 2 module, so that every
    format produces the same samples. The host's register comes back
    afterwards. */
class ScopedFullPrecisionDenormals
{
public:
    ScopedFullPrecisionDenormals() noexcept
        : saved (FloatControl::read())
    {
        FloatControl::write (saved & ~FloatControl::flushToZeroBits);
    }

    ~ScopedFullPrecisionDenormals() noexcept { FloatControl::write (saved); }

    ScopedFullPrecisionDenormals (const ScopedFullPrecisionDenormals&) = delete;
    ScopedFullPrecisionDenormals& operator= (const ScopedFullPrecisionDenormals&) = delete;

private:
    const uint64_t saved;
};

/** A parameter id that every format can carry: the host name's letters and
    digits ("Dry-Wet" becomes "DryWet"). */
juce::String parameterIdFromName (const juce::String& hostName, int index)
{
    auto id = hostName.retainCharacters ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    return id.isNotEmpty() ? id : "Parameter" + juce::String (index);
}
}

FilterAudioProcessor::FilterAudioProcessor (const PluginDescription& description, std::vector<MenuProgram> menu)
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
    , plugin (description)
    , programMenu (std::move (menu))
    , filter (plugin.makeFilter())
{
    jassert (filter != nullptr);
    filter->setPlayConfiguration (2, 2, AudioFilterBase::fallbackSampleRate, 1024);
    filter->setHost (this);

    const auto count = filter->parameterCount();
    filterParameters.reserve ((size_t) juce::jmax (0, count));
    for (int i = 0; i < count; ++i)
    {
        auto parameter =
            std::make_unique<FilterParameter> (*filter, i, parameterIdFromName (filter->parameterName (i), i),
                                               filter->parameterValue (i), plugin);
        filterParameters.push_back (parameter.get());
        addParameter (parameter.release());
    }
}

FilterAudioProcessor::~FilterAudioProcessor() { filter->setHost (nullptr); }

bool FilterAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    return layouts.getMainInputChannelSet() == juce::AudioChannelSet::stereo()
           && layouts.getMainOutputChannelSet() == juce::AudioChannelSet::stereo();
}

void FilterAudioProcessor::prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock)
{
    filter->activate (2, 2, sampleRate, maximumExpectedSamplesPerBlock);
}

void FilterAudioProcessor::releaseResources() { filter->deactivate(); }

void FilterAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    const ScopedFullPrecisionDenormals fullPrecision;
    const juce::ScopedLock sl (filter->getCallbackLock());

    if (filter->isSuspended())
    {
        buffer.clear();
        return;
    }

    // JUCE hands one buffer for input and output. The filter reads both input
    // samples of a frame before it writes that frame, so in place is safe.
    filter->renderBlock (buffer, buffer, false, midi);
}

juce::AudioProcessorEditor* FilterAudioProcessor::createEditor()
{
    // JUCE asks only when no editor is open; an editor the filter still
    // remembers belongs to someone else.
    if (filter->getActiveEditor() != nullptr)
        return nullptr;

    auto* content = filter->createEditorIfNeeded();
    if (content == nullptr)
        return nullptr;

    return new FilterProcessorEditor (*this, std::unique_ptr<AudioFilterEditor> (content));
}

double FilterAudioProcessor::getTailLengthSeconds() const { return juce::jmax (0.0, plugin.tailSeconds (*filter)); }

bool FilterAudioProcessor::isValidProgram (int index) const { return index >= 0 && index < filter->programCount(); }

int FilterAudioProcessor::getNumPrograms()
{
    if (hasProgramMenu())
        return (int) programMenu.size();
    return juce::jmax (1, filter->programCount());
}

int FilterAudioProcessor::getCurrentProgram()
{
    if (hasProgramMenu())
    {
        const auto sounding = filter->programNameAt (filter->currentProgramIndex());
        for (size_t i = 0; i < programMenu.size(); ++i)
            if (programMenu[i].name == sounding)
                return (int) i;
        return 0;
    }
    return filter->currentProgramIndex();
}

void FilterAudioProcessor::setCurrentProgram (int index)
{
    if (hasProgramMenu())
    {
        if (index >= 0 && index < (int) programMenu.size())
            applyMenuProgram (programMenu[(size_t) index]);
        return;
    }

    if (! isValidProgram (index))
        return;

    filter->selectProgram (index);
    updateHostDisplay (ChangeDetails().withProgramChanged (true));
}

void FilterAudioProcessor::applyMenuProgram (const MenuProgram& program)
{
    // The name first, so that a host asking for the current program while it
    // hears the new values already gets this entry.
    filter->renameProgram (filter->currentProgramIndex(), program.name);

    const auto count = juce::jmin ((int) program.values.size(), (int) filterParameters.size());
    for (int i = 0; i < count; ++i)
    {
        const auto value = program.values[(size_t) i];
        if (filter->parameterValue (i) == value)
            continue;

        // As if the user moved the control: the filter's live value and its
        // sounding program change, and the host's view of the value follows.
        setParameterFromEditor (*filter, i, value);
    }

    updateHostDisplay (ChangeDetails().withProgramChanged (true));
}

const juce::String FilterAudioProcessor::getProgramName (int index)
{
    if (hasProgramMenu())
        return index >= 0 && index < (int) programMenu.size() ? programMenu[(size_t) index].name : juce::String();
    return isValidProgram (index) ? filter->programNameAt (index) : juce::String();
}

void FilterAudioProcessor::changeProgramName (int index, const juce::String& newName)
{
    if (! hasProgramMenu() && isValidProgram (index) && index == filter->currentProgramIndex())
        filter->renameProgram (index, newName);
}

void FilterAudioProcessor::getStateInformation (juce::MemoryBlock& destination)
{
    FilterState::write (*filter, destination);
}

void FilterAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (FilterState::read (*filter, data, sizeInBytes))
        updateHostDisplay (ChangeDetails().withProgramChanged (true));
}

void FilterAudioProcessor::getCurrentProgramStateInformation (juce::MemoryBlock& destination)
{
    destination.reset();
    filter->writePresetState (destination);
}

void FilterAudioProcessor::setCurrentProgramStateInformation (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= 0)
        return;

    filter->readPresetState (data, sizeInBytes);
    updateHostDisplay (ChangeDetails().withProgramChanged (true));
}

FilterParameter* FilterAudioProcessor::getFilterParameter (int index) const noexcept
{
    return index >= 0 && index < (int) filterParameters.size() ? filterParameters[(size_t) index] : nullptr;
}

void FilterAudioProcessor::setParameterFromEditor (AudioFilterBase& source, int index, float value)
{
    source.setParameterValue (index, value);

    // Each change from the editor is one complete gesture, so hosts that
    // record automation only inside gestures record it.
    if (auto* parameter = getFilterParameter (index))
    {
        parameter->beginChangeGesture();
        parameter->sendValueChangedMessageToListeners (value);
        parameter->endChangeGesture();
    }
}
