#include "xGUIEarlyDiffusions.h"

#include <cmath>

namespace
{
// Far more lines than any display has columns; only keeps a wild diffusion
// value from overflowing the int.
constexpr double maxLineCount = 100000.0;
}

xGUIEarlyDiffusions::xGUIEarlyDiffusions() { setSize (94, 40); }

xGUIEarlyDiffusions::~xGUIEarlyDiffusions() = default;

void xGUIEarlyDiffusions::setLineColour (juce::Colour c)
{
    lineColour = c;
    repaint();
}

void xGUIEarlyDiffusions::setRoomSize (double fraction)
{
    extent = (float) (width * fraction);
    repaint();
}

void xGUIEarlyDiffusions::setDiffusionAmount (double d)
{
    const double count = d * 20.0 + 3.0;
    lineCount = std::isfinite (count) ? (int) juce::jlimit (-maxLineCount, maxLineCount, count) : 0;
    repaint();
}

void xGUIEarlyDiffusions::paint (juce::Graphics& g)
{
    // No room, no lines; a non-finite spread (only from a wild fraction)
    // draws nothing either.
    if (! (extent > 0.0f) || ! std::isfinite (extent))
        return;

    g.setColour (lineColour);
    for (int i = 0; i < lineCount; ++i)
    {
        const float xf = extent * (float) i / (float) lineCount;
        const float top = height * (float) i / (float) lineCount;
        // Columns past the width are invisible; limiting first keeps the
        // conversion defined for any spread.
        const auto x = (int) juce::jmin (xf, width + 1.0f);
        g.drawVerticalLine (x, top, height);
    }
}

void xGUIEarlyDiffusions::resized()
{
    width = (float) getWidth();
    height = (float) getHeight();
}
