#pragma once

#include "AudioFilterBase.h"
#include "FilterParameter.h"
#include "PluginDescription.h"

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

    Programs: without a program menu, the host's program
    list is the filter's program table. With one, the list is that menu: a
    choice applies the entry's values to the sounding program and gives it
    the entry's name, and the current entry is the one whose name the
    sounding program carries (the first entry when none does), so it comes
    back with a restored state. The state container is the same either way.

    Threads: processBlock on the audio thread; parameter, program and state
    calls on the host's threads; the editor on the message thread. */
class FilterAudioProcessor : public juce::AudioProcessor, private AudioFilterHost
{
public:
    /** One entry of the host's program menu: a name and a value for every
        filter parameter, in index order. */
    struct MenuProgram
    {
        juce::String name;
        std::vector<float> values;
    };

    /** Creates the plug-in's filter and one host parameter per filter
        parameter, whose texts, parsing and switch nature the description
        gives. The default of each is the new filter's value. The
        description must outlive the processor. */
    FilterAudioProcessor (const PluginDescription& plugin, std::vector<MenuProgram> programMenu = {});
    ~FilterAudioProcessor() override;

    AudioFilterBase& getFilter() const noexcept { return *filter; }

    const juce::String getName() const override { return plugin.identity.vst.effectName; }
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;

    /** The description's tail for the current values, read live: JUCE's
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
    bool hasProgramMenu() const noexcept { return ! programMenu.empty(); }
    void applyMenuProgram (const MenuProgram& program);

    const PluginDescription& plugin;
    const std::vector<MenuProgram> programMenu;
    std::unique_ptr<AudioFilterBase> filter;
    std::vector<FilterParameter*> filterParameters;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FilterAudioProcessor)
};
