#include "xGUINumberText.h"

#include <cmath>

namespace
{
// Beyond this many decimals a double has no digits left to show.
constexpr int maxDecimals = 15;
// Largest magnitude (after scaling) that a double still holds as an exact
// integer; larger numbers fall back to the general form.
constexpr double exactIntegerLimit = 9.0e15;
}

juce::String xGUINumberText::format (double value, int decimals)
{
    if (decimals <= 0 || ! std::isfinite (value))
        return juce::String (value);

    decimals = juce::jmin (decimals, maxDecimals);

    juce::int64 scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;

    const double scaled = std::floor (std::abs (value) * (double) scale + 0.5);
    if (scaled >= exactIntegerLimit)
        return juce::String (value, decimals);

    const auto units = (juce::int64) scaled;
    const juce::String sign (value < 0.0 ? "-" : "");
    return sign + juce::String (units / scale) + "." + juce::String (units % scale).paddedLeft ('0', decimals);
}

float xGUINumberText::leadingNumber (const juce::String& text) { return text.getFloatValue(); }
