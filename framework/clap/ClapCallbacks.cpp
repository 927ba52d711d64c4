// The C side of the CLAP layer: the factory, the plug-in's function table
// and its extensions, each forwarding to the instance behind plugin_data.
#include "ClapFilterGui.h"
#include "ClapFilterPlugin.h"

#include <clap/ext/audio-ports.h>

#include <cstring>

namespace
{
ClapFilterPlugin& self (const clap_plugin_t* p) noexcept { return *ClapFilterPlugin::of (p); }

const ClapPluginDescription& descriptionOf (const clap_plugin_factory_t* factory) noexcept
{
    // The factory is the first member of the description.
    return *reinterpret_cast<const ClapPluginDescription*> (factory);
}

//==============================================================================
uint32_t audioPortCount (const clap_plugin_t*, bool) { return 1; }

bool audioPortInfo (const clap_plugin_t*, uint32_t index, bool isInput, clap_audio_port_info_t* info)
{
    if (index != 0 || info == nullptr)
        return false;
    *info = clap_audio_port_info_t {};
    info->id = 0;
    std::strcpy (info->name, isInput ? "Input" : "Output");
    info->flags = CLAP_AUDIO_PORT_IS_MAIN;
    info->channel_count = 2;
    info->port_type = CLAP_PORT_STEREO;
    info->in_place_pair = 0;
    return true;
}

const clap_plugin_audio_ports_t audioPorts { audioPortCount, audioPortInfo };

//==============================================================================
uint32_t paramCount (const clap_plugin_t* p) { return self (p).parameterCount(); }
bool paramInfo (const clap_plugin_t* p, uint32_t index, clap_param_info_t* info)
{
    return info != nullptr && self (p).parameterInfo (index, *info);
}
bool paramValue (const clap_plugin_t* p, clap_id id, double* value)
{
    return value != nullptr && self (p).parameterValue (id, *value);
}
bool paramValueToText (const clap_plugin_t* p, clap_id id, double value, char* display, uint32_t size)
{
    return self (p).valueToText (id, value, display, size);
}
bool paramTextToValue (const clap_plugin_t* p, clap_id id, const char* display, double* value)
{
    return value != nullptr && self (p).textToValue (id, display, *value);
}
void paramFlush (const clap_plugin_t* p, const clap_input_events_t* in, const clap_output_events_t* out)
{
    self (p).flush (in, out);
}

const clap_plugin_params_t params { paramCount, paramInfo, paramValue, paramValueToText, paramTextToValue, paramFlush };

//==============================================================================
bool stateSave (const clap_plugin_t* p, const clap_ostream_t* stream) { return self (p).saveState (stream); }
bool stateLoad (const clap_plugin_t* p, const clap_istream_t* stream) { return self (p).loadState (stream); }

const clap_plugin_state_t state { stateSave, stateLoad };

uint32_t tailGet (const clap_plugin_t* p) { return self (p).tailSamples(); }

const clap_plugin_tail_t tail { tailGet };

//==============================================================================
ClapFilterGui& guiOf (const clap_plugin_t* p) noexcept { return self (p).getGui(); }

bool guiIsApiSupported (const clap_plugin_t*, const char* api, bool isFloating)
{
    return ClapFilterGui::isApiSupported (api, isFloating);
}
bool guiPreferredApi (const clap_plugin_t*, const char** api, bool* isFloating)
{
    if (api == nullptr || isFloating == nullptr)
        return false;
    *api = CLAP_WINDOW_API_X11;
    *isFloating = false;
    return true;
}
bool guiCreate (const clap_plugin_t* p, const char* api, bool isFloating)
{
    try
    {
        return guiOf (p).create (api, isFloating);
    }
    catch (...)
    {
        return false;
    }
}
void guiDestroy (const clap_plugin_t* p) { guiOf (p).destroy(); }
bool guiSetScale (const clap_plugin_t* p, double scale) { return guiOf (p).setScale (scale); }
bool guiGetSize (const clap_plugin_t* p, uint32_t* w, uint32_t* h)
{
    return w != nullptr && h != nullptr && guiOf (p).getSize (*w, *h);
}
bool guiCanResize (const clap_plugin_t*) { return false; }
bool guiResizeHints (const clap_plugin_t*, clap_gui_resize_hints_t* hints)
{
    if (hints == nullptr)
        return false;
    *hints = clap_gui_resize_hints_t {};
    return true;
}
bool guiAdjustSize (const clap_plugin_t* p, uint32_t* w, uint32_t* h)
{
    // The one size there is.
    return w != nullptr && h != nullptr && guiOf (p).getSize (*w, *h);
}
bool guiSetSize (const clap_plugin_t* p, uint32_t w, uint32_t h)
{
    uint32_t fixedW = 0, fixedH = 0;
    return guiOf (p).getSize (fixedW, fixedH) && w == fixedW && h == fixedH;
}
bool guiSetParent (const clap_plugin_t* p, const clap_window_t* window) { return guiOf (p).setParent (window); }
bool guiSetTransient (const clap_plugin_t*, const clap_window_t*) { return false; }
void guiSuggestTitle (const clap_plugin_t*, const char*) {}
bool guiShow (const clap_plugin_t* p) { return guiOf (p).show(); }
bool guiHide (const clap_plugin_t* p) { return guiOf (p).hide(); }

const clap_plugin_gui_t gui {
    guiIsApiSupported, guiPreferredApi, guiCreate,       guiDestroy,    guiSetScale,
    guiGetSize,        guiCanResize,    guiResizeHints,  guiAdjustSize, guiSetSize,
    guiSetParent,      guiSetTransient, guiSuggestTitle, guiShow,       guiHide,
};

void onTimer (const clap_plugin_t* p, clap_id timer) { self (p).onTimer (timer); }
const clap_plugin_timer_support_t timerSupport { onTimer };

void onFd (const clap_plugin_t* p, int fd, clap_posix_fd_flags_t) { self (p).onFd (fd); }
const clap_plugin_posix_fd_support_t fdSupport { onFd };

//==============================================================================
bool pluginInit (const clap_plugin_t* p) { return self (p).init(); }
void pluginDestroy (const clap_plugin_t* p) { delete ClapFilterPlugin::of (p); }
bool pluginActivate (const clap_plugin_t* p, double rate, uint32_t, uint32_t maxFrames)
{
    return self (p).activate (rate, maxFrames);
}
void pluginDeactivate (const clap_plugin_t* p) { self (p).deactivate(); }
bool pluginStartProcessing (const clap_plugin_t*) { return true; }
void pluginStopProcessing (const clap_plugin_t*) {}
// A filter has no reset in any format: it keeps its state from construction on.
void pluginReset (const clap_plugin_t*) {}
clap_process_status pluginProcess (const clap_plugin_t* p, const clap_process_t* process)
{
    return process != nullptr ? self (p).process (*process) : CLAP_PROCESS_ERROR;
}
void pluginOnMainThread (const clap_plugin_t*) {}

const void* pluginExtension (const clap_plugin_t*, const char* id)
{
    if (id == nullptr)
        return nullptr;
    const std::pair<const char*, const void*> extensions[] = {
        { CLAP_EXT_AUDIO_PORTS, &audioPorts },
        { CLAP_EXT_PARAMS, &params },
        { CLAP_EXT_STATE, &state },
        { CLAP_EXT_TAIL, &tail },
        { CLAP_EXT_GUI, &gui },
        { CLAP_EXT_TIMER_SUPPORT, &timerSupport },
        { CLAP_EXT_POSIX_FD_SUPPORT, &fdSupport },
    };
    for (const auto& [name, extension] : extensions)
        if (std::strcmp (id, name) == 0)
            return extension;
    return nullptr;
}

/** The plug-in's functions; each instance copies them and adds its own
    descriptor and data. */
const clap_plugin_t pluginFunctions {
    nullptr,
    nullptr,
    pluginInit,
    pluginDestroy,
    pluginActivate,
    pluginDeactivate,
    pluginStartProcessing,
    pluginStopProcessing,
    pluginReset,
    pluginProcess,
    pluginExtension,
    pluginOnMainThread,
};

//==============================================================================
uint32_t factoryCount (const clap_plugin_factory_t*) { return 1; }

const clap_plugin_descriptor_t* factoryDescriptor (const clap_plugin_factory_t* f, uint32_t index)
{
    return index == 0 ? &descriptionOf (f).descriptor : nullptr;
}

const clap_plugin_t* factoryCreate (const clap_plugin_factory_t* f, const clap_host_t* host, const char* id)
{
    const auto& description = descriptionOf (f);
    if (host == nullptr || id == nullptr || std::strcmp (id, description.descriptor.id) != 0
        || ! clap_version_is_compatible (host->clap_version))
        return nullptr;

    try
    {
        return (new ClapFilterPlugin (description, host, pluginFunctions))->clapPlugin();
    }
    catch (...)
    {
        return nullptr;
    }
}
} // namespace

ClapPluginDescription makeClapPluginDescription (const clap_plugin_descriptor_t& descriptor,
                                                 const PluginDescription& plugin) noexcept
{
    return { { factoryCount, factoryDescriptor, factoryCreate }, descriptor, plugin };
}

const void* clapModuleFactory (const ClapPluginDescription& description, const char* factoryId) noexcept
{
    return factoryId != nullptr && std::strcmp (factoryId, CLAP_PLUGIN_FACTORY_ID) == 0 ? &description.factory
                                                                                        : nullptr;
}
