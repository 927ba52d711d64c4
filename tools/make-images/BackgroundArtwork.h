#pragma once

#include <juce_graphics/juce_graphics.h>

/** The editor face, 450 x 223, fully opaque: the textured face plate with
    its switch marks, display wells and captions on the black ground. */
class BackgroundArtwork
{
public:
    /** scale: image pixels per editor pixel (1, 2 or 3). */
    static juce::Image create (int scale = 1);

    BackgroundArtwork() = delete;

private:
    static void topStrip (juce::Graphics& g);
    static void wells (juce::Graphics& g);
    static void listenerWellMarks (juce::Graphics& g);
    static void loudspeaker (juce::Graphics& g, juce::Point<int> topLeft);
    static void barCaptions (juce::Graphics& g);
};
