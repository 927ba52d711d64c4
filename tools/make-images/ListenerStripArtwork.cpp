#include "ListenerStripArtwork.h"

#include "Canvas.h"

#include <cmath>

namespace
{
constexpr int firstLeft = 6;
constexpr float pixelsPerFrame = 1.5f;
const juce::Colour markerGrey { 0xffa7aaae };
} // namespace

int ListenerStripArtwork::markerLeft (int frame)
{
    return firstLeft + (int) std::floor (pixelsPerFrame * (float) frame + 0.5f);
}

juce::Image ListenerStripArtwork::create (int scale)
{
    auto strip = Canvas::blank (frameWidth, frameHeight * frameCount, scale);
    juce::Graphics g (strip);
    Canvas::inEditorPixels (g, scale);

    for (int k = 0; k < frameCount; ++k)
    {
        const auto left = markerLeft (k);
        const auto top = k * frameHeight + markerTop;

        // Ring: 13 pixels across, its 1-pixel stroke centred on pixel
        // centres, with the ears as 3 x 2 blocks above and below.
        const juce::Rectangle<float> ring ((float) left + 0.5f, (float) top + 2.5f, 12.0f, 12.0f);
        g.setColour (markerGrey.withAlpha (0.14f));
        g.fillEllipse (ring);
        g.setColour (markerGrey);
        g.drawEllipse (ring, 1.0f);
        g.fillRect (left + 5, top, 3, 2);
        g.fillRect (left + 5, top + markerHeight - 2, 3, 2);
    }
    return strip;
}
