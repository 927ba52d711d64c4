#include "ClapEditorHost.h"

#include "ModuleLibrary.h"

#include <clap/entry.h>
#include <clap/ext/gui.h>
#include <clap/ext/state.h>
#include <clap/ext/timer-support.h>
#include <clap/plugin-factory.h>

#include <algorithm>
#include <cstring>
#include <optional>

struct ClapEditorHost::Impl
{
    // Under AddressSanitizer the module stays mapped: what JUCE keeps for
    // the whole process inside it (its X11 symbol table, the desktop's
    // dark-mode watcher) would otherwise turn into leaks from an unmapped,
    // unnamed module.
#if defined(__SANITIZE_ADDRESS__)
    static constexpr bool unmapOnUnload = false;
#else
    static constexpr bool unmapOnUnload = true;
#endif
    std::optional<ModuleLibrary> library; // from open() on
    const clap_plugin_entry_t* entry = nullptr;
    const clap_plugin_t* plugin = nullptr;
    const clap_plugin_gui_t* gui = nullptr;
    const clap_plugin_timer_support_t* timerSupport = nullptr;
    bool editorCreated = false;
    std::vector<clap_id> timers;

    clap_host_t host {
        CLAP_VERSION_INIT, this, "lumidor-host", "Velderane", "", "1", nullptr, nullptr, nullptr, nullptr
    };
    clap_host_timer_support_t hostTimers { [] (const clap_host_t* h, uint32_t, clap_id* id)
                                           {
                                               auto& self = of (h);
                                               *id = (clap_id) self.timers.size() + 1;
                                               self.timers.push_back (*id);
                                               return true;
                                           },
                                           [] (const clap_host_t* h, clap_id id)
                                           {
                                               auto& timers = of (h).timers;
                                               timers.erase (std::remove (timers.begin(), timers.end(), id),
                                                             timers.end());
                                               return true;
                                           } };
    // The size is fixed by the scale; the window is made at it.
    clap_host_gui_t hostGui { [] (const clap_host_t*) {}, [] (const clap_host_t*, uint32_t, uint32_t) { return false; },
                              [] (const clap_host_t*) { return false; }, [] (const clap_host_t*) { return false; },
                              [] (const clap_host_t*, bool) {
                              } };

    static Impl& of (const clap_host_t* h) { return *static_cast<Impl*> (h->host_data); }

    Impl()
    {
        host.get_extension = [] (const clap_host_t* h, const char* id) -> const void*
        {
            if (std::strcmp (id, CLAP_EXT_TIMER_SUPPORT) == 0)
                return &of (h).hostTimers;
            if (std::strcmp (id, CLAP_EXT_GUI) == 0)
                return &of (h).hostGui;
            return nullptr;
        };
        host.request_restart = host.request_process = host.request_callback = [] (const clap_host_t*) {
        };
    }

    /** The factory's first plug-in, with the extensions the editor needs. */
    bool makePlugin (const std::string& modulePath, std::string& error)
    {
        auto* factory = static_cast<const clap_plugin_factory_t*> (entry->get_factory (CLAP_PLUGIN_FACTORY_ID));
        const auto* description = factory != nullptr && factory->get_plugin_count (factory) > 0
                                      ? factory->get_plugin_descriptor (factory, 0)
                                      : nullptr;
        if (description != nullptr)
            plugin = factory->create_plugin (factory, &host, description->id);
        if (plugin == nullptr || ! plugin->init (plugin))
        {
            if (plugin != nullptr)
                plugin->destroy (plugin);
            plugin = nullptr;
            error = modulePath + " made no plug-in";
            return false;
        }
        gui = static_cast<const clap_plugin_gui_t*> (plugin->get_extension (plugin, CLAP_EXT_GUI));
        timerSupport =
            static_cast<const clap_plugin_timer_support_t*> (plugin->get_extension (plugin, CLAP_EXT_TIMER_SUPPORT));
        if (gui == nullptr)
        {
            error = modulePath + " has no editor";
            return false;
        }
        return true;
    }

