#pragma once

#include "VstIdentity.h"

#include <memory>
#include <optional>
#include <string>

class AudioFilterBase;

/** Who a plug-in is in every format. Hosts store each of these in their
    sessions, so none may change once released. Plain data: the LV2 bundle's
    generator reads it without the framework. */
struct PluginIdentity
{
    VstIdentity vst;    // name and vendor for every format too
    const char* clapId; // reverse-domain id
    const char* lv2Uri;
    const char* lv2UiUri;
    const char* summary; // one line, for hosts that show a description
};

/** What every format adapter needs to know about a plug-in beyond what its
    filter answers, filled once by the plug-in and read by the VST 2, VST3
    and standalone, LV2 and CLAP adapters alike, so that a rule such as the
    tail or which parameters are switches is decided in one place.

    Every function is pure and must not block: hosts call them on any
    thread, the tail and the unit conversions while audio runs. */
struct PluginDescription
{
    const PluginIdentity& identity;

    /** A new filter with its default values. */
    std::unique_ptr<AudioFilterBase> (*makeFilter)();

    /** Text of a normalised value, in the unit a host shows. */
    std::string (*valueText) (int parameterIndex, float normalised);
    /** The normalised value a user's text asks for; nothing when the text
        holds no value for the parameter (the value then stays). */
    std::optional<float> (*textToValue) (int parameterIndex, const std::string& text);
    /** A two-state switch (off at 0, on at 1): hosts see it stepped. */
    bool (*isSwitch) (int parameterIndex) noexcept;

    /** A value in the parameter's unit, as a control port carries it. */
    float (*toUnit) (int parameterIndex, float normalised) noexcept;
    /** The normalised value for a value in the unit: finite and in 0..1 for
        every input, NaN and infinities included. */
    float (*fromUnit) (int parameterIndex, float unitValue) noexcept;

    /** Seconds the output may still ring after the input falls silent, for
        the filter's current values (read live). */
    double (*tailSeconds) (AudioFilterBase& filter) noexcept;
    /** Whether the output can fall silent for good: false for an engine
        with no reset whose tail has no end a host could wait for, which
        then asks to be processed on, as a VST 2 host does anyway. */
    bool tailEnds;
};
