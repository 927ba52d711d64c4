#pragma once

#include <juce_graphics/juce_graphics.h>

/** Every picture is drawn in editor pixels and can be rendered at a whole
    multiple of its size: the same drawing code then fills scale × scale
    image pixels per editor pixel, so the 2 × and 3 × pictures are drawn
    afresh rather than enlarged. At scale 1 no transform is added, so the
    1 × pictures come out exactly as they always have. */
namespace Canvas
{
/** A transparent ARGB image of width × height editor pixels at scale. */
inline juce::Image blank (int width, int height, int scale)
{
    return juce::Image (juce::Image::ARGB, width * scale, height * scale, true, juce::SoftwareImageType());
}

/** Makes g draw in editor pixels on an image made at scale. */
inline void inEditorPixels (juce::Graphics& g, int scale)
{
    if (scale != 1)
        g.addTransform (juce::AffineTransform::scale ((float) scale));
}
} // namespace Canvas
