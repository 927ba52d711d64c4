#pragma once

#include <juce_graphics/juce_graphics.h>

/** The hardware surfaces of the artwork: textured metal, the face frame,
    recesses, engraved rules and screws. All rectangles are in whole pixels
    and every hairline covers exactly one pixel row or column. */
class PanelPainter
{
public:
    /** Fills area with a vertical gradient from top to bottom and a fine,
        slightly brushed grain. grain is the spread of the per-pixel noise in
        8-bit levels; the same seed always gives the same pixels. area is in
        editor pixels; on an image made at scale the grain is laid down per
        image pixel, so it stays as fine as the screen shows it. */
    static void texture (juce::Image& image, juce::Rectangle<int> area, juce::Colour top, juce::Colour bottom,
                         float grain, int seed, int scale = 1);

    /** The thin light frame around the face: lit on its top and left,
        shaded on its bottom and right, one pixel inside area. */
    static void frame (juce::Graphics& g, juce::Rectangle<int> area);

    /** A window sunk into the face. inside is the visible floor; the rim
        lies one pixel outside it, shaded top and left, lit bottom and right,
        and the floor carries the shadow of the upper and left walls. */
    static void recess (juce::Graphics& g, juce::Rectangle<int> inside, juce::Colour top, juce::Colour bottom);

    /** An engraved horizontal rule from x1 to x2 (inclusive) on row y, with
        its lit lower lip on row y + 1. */
    static void rule (juce::Graphics& g, int x1, int x2, int y);

    /** A small countersunk cross-head screw centred on a pixel centre. */
    static void screw (juce::Graphics& g, juce::Point<int> centrePixel, float radius, float slotAngle);

    PanelPainter() = delete;
};
