#pragma once

#include <juce_graphics/juce_graphics.h>

/** The maker's and the product's marks, shared by the editor face and the
    information page. */
class BrandPainter
{
public:
    /** The maker's emblem: a ring holding a V and two fading echoes of it,
        stroked in colour, centred on centre. */
    static void emblem (juce::Graphics& g, juce::Point<float> centre, float radius, juce::Colour colour);

    /** The black ground below the face: the maker's logo at the bottom left,
        inside the information button, and the product's name plate at the
        bottom right. */
    static void ground (juce::Graphics& g);

    BrandPainter() = delete;

private:
    static void logo (juce::Graphics& g, juce::Rectangle<int> area);
    static void namePlate (juce::Graphics& g, juce::Rectangle<int> area);
};
