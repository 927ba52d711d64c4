#pragma once

#include "AudioFilterBase.h"

#include <clap/plugin-factory.h>
#include <clap/plugin.h>

#include <memory>
#include <optional>
#include <string>

/** What a plug-in tells the CLAP layer about its parameters beyond what the
    filter itself answers. Every function is pure and may be called on any
    thread. */
struct ClapPresentation
{
    using FilterFactory = std::unique_ptr<AudioFilterBase> (*)();
    /** Text of a normalised value, in the unit a host shows. */
    using ValueText = std::string (*) (int parameterIndex, float normalised);
    /** The normalised value a user's text asks for; nothing when the text
        holds no value for the parameter. */
    using TextToValue = std::optional<float> (*) (int parameterIndex, const std::string& text);
    /** A switch: the host sees it stepped, 0 or 1. */
    using IsSwitch = bool (*) (int parameterIndex) noexcept;
    /** How long the output rings on after silence, in seconds, for the
        filter's current values. Reads the filter's live values only. */
    using TailSeconds = double (*) (AudioFilterBase& filter) noexcept;

    FilterFactory makeFilter;
    ValueText valueText;
    TextToValue textToValue;
    IsSwitch isSwitch;
    TailSeconds tailSeconds;
};

/** One plug-in in a CLAP module: its factory, its descriptor and its
    presentation. The factory comes first, so that the layer finds the rest
    from the factory the host hands back to create_plugin. */
struct ClapPluginDescription
{
    clap_plugin_factory_t factory;
    clap_plugin_descriptor_t descriptor;
    ClapPresentation presentation;
};

/** A description whose factory offers the descriptor's one plug-in. The
    descriptor's strings must outlive the description. */
ClapPluginDescription makeClapPluginDescription (const clap_plugin_descriptor_t& descriptor,
                                                 const ClapPresentation& presentation) noexcept;

/** The module's get_factory: the plug-in factory, or nullptr for any other
    factory id. */
const void* clapModuleFactory (const ClapPluginDescription& description, const char* factoryId) noexcept;
