#pragma once

#include "AudioFilterBase.h"
#include "FilterParameter.h"
#include "FilterPresentation.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>
#include <memory>
#include <vector>

/** Presents one AudioFilterBase to the hosts that JUCE's plug-in client
    wrappers serve (VST3, LV2, Standalone), as the VST 2 adapter presents it to
    VST 2 hosts: the same parameters in the same order, the same programs, the
    same block path under the filter's callback lock, the same editor.

    State: getStateInformation writes a small container holding the index of
    the current program, the filter's bank chunk and its preset chunk;
    setStateInformation reads the bank, selects that program and reads the
    preset into it, so the program table, the current program and the values
    that were sounding all come back. A damaged container changes nothing. A
    bare bank or preset chunk, as a VST 2 host stores it, is accepted too.

    Programs: without a program menu in the presentation, the host's program
    list is the filter's program table. With one, the list is that menu: a
    choice applies the entry's values to the sounding program and gives it
    the entry's name, and the current entry is the one whose name the
    sounding program carries (the first entry when none does), so it comes
    back with a restored state. The state container is the same either way.

    Threads: processBlock on the audio thread; parameter, program and state
    calls on the host's threads; the editor on the message thread. */
class FilterAudioProcessor : public juce::AudioProcessor,
                             private AudioFilterHost
{
public:
    using FilterFactory = std::function<std::unique_ptr<AudioFilterBase>()>;

    /** Creates the filter through the factory and one host parameter per
        filter parameter. The default of each is the new filter's value. */
    FilterAudioProcessor (const juce::String& pluginName, const FilterFactory& makeFilter,
                          FilterPresentation presentation = {});
    ~FilterAudioProcessor() override;

    AudioFilterBase& getFilter() const noexcept { return *filter; }

    const juce::String getName() const override { return name; }
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;

    /** The presentation's tail for the current values, read live: JUCE's
        VST3 wrapper asks each time the host asks. */
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }

    bool hasEditor() const override { return true; }
    juce::AudioProcessorEditor* createEditor() override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    /** Renames the current program only: the filter takes a rename as the
        name of the program that is sounding. A program menu's entries keep
        their names. */
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destination) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    void getCurrentProgramStateInformation (juce::MemoryBlock& destination) override;
    void setCurrentProgramStateInformation (const void* data, int sizeInBytes) override;

    /** The host parameter for a filter index, or nullptr. */
    FilterParameter* getFilterParameter (int index) const noexcept;

private:
    void setParameterFromEditor (AudioFilterBase& source, int index, float value) override;
    bool isValidProgram (int index) const;
    bool hasProgramMenu() const noexcept { return ! presentation.programs.empty(); }
    void applyMenuProgram (const FilterPresentation::Program& program);

    const juce::String name;
    std::unique_ptr<AudioFilterBase> filter;
    const FilterPresentation presentation;
    std::vector<FilterParameter*> filterParameters;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FilterAudioProcessor)
};
