#include "GuiTestSupport.h"
#include "ImageResources.h"
#include "xGUIListener.h"
#include "xGUIMicroReverbBg.h"
#include "xGUIReverbPower.h"
#include "xGUIScaledImage.h"

#include <gtest/gtest.h>

// Where the editor is shown enlarged, the pictures come from their own 2 ×
// and 3 × drawings, copied pixel for pixel at whole scales, never the 1 ×
// picture blown up.
namespace
{
juce::Image at (juce::Component& c, float scale) { return c.createComponentSnapshot (c.getLocalBounds(), true, scale); }

/** Number of pixels whose colour differs between a and b (the sizes must match). */
int differingPixels (const juce::Image& a, const juce::Image& b, juce::Rectangle<int> aArea, juce::Point<int> bOrigin)
{
    int differing = 0;
    for (int y = aArea.getY(); y < aArea.getBottom(); ++y)
        for (int x = aArea.getX(); x < aArea.getRight(); ++x)
            if (a.getPixelAt (x, y).getARGB() != b.getPixelAt (x + bOrigin.x, y + bOrigin.y).getARGB())
                ++differing;
    return differing;
}

juce::Image decode (const unsigned char* data, int size)
{
    juce::MemoryInputStream stream (data, (size_t) size, false);
    return juce::PNGImageFormat().decodeImage (stream);
}
}

TEST (EnlargedDrawing, ScalesUpToTwoUseTheTwiceDrawingAndLargerOnesTheThriceDrawing)
{
    EXPECT_EQ (xGUIScaledImage::resolutionFor (0.5f), 1);
    EXPECT_EQ (xGUIScaledImage::resolutionFor (1.0f), 1);
    EXPECT_EQ (xGUIScaledImage::resolutionFor (1.25f), 2);
    EXPECT_EQ (xGUIScaledImage::resolutionFor (2.0f), 2);
    EXPECT_EQ (xGUIScaledImage::resolutionFor (2.0000002f), 2);
    EXPECT_EQ (xGUIScaledImage::resolutionFor (2.5f), 3);
    EXPECT_EQ (xGUIScaledImage::resolutionFor (3.0f), 3);
}

TEST (EnlargedDrawing, TheFaceAtTwoAndThreeIsItsOwnDrawingPixelForPixel)
{
    xGUIMicroReverbBg face;
    const auto twice = decode (images::backgroundImage2x, images::backgroundImage2xSize);
    const auto thrice = decode (images::backgroundImage3x, images::backgroundImage3xSize);
    const auto once = decode (images::backgroundImage, images::backgroundImageSize);

    const auto shot2 = at (face, 2.0f);
    ASSERT_EQ (shot2.getBounds(), twice.getBounds());
    EXPECT_EQ (differingPixels (shot2, twice, shot2.getBounds(), {}), 0);

    const auto shot3 = at (face, 3.0f);
    ASSERT_EQ (shot3.getBounds(), thrice.getBounds());
    EXPECT_EQ (differingPixels (shot3, thrice, shot3.getBounds(), {}), 0);

    const auto shot1 = at (face, 1.0f);
    EXPECT_EQ (differingPixels (shot1, once, shot1.getBounds(), {}), 0);
}

TEST (EnlargedDrawing, StripsShowTheFrameOfTheirValueAtTheirScale)
{
    // On look of the power switch: the lower frame of the 2 × strip.
    xGUIReverbPower power;
    power.setValue (1.0);
    const auto strip = decode (images::powerSwitchImage2x, images::powerSwitchImage2xSize);
    const auto shot = at (power, 2.0f);
    ASSERT_EQ (shot.getWidth(), 88);
    ASSERT_EQ (shot.getHeight(), 38);
    EXPECT_EQ (differingPixels (shot, strip, shot.getBounds(), { 0, 38 }), 0);

    // Listener at 0.5 shows frame 32; the 3 × frames are 183 pixels tall.
    xGUIListener listener;
    listener.setValue (0.5);
    const auto listenerStrip = decode (images::listenerStripImage3x, images::listenerStripImage3xSize);
    juce::Image ground (juce::Image::ARGB, 363, 183, true);
    {
        juce::Graphics g (ground);
        g.drawImageAt (listenerStrip, 0, -32 * 183);
    }
    EXPECT_EQ (differingPixels (at (listener, 3.0f), ground, ground.getBounds(), {}), 0);
}

TEST (EnlargedDrawing, BetweenWholeScalesTheLargerDrawingIsReducedNotTheSmallerEnlarged)
{
    // At 1.5 the face's hairlines keep more contrast than the 1 × picture
    // blown up would give them: count the sharp steps along one row through
    // the captions.
    xGUIMicroReverbBg face;
    const auto fromLarger = at (face, 1.5f);
    juce::Image fromSmaller (juce::Image::ARGB, fromLarger.getWidth(), fromLarger.getHeight(), true);
    {
        juce::Graphics g (fromSmaller);
        g.setImageResamplingQuality (juce::Graphics::mediumResamplingQuality);
        g.drawImageTransformed (decode (images::backgroundImage, images::backgroundImageSize),
                                juce::AffineTransform::scale (1.5f));
    }
    auto edgeEnergy = [] (const juce::Image& image)
    {
        double sum = 0.0;
        for (int y = 140; y < 180; ++y)
            for (int x = 1; x < image.getWidth(); ++x)
                sum += std::abs (image.getPixelAt (x, y).getPerceivedBrightness()
                                 - image.getPixelAt (x - 1, y).getPerceivedBrightness());
        return sum;
    };
    EXPECT_GT (edgeEnergy (fromLarger), 1.2 * edgeEnergy (fromSmaller));
}
