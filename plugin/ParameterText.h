#pragma once

#include <juce_core/juce_core.h>

/** The display text of a parameter value: exactly two decimals ("0.50",
    "-0.00", "12.34"), or "%.9g" for magnitudes of 1e20 and more. Correct for
    every float, including values whose hundredfold exceeds a 64-bit integer. */
juce::String formatParameterText (float value);
