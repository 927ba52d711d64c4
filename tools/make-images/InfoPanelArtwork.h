#pragma once

#include <juce_graphics/juce_graphics.h>

/** The information page, 450 x 223, fully opaque: the face's frame, ground
    and brand marks around a dark page with the maker's emblem, the names, a
    version caption and the web address. The editor writes the version
    itself just right of the caption. */
class InfoPanelArtwork
{
public:
    /** scale: image pixels per editor pixel (1, 2 or 3). */
    static juce::Image create (int scale = 1);

    /** The caption's ink ends this many pixels left of the version text. */
    static constexpr int versionGap = 1;

    InfoPanelArtwork() = delete;
};