    bool loadState (const std::vector<uint8_t>& state);
    bool createEditor (double scale, uint32_t& width, uint32_t& height, std::string& error);

    ~Impl()
    {
        if (! library)
            return;
        library->call (Supervisor::Call::unload,
                       [this]
                       {
                           if (editorCreated)
                               gui->destroy (plugin);
                           if (plugin != nullptr)
                               plugin->destroy (plugin);
                           if (entry != nullptr)
                               entry->deinit();
                       });
    }
};

ClapEditorHost::ClapEditorHost()
    : impl (std::make_unique<Impl>())
{
}

ClapEditorHost::~ClapEditorHost() = default;

bool ClapEditorHost::open (const std::string& modulePath, std::string& error)
{
    auto& m = *impl;
    m.library.emplace (modulePath, Impl::unmapOnUnload);
    if (! m.library->load (error))
    {
        error = "cannot load the CLAP module " + error.substr (std::string ("cannot load ").size());
        return false;
    }
    auto* entry = static_cast<const clap_plugin_entry_t*> (m.library->symbol ("clap_entry"));
    return m.library->call (Supervisor::Call::entryPoint,
                            [&]
                            {
                                if (entry == nullptr || ! entry->init (modulePath.c_str()))
                                {
                                    error = modulePath + " is no CLAP module";
                                    return false;
                                }
                                m.entry = entry;
                                return m.makePlugin (modulePath, error);
                            });
}

bool ClapEditorHost::loadState (const std::vector<uint8_t>& state)
{
    return impl->library->call (Supervisor::Call::state, [&] { return impl->loadState (state); });
}

bool ClapEditorHost::Impl::loadState (const std::vector<uint8_t>& state)
{
    auto* extension = static_cast<const clap_plugin_state_t*> (plugin->get_extension (plugin, CLAP_EXT_STATE));
    if (extension == nullptr)
        return false;

    struct Reader
    {
        const std::vector<uint8_t>& bytes;
        size_t at = 0;
    } reader { state };
    clap_istream_t stream { &reader,
                            [] (const clap_istream_t* s, void* buffer, uint64_t size) -> int64_t
                            {
                                auto& r = *static_cast<Reader*> (s->ctx);
                                const auto n = std::min<size_t> ((size_t) size, r.bytes.size() - r.at);
                                std::memcpy (buffer, r.bytes.data() + r.at, n);
                                r.at += n;
                                return (int64_t) n;
                            } };
    return extension->load (plugin, &stream);
}

bool ClapEditorHost::createEditor (double scale, uint32_t& width, uint32_t& height, std::string& error)
{
    auto& m = *impl;
    return m.library->call (Supervisor::Call::editor, [&] { return m.createEditor (scale, width, height, error); });
}

bool ClapEditorHost::Impl::createEditor (double scale, uint32_t& width, uint32_t& height, std::string& error)
{
    auto& m = *this;
    if (! m.gui->create (m.plugin, CLAP_WINDOW_API_X11, false))
    {
        error = "the CLAP plug-in made no X11 editor";
        return false;
    }
    m.editorCreated = true;
    if (! m.gui->set_scale (m.plugin, scale))
    {
        error = "the CLAP plug-in refused the scale";
        return false;
    }
    if (! m.gui->get_size (m.plugin, &width, &height))
    {
        error = "the CLAP plug-in gave its editor no size";
        return false;
    }
    return true;
}

bool ClapEditorHost::showIn (unsigned long x11Window)
{
    clap_window_t parent { CLAP_WINDOW_API_X11, {} };
    parent.x11 = x11Window;
    return impl->library->call (Supervisor::Call::editor,
                                [&] {
                                    return impl->gui->set_parent (impl->plugin, &parent)
                                           && impl->gui->show (impl->plugin);
                                });
}

void ClapEditorHost::idle()
{
    if (impl->timerSupport == nullptr)
        return;
    impl->library->call (Supervisor::Call::editor,
                         [this]
                         {
                             for (const auto id : std::vector<clap_id> (impl->timers))
                                 impl->timerSupport->on_timer (impl->plugin, id);
                         });
}
