#pragma once

#include "AudioFilterBase.h"
#include "Lv2Ports.h"
#include "PluginDescription.h"

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <memory>
#include <vector>

/** One plug-in in an LV2 module: its LV2 descriptor and the plug-in's
    description, whose fromUnit turns a control port's value into the
    filter's. The descriptor comes first, so that the layer finds the rest
    from the descriptor the host hands back to instantiate. */
struct Lv2PluginDescription
{
    LV2_Descriptor descriptor;
    const PluginDescription& plugin;
};

/** Fills a description whose descriptor presents the plug-in under its LV2
    URI. */
Lv2PluginDescription makeLv2PluginDescription (const PluginDescription& plugin) noexcept;

/** One instance of a filter behind LV2, as the VST 2 adapter is one behind
    VST 2: control ports in, parameters of the filter out; the same block path
    under the filter's callback lock; the filter's state through the state
    interface, in the container of FilterState.

    A control port is heard when its value differs from the last value seen
    on it: run() then hands the converted value to the filter's
    setParameterValue before the block. A port the host never connects leaves
    its parameter where it is (the filter's default in a new instance).
    After a state restore the restored values sound until the host changes a
    port: the port values present at the restore count as seen.

    Threads: run() on the audio thread; instantiate, activate, deactivate,
    connect_port outside run (LV2's instantiation class), state calls on the
    host's state thread, never during run(). */
class Lv2FilterPlugin
{
public:
    Lv2FilterPlugin (const Lv2PluginDescription& description, double sampleRate, const LV2_Feature* const* features);

    Lv2FilterPlugin (const Lv2FilterPlugin&) = delete;
    Lv2FilterPlugin& operator= (const Lv2FilterPlugin&) = delete;

    void connectPort (uint32_t port, void* data) noexcept;
    void activate();
    void run (uint32_t frames) noexcept;
    void deactivate();

    LV2_State_Status save (LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status restore (LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

    AudioFilterBase& getFilter() noexcept { return *filter; }

private:
    void applyControlPorts() noexcept;
    void markPortsAsSeen() noexcept;

    const Lv2PluginDescription& description;
    std::unique_ptr<AudioFilterBase> filter;
    const double sampleRate;
    const uint32_t parameterCount;
    LV2_URID stateKey = 0;
    LV2_URID chunkType = 0;

    std::vector<const float*> controls;
    std::vector<float> lastSeen;
    std::vector<bool> seenOnce;
    float* audioIn[Lv2Ports::audioChannels] {};
    float* audioOut[Lv2Ports::audioChannels] {};
    bool prepared = false;
    juce::MidiBuffer midi;
};
