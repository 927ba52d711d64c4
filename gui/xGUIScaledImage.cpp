#include "xGUIScaledImage.h"

namespace
{
// Scales within this of a whole number count as that number, so a 2 × host
// whose transform picked up rounding still gets the 2 × drawing unresampled.
constexpr float scaleTolerance = 1.0e-3f;

juce::Image take (const xGUIScaledImage::Resource& r)
{
    return r.data != nullptr && r.size > 0 ? juce::ImageCache::getFromMemory (r.data, r.size) : juce::Image();
}
}

xGUIScaledImage::xGUIScaledImage (Enlargements enlargements) noexcept
    : resources (enlargements)
{
}

xGUIScaledImage::~xGUIScaledImage()
{
    // Hands the cache references back.
    twice = juce::Image();
    thrice = juce::Image();
}

int xGUIScaledImage::resolutionFor (float physicalScale) noexcept
{
    if (physicalScale <= 1.0f + scaleTolerance)
        return 1;
    return physicalScale <= 2.0f + scaleTolerance ? 2 : 3;
}

bool xGUIScaledImage::drawEnlarged (juce::Graphics& g, int x, int y)
{
    const int resolution = resolutionFor (g.getInternalContext().getPhysicalPixelScaleFactor());
    if (resolution == 1)
        return false;

    if (resolution == 3 && ! thrice.isValid())
        thrice = take (resources.thrice);
    if (! twice.isValid() && (resolution == 2 || ! thrice.isValid()))
        twice = take (resources.twice);
    if (resources.opaque)
    {
        // Copying pixels is cheaper than blending them, and an opaque
        // picture needs no blending: it is kept without its alpha channel.
        for (auto* image : { &twice, &thrice })
            if (image->isValid() && image->hasAlphaChannel())
                *image = image->convertedToFormat (juce::Image::RGB);
    }

    // A missing 3 × drawing falls back to the 2 × one.
    const bool useThrice = resolution == 3 && thrice.isValid();
    const auto& image = useThrice ? thrice : twice;
    if (! image.isValid())
        return false;

    const float reduction = 1.0f / (useThrice ? 3.0f : 2.0f);
    g.drawImageTransformed (image, juce::AffineTransform::scale (reduction).translated ((float) x, (float) y));
    return true;
}

void xGUIScaledImage::draw (juce::Graphics& g, const juce::Image& oneTimes, int x, int y)
{
    if (! drawEnlarged (g, x, y))
        g.drawImageAt (oneTimes, x, y);
}
