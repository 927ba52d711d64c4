#pragma once

#include <juce_core/juce_core.h>

/** Number texts of the value labels: fixed-decimal formatting that rounds
    half up on the magnitude (so a tiny negative number reads "-0.0"), and
    reading the leading number of a typed text. */
class xGUINumberText
{
public:
    /** The value with the given decimals, rounded half up on its magnitude,
        with a minus sign whenever the value is below zero. With 0 decimals
        the general number form is used. */
    static juce::String format (double value, int decimals);

    /** The leading decimal number of the text (optional white space, sign,
        digits, decimal point, exponent), as a 32-bit float; 0 when the text
        starts with no number. */
    static float leadingNumber (const juce::String& text);

private:
    xGUINumberText() = delete;
};
