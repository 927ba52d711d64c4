#pragma once

// A small CLAP host for the tests: loads the module by its entry with dlopen
// as hosts do, offers the host extensions the plug-in asks for (parameters,
// timer, fd watching, gui), and drives one plug-in through its function
// table and extensions. Links no JUCE. Nothing it does inside process()
// allocates, so the realtime probe can watch that call.
#include "ClapExtensions.h"

#include <clap/entry.h>
#include <clap/ext/audio-ports.h>
#include <clap/ext/gui.h>
#include <clap/ext/note-ports.h>
#include <clap/ext/params.h>
#include <clap/ext/state.h>
#include <clap/ext/timer-support.h>
#include <clap/plugin-factory.h>

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace claptest
{
constexpr const char* pluginId = "com.velderane.lumidor";

/** The module, loaded once per process, as hosts keep a module loaded. */
inline const clap_plugin_entry_t* entry()
{
    static const clap_plugin_entry_t* e = []() -> const clap_plugin_entry_t*
    {
        void* module = dlopen (LUMIDOR_CLAP_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr)
            return nullptr;
        auto* found = static_cast<const clap_plugin_entry_t*> (dlsym (module, "clap_entry"));
        return found != nullptr && found->init (LUMIDOR_CLAP_MODULE_PATH) ? found : nullptr;
    }();
    return e;
}

inline const clap_plugin_factory_t* factory()
{
    auto* e = entry();
    return e != nullptr ? static_cast<const clap_plugin_factory_t*> (e->get_factory (CLAP_PLUGIN_FACTORY_ID)) : nullptr;
}

/** A parameter value event at a frame of the block. */
inline clap_event_param_value_t parameterEvent (uint32_t time, clap_id id, double value)
{
    clap_event_param_value_t e {};
    e.header = { sizeof (e), time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0 };
    e.param_id = id;
    e.note_id = -1;
    e.port_index = e.channel = e.key = -1;
    e.value = value;
    return e;
}

/** Input events over a vector the caller fills before the call. */
struct InputEvents
{
    std::vector<clap_event_param_value_t> events;
    clap_input_events_t list { this,
                               [] (const clap_input_events_t* l)
                               { return (uint32_t) static_cast<InputEvents*> (l->ctx)->events.size(); },
                               [] (const clap_input_events_t* l, uint32_t i) -> const clap_event_header_t*
                               {
                                   auto& v = static_cast<InputEvents*> (l->ctx)->events;
                                   return i < v.size() ? &v[i].header : nullptr;
                               } };
};

/** What the plug-in pushes: the types and, for values, ids and values, in a
    fixed array so that pushing allocates nothing. */
struct OutputEvents
{
    struct Seen
    {
        uint16_t type;
        clap_id id;
        double value;
    };
    std::array<Seen, 64> seen {};
    size_t count = 0;
    clap_output_events_t list { this, [] (const clap_output_events_t* l, const clap_event_header_t* e)
                                {
                                    auto& self = *static_cast<OutputEvents*> (l->ctx);
                                    if (self.count == self.seen.size())
                                        return false;
                                    Seen s { e->type, 0, 0.0 };
                                    if (e->type == CLAP_EVENT_PARAM_VALUE)
                                    {
                                        s.id = reinterpret_cast<const clap_event_param_value_t*> (e)->param_id;
                                        s.value = reinterpret_cast<const clap_event_param_value_t*> (e)->value;
                                    }
                                    else if (e->type == CLAP_EVENT_PARAM_GESTURE_BEGIN
                                             || e->type == CLAP_EVENT_PARAM_GESTURE_END)
                                        s.id = reinterpret_cast<const clap_event_param_gesture_t*> (e)->param_id;
                                    self.seen[self.count++] = s;
                                    return true;
                                } };
};

/** The host side: its extensions and what the plug-in asked of it. */
class Host
{
public:
    bool offerTimer = true, offerFd = false;
    int rescans = 0, flushRequests = 0, resizeRequests = 0;
    std::vector<clap_id> timers;
    std::vector<int> fds;

    Host()
    {
        host.host_data = this;
        host.get_extension = [] (const clap_host_t* h, const char* id) -> const void*
        {
            auto& self = *static_cast<Host*> (h->host_data);
            if (std::strcmp (id, CLAP_EXT_PARAMS) == 0)
                return &self.params;
            if (std::strcmp (id, CLAP_EXT_TIMER_SUPPORT) == 0 && self.offerTimer)
                return &self.timer;
            if (std::strcmp (id, CLAP_EXT_POSIX_FD_SUPPORT) == 0 && self.offerFd)
                return &self.fd;
            if (std::strcmp (id, CLAP_EXT_GUI) == 0)
                return &self.gui;
            return nullptr;
        };
        host.request_restart = host.request_process = host.request_callback = [] (const clap_host_t*) {
        };
    }

    Host (const Host&) = delete;
    Host& operator= (const Host&) = delete;

    const clap_host_t* get() const { return &host; }

private:
    static Host& of (const clap_host_t* h) { return *static_cast<Host*> (h->host_data); }

    clap_host_t host { CLAP_VERSION_INIT, nullptr, "Lumidor test host", "Velderane", "", "1" };
    clap_host_params_t params { [] (const clap_host_t* h, clap_param_rescan_flags) { ++of (h).rescans; },
                                [] (const clap_host_t*, clap_id, clap_param_clear_flags) {},
                                [] (const clap_host_t* h)
                                {
                                    ++of (h).flushRequests;
                                } };
    clap_host_gui_t gui { [] (const clap_host_t*) {},
                          [] (const clap_host_t* h, uint32_t, uint32_t)
                          {
                              ++of (h).resizeRequests;
                              return true;
                          },
                          [] (const clap_host_t*) { return false; }, [] (const clap_host_t*) { return false; },
                          [] (const clap_host_t*, bool) {
                          } };
    clap_host_timer_support_t timer { [] (const clap_host_t* h, uint32_t, clap_id* id)
                                      {
                                          *id = (clap_id) of (h).timers.size() + 100;
                                          of (h).timers.push_back (*id);
                                          return true;
                                      },
                                      [] (const clap_host_t* h, clap_id id)
                                      {
                                          std::erase (of (h).timers, id);
                                          return true;
                                      } };
    clap_host_posix_fd_support_t fd { [] (const clap_host_t* h, int f, clap_posix_fd_flags_t)
                                      {
                                          of (h).fds.push_back (f);
                                          return true;
                                      },
                                      [] (const clap_host_t*, int, clap_posix_fd_flags_t) { return true; },
                                      [] (const clap_host_t* h, int f)
                                      {
                                          std::erase (of (h).fds, f);
                                          return true;
                                      } };
};

/** One plug-in: created, initialised, and destroyed with the object. */
class Plugin
{
public:
    explicit Plugin (Host& h)
        : host (h)
    {
        if (auto* f = factory())
            plugin = f->create_plugin (f, host.get(), pluginId);
        if (plugin != nullptr && ! plugin->init (plugin))
        {
            plugin->destroy (plugin);
            plugin = nullptr;
        }
        if (plugin == nullptr)
            return;
        params = extension<clap_plugin_params_t> (CLAP_EXT_PARAMS);
        state = extension<clap_plugin_state_t> (CLAP_EXT_STATE);
        gui = extension<clap_plugin_gui_t> (CLAP_EXT_GUI);
        timer = extension<clap_plugin_timer_support_t> (CLAP_EXT_TIMER_SUPPORT);
        fd = extension<clap_plugin_posix_fd_support_t> (CLAP_EXT_POSIX_FD_SUPPORT);
    }

    ~Plugin()
    {
        if (plugin == nullptr)
            return;
        if (active)
            plugin->deactivate (plugin);
        plugin->destroy (plugin);
    }

    Plugin (const Plugin&) = delete;
    Plugin& operator= (const Plugin&) = delete;

    bool ok() const { return plugin != nullptr && params != nullptr && state != nullptr; }

    template <typename Extension>
    const Extension* extension (const char* id) const
    {
        return static_cast<const Extension*> (plugin->get_extension (plugin, id));
    }

    bool activate (double rate, uint32_t maxFrames)
    {
        active = plugin->activate (plugin, rate, 1, maxFrames) && plugin->start_processing (plugin);
        return active;
    }

    void deactivate()
    {
        plugin->stop_processing (plugin);
        plugin->deactivate (plugin);
        active = false;
    }

    /** One block from separate or shared buffers, with its events. */
    clap_process_status process (float* const in[2], float* const out[2], uint32_t frames, InputEvents& events,
                                 OutputEvents* pushed = nullptr)
    {
        OutputEvents unused;
        clap_audio_buffer_t input { const_cast<float**> (in), nullptr, 2, 0, 0 };
        clap_audio_buffer_t output { const_cast<float**> (out), nullptr, 2, 0, 0 };
        clap_process_t p { -1,     frames,       nullptr,
                           &input, &output,      1,
                           1,      &events.list, &(pushed != nullptr ? pushed : &unused)->list };
        return plugin->process (plugin, &p);
    }

    void flush (InputEvents& events, OutputEvents& pushed) { params->flush (plugin, &events.list, &pushed.list); }

    double value (clap_id id) const
    {
        double v = -1.0;
        params->get_value (plugin, id, &v);
        return v;
    }

    std::string text (clap_id id, double value) const
    {
        char display[CLAP_NAME_SIZE];
        std::memset (display, 0x7f, sizeof (display));
        return params->value_to_text (plugin, id, value, display, sizeof (display)) ? std::string (display)
                                                                                    : "(refused)";
    }

    std::vector<char> save() const
    {
        std::vector<char> bytes;
        clap_ostream_t stream { &bytes,
                                [] (const clap_ostream_t* s, const void* data, uint64_t size) -> int64_t
                                {
                                    // At most 100 bytes a call: the plug-in must loop.
                                    const auto n = size < 100 ? size : 100;
                                    auto& v = *static_cast<std::vector<char>*> (s->ctx);
                                    v.insert (v.end(), static_cast<const char*> (data),
                                              static_cast<const char*> (data) + n);
                                    return (int64_t) n;
                                } };
        return state->save (plugin, &stream) ? bytes : std::vector<char> {};
    }

    bool load (const std::vector<char>& bytes) const
    {
        struct Reader
        {
            const std::vector<char>& bytes;
            size_t at = 0;
        } reader { bytes };
        clap_istream_t stream {
            &reader,
            [] (const clap_istream_t* s, void* data, uint64_t size) -> int64_t
            {
                auto& r = *static_cast<Reader*> (s->ctx);
                const auto n = std::min<uint64_t> ({ size, (uint64_t) 70, (uint64_t) (r.bytes.size() - r.at) });
                if (n > 0)
                    std::memcpy (data, r.bytes.data() + r.at, n);
                r.at += n;
                return (int64_t) n;
            }
        };
        return state->load (plugin, &stream);
    }

    Host& host;
    const clap_plugin_t* plugin = nullptr;
    const clap_plugin_params_t* params = nullptr;
    const clap_plugin_state_t* state = nullptr;
    const clap_plugin_gui_t* gui = nullptr;
    const clap_plugin_timer_support_t* timer = nullptr;
    const clap_plugin_posix_fd_support_t* fd = nullptr;
    bool active = false;
};
}
