#pragma once

#include "PluginDescription.h"

#include <clap/plugin-factory.h>
#include <clap/plugin.h>

/** One plug-in in a CLAP module: its factory, its CLAP descriptor and the
    plug-in's description. The factory comes first, so that the layer finds
    the rest from the factory the host hands back to create_plugin. */
struct ClapPluginDescription
{
    clap_plugin_factory_t factory;
    clap_plugin_descriptor_t descriptor;
    const PluginDescription& plugin;
};

/** A description whose factory offers the descriptor's one plug-in. The
    descriptor's strings must outlive the description. */
ClapPluginDescription makeClapPluginDescription (const clap_plugin_descriptor_t& descriptor,
                                                 const PluginDescription& plugin) noexcept;

/** The module's get_factory: the plug-in factory, or nullptr for any other
    factory id. */
const void* clapModuleFactory (const ClapPluginDescription& description, const char* factoryId) noexcept;
