#pragma once

#include "AudioFilterBase.h"
#include "ParameterTable.h"
#include "ProgramRecord.h"

#include <atomic>
#include <limits>
#include <memory>

class xReverb;

/** The plug-in filter behind every host call: the eleven parameters, the 128
    programs, the state documents, and the block path that wraps the reverb
    engine with input routing, dry/wet mix, volume and the on/off switch.

    Threads: renderBlock runs on the audio thread under the callback lock;
    parameter, program and state calls come from the host's dispatcher thread
    and the editor's message thread. The live parameter values are atomics,
    each read and written whole, so the frame loop takes no lock. */
class DemoJuceFilter : public AudioFilterBase, public juce::ChangeBroadcaster
{
public:
    DemoJuceFilter();
    ~DemoJuceFilter() override;

    void prepare (double sampleRate, int blockSize) override;
    void release() override;
    void renderBlock (const juce::AudioBuffer<float>& input, juce::AudioBuffer<float>& output, bool accumulate,
                      juce::MidiBuffer& midi) override;
    AudioFilterEditor* makeEditor() override;

    int parameterCount() override;
    juce::String parameterName (int index) override;
    float parameterValue (int index) override;
    juce::String parameterText (int index) override;
    void setParameterValue (int index, float value) override;

    int programCount() override;
    int currentProgramIndex() override;
    void selectProgram (int index) override;
    juce::String programNameAt (int index) override;
    void renameProgram (int index, const juce::String& newName) override;

    void writeBankState (juce::MemoryBlock& destination) override;
    void writePresetState (juce::MemoryBlock& destination) override;
    void readBankState (const void* data, int sizeInBytes) override;
    void readPresetState (const void* data, int sizeInBytes) override;
    bool isUsableBankState (const void* data, int sizeInBytes) override;
    bool isUsablePresetState (const void* data, int sizeInBytes) override;
    void setParameterValueQuietly (int index, float value) noexcept override;
    void announceParameterChanges() override;

    /** Name of the current program as the preset document carries it. */
    juce::String getProgramName() const { return programName; }

    /** Linear output gain derived at the last block start. */
    float getOutputGain() const noexcept { return fGain.load (std::memory_order_relaxed); }

    /** Size the editor opens with; the editor writes its size back here. */
    int editorWidth = 450;
    int editorHeight = 223;

private:
    bool isValidParameter (int index) const noexcept { return index >= 0 && index < ParameterIndex::count; }
    bool isValidProgram (int index) const noexcept { return index >= 0 && index < programCountTotal; }
    float live (int index) const noexcept { return liveValues[(size_t) index].load (std::memory_order_relaxed); }
    void setLive (int index, float value) noexcept
    {
        liveValues[(size_t) index].store (value, std::memory_order_relaxed);
    }

    void updateEngine() noexcept;

    /** Where the input feeds the engine: both channels as they are, or one
        channel on both. */
    enum class Routing
    {
        stereo,
        leftToBoth,
        rightToBoth
    };
    struct BlockPointers
    {
        const float* inL;
        const float* inR;
        float* outL;
        float* outR;
        int frames;
    };
    struct BlockMix
    {
        float wetShare; // Dry-Wet
        float gain;     // linear output gain
    };
    template <Routing routing>
    void renderFrames (const BlockPointers& block, const BlockMix& mix, bool accumulate) noexcept;
    template <Routing routing, bool accumulate, bool engineOn>
    void renderFrames (const BlockPointers& block, const BlockMix& mix) noexcept;

    std::unique_ptr<xReverb> engine;
    std::array<std::atomic<float>, ParameterIndex::count> liveValues;
    std::atomic<float> fGain { 1.0f };
    float gainExponent = std::numeric_limits<float>::quiet_NaN(); // dB that volumeGain belongs to
    float volumeGain = 1.0f; // gain of the volume alone, used while the engine is on
    juce::String programName { "Default" };
    int currentProgram = 0;
    std::array<std::unique_ptr<ProgramRecord>, programCountTotal> programs;
};
