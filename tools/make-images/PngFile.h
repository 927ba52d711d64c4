#pragma once

#include <juce_graphics/juce_graphics.h>

/** Writes images as PNG files. An ARGB image is always written as 8-bit
    RGBA (colour type 6), not interlaced, even when every pixel is opaque. */
class PngFile
{
public:
    /** Replaces file with the image; returns false if it cannot be written. */
    static bool write (const juce::Image& image, const juce::File& file);

    PngFile() = delete;
};
