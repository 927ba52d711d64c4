#pragma once

#include "AudioFilterBase.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <optional>
#include <vector>

/** What a plug-in tells the hosts of JUCE's formats beyond what its filter
    answers: how a value reads in its unit and how typed text reads back,
    which parameters are switches, the named settings a host's program menu
    offers, and how long the output rings on after the input stops. The VST 2
    adapter never sees any of it. Each member is optional; left empty, the
    host sees the filter's own behaviour.

    The functions are called on the host's threads, the tail also while
    audio runs: they must not block. */
struct FilterPresentation
{
    /** One entry of the host's program menu: a name and a value for every
        filter parameter, in index order. */
    struct Program
    {
        juce::String name;
        std::vector<float> values;
    };

    /** Display text of any value of a parameter (filter index, value). */
    std::function<juce::String (int, float)> valueText;

    /** The value that a user's text asks for, or nothing when the text makes
        no sense for the parameter (the value then stays as it is). */
    std::function<std::optional<float> (int, const juce::String&)> valueForText;

    /** True for a parameter that is a two-state switch (off at 0, on at 1). */
    std::function<bool (int)> isSwitch;

    /** The host's program menu. When it is empty the menu is the filter's
        own program table. When it is given, choosing an entry sets the
        sounding values to the entry's and names the sounding program after
        it; the filter's table stays as it is and travels in the state. */
    std::vector<Program> programs;

    /** Seconds the output may still ring after the input falls silent, for
        the filter's current values. */
    std::function<double (AudioFilterBase&)> tailSeconds;
};
