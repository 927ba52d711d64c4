#include "ParameterText.h"

#include <cmath>
#include <cstdio>

namespace
{
constexpr double plainTextLimit = 1e20; // beyond this the value is shown as %.9g
}

juce::String formatParameterText (float value)
{
    const double v = (double) value;
    char text[64];

    if (! (v > -plainTextLimit && v < plainTextLimit))
    {
        std::snprintf (text, sizeof (text), "%.9g", v);
        return juce::String (text);
    }

    // The hundredfold value rounded half up, kept as a double: below 1e22 it
    // is an integer that a double holds exactly, and %.0f prints its digits.
    const double n = std::trunc (std::fabs (v) * 100.0 + 0.5);
    char digits[40];
    std::snprintf (digits, sizeof (digits), "%.0f", n);

    juce::String d (digits);
    while (d.length() < 3)
        d = "0" + d;

    const auto body = d.substring (0, d.length() - 2) + "." + d.substring (d.length() - 2);
    return (v < 0.0 ? "-" : "") + body;
}
