#pragma once

#include <juce_graphics/juce_graphics.h>

/** The three switch strips: two frames stacked vertically, the off look on
    top and the on look below. Sizes are in editor pixels; scale gives the
    image pixels per editor pixel (1, 2 or 3). */
class SwitchArtwork
{
public:
    /** 44 x 38. Off: the caption and an unlit lamp in dim lettering on a
        transparent ground (alpha at most 107), over the face's dark window.
        On: the caption and the lamp lit on an opaque plate. */
    static juce::Image createPower (int scale = 1);

    /** 22 x 38. Off: fully transparent, leaving the face's mark alone. On: a
        pair of faint square brackets (alpha at most 64) around the mark. */
    static juce::Image createInput (int scale = 1);

    /** 10 x 20. Off: a faint square outline (alpha at most 64). On: the same
        square with a filled centre (alpha at most 107). */
    static juce::Image createStereo (int scale = 1);

    /** The strongest alpha the dim off looks and faint marks may use. */
    static constexpr juce::uint8 dimAlpha = 107;
    static constexpr juce::uint8 faintAlpha = 64;

    SwitchArtwork() = delete;
};
