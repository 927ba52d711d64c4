#pragma once

#include <juce_graphics/juce_graphics.h>

/** The listener strip: 65 frames of 121 x 61 stacked vertically, each
    transparent but for the listener's head seen from above (a ring with an
    ear on either side), facing the loudspeakers at the field's left edge. */
class ListenerStripArtwork
{
public:
    static constexpr int frameWidth = 121;
    static constexpr int frameHeight = 61;
    static constexpr int frameCount = 65;

    /** The head's bounds in frame pixels: 13 wide, rows 22 to 38. */
    static constexpr int markerWidth = 13;
    static constexpr int markerTop = 22;
    static constexpr int markerHeight = 17;

    /** Left edge of the head in frame k: 6 + 1.5 k, rounded half up so every
        frame stays on whole pixels. */
    static int markerLeft (int frame);

    /** scale: image pixels per editor pixel (1, 2 or 3). */
    static juce::Image create (int scale = 1);

    ListenerStripArtwork() = delete;
};
