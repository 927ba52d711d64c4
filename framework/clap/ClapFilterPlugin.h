#pragma once

#include "AudioFilterBase.h"
#include "FilterInstance.h"
#include "ClapEditQueue.h"
#include "ClapExtensions.h"
#include "ClapPluginDescription.h"

#include <clap/ext/params.h>
#include <clap/ext/state.h>
#include <clap/ext/timer-support.h>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

class ClapFilterGui;

/** One instance of a filter behind CLAP, as the VST 2 adapter is one behind
    VST 2: one stereo input and one stereo output port (an in-place pair),
    the filter's parameters by their indices as stable ids, the same block
    path under the filter's callback lock, the filter's state in the
    container of FilterState, and the filter's editor in the host's X11
    window.

    A parameter's value is the filter's normalised value, 0 to 1. A host's
    value reaches the filter as the float nearest to it, which for every
    value a VST 2 host could send is exactly that float. A non-finite value
    is ignored (the parameter keeps its value); a finite one outside 0..1 is
    clamped to the range it was declared with; a switch's value is cut to a
    whole number, as CLAP reads a stepped parameter. Parameter events inside
    a block are heard from their sample offsets: the block is cut there. A
    block without events is rendered whole, as a VST 2 host's block is.

    Threads, as CLAP assigns them: process, and flush while active, on the
    audio thread; everything else on the host's main thread, which serves as
    the framework's message thread. Nothing on the audio thread allocates,
    locks (but the filter's callback lock, as in every format) or calls into
    the message loop: values set there are announced to the editor on the
    main thread, from the host's timer or fd callbacks. */
class ClapFilterPlugin : private AudioFilterHost
{
public:
    /** The functions are the plug-in's table as the host calls it; the
        instance keeps a copy with its own descriptor and data. */
    ClapFilterPlugin (const ClapPluginDescription& description, const clap_host_t* host,
                      const clap_plugin_t& functions);
    ~ClapFilterPlugin() override;

    ClapFilterPlugin (const ClapFilterPlugin&) = delete;
    ClapFilterPlugin& operator= (const ClapFilterPlugin&) = delete;

    const clap_plugin_t* clapPlugin() const noexcept { return &plugin; }
    static ClapFilterPlugin* of (const clap_plugin_t* p) noexcept
    {
        return static_cast<ClapFilterPlugin*> (p->plugin_data);
    }

    /** Finds the host's extensions; CLAP allows asking only from here on. */
    bool init();
    bool activate (double sampleRate, uint32_t maxFrames);
    void deactivate();
    clap_process_status process (const clap_process_t& process) noexcept;

    uint32_t parameterCount() const noexcept { return (uint32_t) defaults.size(); }
    bool parameterInfo (uint32_t index, clap_param_info_t& info);
    bool parameterValue (clap_id id, double& value);
    bool valueToText (clap_id id, double value, char* display, uint32_t size);
    bool textToValue (clap_id id, const char* display, double& value);
    void flush (const clap_input_events_t* in, const clap_output_events_t* out) noexcept;

    bool saveState (const clap_ostream_t* stream);
    bool loadState (const clap_istream_t* stream);

    /** Tail in samples at the active (else the last) sample rate. */
    uint32_t tailSamples() noexcept;

    /** The main thread's periodic and fd callbacks, which drive the editor. */
    void onTimer (clap_id timer);
    void onFd (int fd);

    ClapFilterGui& getGui() noexcept { return *gui; }
    AudioFilterBase& getFilter() noexcept { return *filter; }

private:
    void setParameterFromEditor (AudioFilterBase& filter, int index, float value) override;

    /** The normalised value for a host's value, or nothing for one to ignore. */
    std::optional<float> filterValueFor (clap_id id, double hostValue) const noexcept;
    void applyEvent (const clap_event_header_t& event) noexcept;
    void sendEditsToHost (const clap_output_events_t* out) noexcept;
    void renderFrames (float* const* in, float* const* out, uint32_t start, uint32_t frames) noexcept;

    const ClapPluginDescription& description;
    const clap_host_t* const host;
    clap_plugin_t plugin;
    FilterInstance filter;
    std::vector<float> defaults;
    std::vector<bool> switches;
    const clap_host_params_t* hostParams = nullptr;

    bool active = false;
    ClapEditQueue edits;
    juce::MidiBuffer midi;
    std::unique_ptr<ClapFilterGui> gui;
};
