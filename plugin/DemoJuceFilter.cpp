#include "DemoJuceFilter.h"

#include "DemoEditorComponent.h"
#include "ParameterText.h"
#include "xReverb.h"

#include <cmath>

namespace
{
constexpr float volumeBase = 1.12202f; // 1 dB as a gain ratio, so gain = base^dB
constexpr float volumeRangeDb = 24.0f; // Volume 0..1 spans -12..+12 dB
constexpr float volumeOffsetDb = 12.0f;
constexpr double earlyTopNote = 60.0;   // EarlySize 0: early field off
constexpr float lateTopNote = 48.0f;    // LateSize 0: late field off
constexpr float sizeRangeNotes = 72.0f; // both sizes span six octaves
constexpr double decayRange = 60.0;     // Decay 0..1 maps to exponent 0..60
// The listener blend squares the position: beyond this magnitude its weights
// overflow to infinity and the output shelves, which are never reset, would
// carry NaN for the rest of the session. No position a control can reach
// comes near it.
constexpr float listenerLimit = 1000.0f;

inline float finiteOrZero (float x) noexcept
{
    // The engine has no reset: one NaN or infinity would ring in its loops for
    // the rest of the session, so such samples enter as silence.
    return std::isfinite (x) ? x : 0.0f;
}
}

DemoJuceFilter::DemoJuceFilter()
{
    for (const auto& p : parameterTable)
        setLive (p.index, p.defaultValue);

    for (auto& record : programs)
        record = std::make_unique<ProgramRecord>();

    engine = std::make_unique<xReverb>();
    engine->setBypass (false);

    selectProgram (0);
}

DemoJuceFilter::~DemoJuceFilter()
{
    for (auto& record : programs)
        record.reset();
    engine.reset();
}

void DemoJuceFilter::prepare (double sampleRate, int) { engine->setSampleRate ((float) sampleRate); }

void DemoJuceFilter::release() {}

void DemoJuceFilter::updateEngine() noexcept
{
    using namespace ParameterIndex;

    engine->setEarlySize ((float) (earlyTopNote - (double) (live (earlySize) * sizeRangeNotes)));
    engine->setLateSize (lateTopNote - live (lateSize) * sizeRangeNotes);
    engine->setDiffusion (live (diffusion));
    engine->setDecay ((float) ((double) live (decay) * decayRange));
    engine->setListener (juce::jlimit (-listenerLimit, listenerLimit, live (listener)));

    if (live (onOff) == 1.0f)
    {
        engine->setBypass (false);
        // The power is taken again only when the volume has moved.
        const float exponent = live (volume) * volumeRangeDb - volumeOffsetDb;
        if (! sameBits (exponent, gainExponent))
        {
            gainExponent = exponent;
            volumeGain = (float) std::pow ((double) volumeBase, (double) exponent);
        }
        fGain.store (volumeGain, std::memory_order_relaxed);
    }
    else
    {
        engine->setBypass (true);
        fGain.store (1.0f, std::memory_order_relaxed);
    }
}

void DemoJuceFilter::renderBlock (const juce::AudioBuffer<float>& input, juce::AudioBuffer<float>& output,
                                  bool accumulate, juce::MidiBuffer&)
{
    using namespace ParameterIndex;

    updateEngine();

    if (input.getNumChannels() != 2 || output.getNumChannels() != 2)
    {
        if (! accumulate)
            output.clear();
        return;
    }

    // Dry-Wet and the routing switches are taken once per block, like every
    // other setting, so the frame loop itself tests nothing.
    const float l = live (leftOnOff);
    const float r = live (rightOnOff);
    const auto routing = l != 0.0f ? Routing::leftToBoth : (r != 0.0f ? Routing::rightToBoth : Routing::stereo);
    const BlockPointers block { input.getReadPointer (0), input.getReadPointer (1), output.getWritePointer (0),
                                output.getWritePointer (1),
                                juce::jmin (input.getNumSamples(), output.getNumSamples()) };
    const BlockMix mix { live (dryWet), fGain.load (std::memory_order_relaxed) };

    switch (routing)
    {
        case Routing::stereo: renderFrames<Routing::stereo> (block, mix, accumulate); break;
        case Routing::leftToBoth: renderFrames<Routing::leftToBoth> (block, mix, accumulate); break;
        case Routing::rightToBoth: renderFrames<Routing::rightToBoth> (block, mix, accumulate); break;
    }
}

template <DemoJuceFilter::Routing routing>
void DemoJuceFilter::renderFrames (const BlockPointers& block, const BlockMix& mix, bool accumulate) noexcept
{
    const bool engineOn = ! engine->isBypassed();
    if (accumulate)
        engineOn ? renderFrames<routing, true, true> (block, mix) : renderFrames<routing, true, false> (block, mix);
    else
        engineOn ? renderFrames<routing, false, true> (block, mix) : renderFrames<routing, false, false> (block, mix);
}

template <DemoJuceFilter::Routing routing, bool accumulate, bool engineOn>
void DemoJuceFilter::renderFrames (const BlockPointers& block, const BlockMix& mix) noexcept
{
    xReverb& reverb = *engine;
    const float m = mix.wetShare;
    const float dryShare = 1.0f - m;
    const float gain = mix.gain;

    constexpr int chunk = 256; // frames
    float dryL[chunk], dryR[chunk], wetL[chunk], wetR[chunk];

    for (int start = 0; start < block.frames; start += chunk)
    {
        const int n = juce::jmin (chunk, block.frames - start);

        // The whole chunk is read before any of it is written, so in-place
        // buffers are safe.
        for (int i = 0; i < n; ++i)
        {
            float l = finiteOrZero (block.inL[start + i]);
            float r = finiteOrZero (block.inR[start + i]);
            if constexpr (routing == Routing::leftToBoth)
                r = l;
            else if constexpr (routing == Routing::rightToBoth)
                l = r;
            dryL[i] = wetL[i] = l;
            dryR[i] = wetR[i] = r;
        }

        // With the engine bypassed the wet frame is the routed frame itself.
        if constexpr (engineOn)
            reverb.run (wetL, wetR, n);

        float* const outL = block.outL + start;
        float* const outR = block.outR + start;
        for (int i = 0; i < n; ++i)
        {
            const float yl = (wetL[i] * m + dryShare * dryL[i]) * gain;
            const float yr = (wetR[i] * m + dryShare * dryR[i]) * gain;
            if constexpr (accumulate)
            {
                outL[i] += yl;
                outR[i] += yr;
            }
            else
            {
                outL[i] = yl;
                outR[i] = yr;
            }
        }
    }
}

AudioFilterEditor* DemoJuceFilter::makeEditor() { return new DemoEditorComponent (this); }

int DemoJuceFilter::parameterCount() { return ParameterIndex::count; }

juce::String DemoJuceFilter::parameterName (int index)
{
    return isValidParameter (index) ? juce::String (parameterTable[(size_t) index].hostName) : juce::String();
}

float DemoJuceFilter::parameterValue (int index) { return isValidParameter (index) ? live (index) : 0.0f; }

juce::String DemoJuceFilter::parameterText (int index)
{
    return isValidParameter (index) ? formatParameterText (live (index)) : juce::String();
}

void DemoJuceFilter::setParameterValue (int index, float value)
{
    setParameterValueQuietly (index, value);
    sendChangeMessage();
}

void DemoJuceFilter::setParameterValueQuietly (int index, float value) noexcept
{
    // A non-finite value from a host would poison the engine; such a write is
    // dropped and the previous value kept. Finite values are stored as given.
    if (isValidParameter (index) && std::isfinite (value))
    {
        setLive (index, value);
        programs[(size_t) currentProgram]->valueOf (index) = value;
    }
}

void DemoJuceFilter::announceParameterChanges() { sendChangeMessage(); }

int DemoJuceFilter::programCount() { return programCountTotal; }

int DemoJuceFilter::currentProgramIndex() { return currentProgram; }

void DemoJuceFilter::selectProgram (int index)
{
    if (! isValidProgram (index))
        return;

    currentProgram = index;
    // The program's name travels with it, so a preset saved after a switch
    // carries the name of the program that is sounding.
    programName = programs[(size_t) index]->name;

    for (int p = 0; p < ParameterIndex::count; ++p)
        setParameterValue (p, programs[(size_t) index]->valueOf (p));
}

juce::String DemoJuceFilter::programNameAt (int index)
{
    return isValidProgram (index) ? programs[(size_t) index]->name : juce::String();
}

void DemoJuceFilter::renameProgram (int index, const juce::String& newName)
{
    if (! isValidProgram (index))
        return;
    programs[(size_t) index]->name = newName;
    programName = newName;
}
