#include "ImageResources.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>
#include <juce_graphics/juce_graphics.h>

#include <functional>

namespace
{
/** The image cache and the PNG decoder want JUCE's singletons set up and torn
    down around the whole run. */
class JuceEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { juce = std::make_unique<juce::ScopedJuceInitialiser_GUI>(); }
    void TearDown() override { juce.reset(); }

private:
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> juce;
};

[[maybe_unused]] const auto* const environment = ::testing::AddGlobalTestEnvironment (new JuceEnvironment);

struct Resource
{
    const char* name;
    const unsigned char* data;
    int size;
    int width, height;
};

const Resource background { "backgroundImage", images::backgroundImage, images::backgroundImageSize, 450, 223 };
const Resource infoPanel { "infoPanelImage", images::infoPanelImage, images::infoPanelImageSize, 450, 223 };
const Resource powerSwitch { "powerSwitchImage", images::powerSwitchImage, images::powerSwitchImageSize, 44, 38 };
const Resource inputSwitch { "inputSwitchImage", images::inputSwitchImage, images::inputSwitchImageSize, 22, 38 };
const Resource stereoSwitch { "stereoSwitchImage", images::stereoSwitchImage, images::stereoSwitchImageSize, 10, 20 };
const Resource listenerStrip { "listenerStripImage", images::listenerStripImage, images::listenerStripImageSize, 121,
                               3965 };

#define LUMIDOR_ENLARGED(name, k, w, h)                                                \
    {                                                                                  \
#name #k "x", images::name##k##x, images::name##k##xSize, (w) * (k), (h) * (k) \
    }
const Resource enlargements[] {
    LUMIDOR_ENLARGED (backgroundImage, 2, 450, 223),     LUMIDOR_ENLARGED (backgroundImage, 3, 450, 223),
    LUMIDOR_ENLARGED (infoPanelImage, 2, 450, 223),      LUMIDOR_ENLARGED (infoPanelImage, 3, 450, 223),
    LUMIDOR_ENLARGED (powerSwitchImage, 2, 44, 38),      LUMIDOR_ENLARGED (powerSwitchImage, 3, 44, 38),
    LUMIDOR_ENLARGED (inputSwitchImage, 2, 22, 38),      LUMIDOR_ENLARGED (inputSwitchImage, 3, 22, 38),
    LUMIDOR_ENLARGED (stereoSwitchImage, 2, 10, 20),     LUMIDOR_ENLARGED (stereoSwitchImage, 3, 10, 20),
    LUMIDOR_ENLARGED (listenerStripImage, 2, 121, 3965), LUMIDOR_ENLARGED (listenerStripImage, 3, 121, 3965),
};
#undef LUMIDOR_ENLARGED

/** A fresh decode, independent of the cache. */
juce::Image decode (const Resource& resource)
{
    juce::MemoryInputStream stream (resource.data, (size_t) resource.size, false);
    return juce::PNGImageFormat().decodeImage (stream);
}

void forEachPixel (const juce::Image& image, juce::Rectangle<int> area,
                   const std::function<void (int, int, juce::Colour)>& visit)
{
    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readOnly);
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            visit (x, y, pixels.getPixelColour (x, y));
}

int maxAlpha (const juce::Image& image, juce::Rectangle<int> area)
{
    int most = 0;
    forEachPixel (image, area, [&most] (int, int, juce::Colour c) { most = juce::jmax (most, (int) c.getAlpha()); });
    return most;
}

int minAlpha (const juce::Image& image, juce::Rectangle<int> area)
{
    int least = 255;
    forEachPixel (image, area, [&least] (int, int, juce::Colour c) { least = juce::jmin (least, (int) c.getAlpha()); });
    return least;
}

/** Bounds of every pixel in area that is not fully transparent. */
juce::Rectangle<int> inkBounds (const juce::Image& image, juce::Rectangle<int> area)
{
    juce::Rectangle<int> bounds;
    forEachPixel (
        image, area,
        [&bounds] (int x, int y, juce::Colour c)
        {
            if (c.getAlpha() > 0)
                bounds = bounds.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1) : bounds.getUnion ({ x, y, 1, 1 });
        });
    return bounds;
}

float meanBrightness (const juce::Image& image, juce::Rectangle<int> area)
{
    double sum = 0.0;
    forEachPixel (image, area, [&sum] (int, int, juce::Colour c) { sum += c.getPerceivedBrightness(); });
    return (float) (sum / (double) (area.getWidth() * area.getHeight()));
}

std::uint32_t bigEndian (const unsigned char* bytes)
{
    return ((std::uint32_t) bytes[0] << 24) | ((std::uint32_t) bytes[1] << 16) | ((std::uint32_t) bytes[2] << 8)
           | bytes[3];
}
} // namespace

class EmbeddedImage : public ::testing::TestWithParam<Resource>
{
};

TEST_P (EmbeddedImage, DecodesThroughTheCacheToItsSize)
{
    const auto& resource = GetParam();
    const auto image = juce::ImageCache::getFromMemory (resource.data, resource.size);
    ASSERT_TRUE (image.isValid());
    EXPECT_EQ (image.getWidth(), resource.width);
    EXPECT_EQ (image.getHeight(), resource.height);
    EXPECT_TRUE (image.hasAlphaChannel());
}

TEST_P (EmbeddedImage, IsAnEightBitRgbaPngWithoutInterlacing)
{
    const auto& resource = GetParam();
    ASSERT_GT (resource.size, 33);

    constexpr unsigned char signature[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };
    EXPECT_EQ (std::memcmp (resource.data, signature, sizeof (signature)), 0);
    EXPECT_EQ (std::memcmp (resource.data + 12, "IHDR", 4), 0);

    const auto* header = resource.data + 16;
    EXPECT_EQ (bigEndian (header), (std::uint32_t) resource.width);
    EXPECT_EQ (bigEndian (header + 4), (std::uint32_t) resource.height);
    EXPECT_EQ (header[8], 8) << "bit depth";
    EXPECT_EQ (header[9], 6) << "colour type: RGBA";
    EXPECT_EQ (header[12], 0) << "interlace method";
}

INSTANTIATE_TEST_SUITE_P (AllSix, EmbeddedImage,
                          ::testing::Values (background, infoPanel, powerSwitch, inputSwitch, stereoSwitch,
                                             listenerStrip),
                          [] (const auto& info) { return std::string (info.param.name); });

// The 2 × and 3 × drawings: exactly twice and three times the size, so every
// frame of a strip lands on whole pixels at its scale.
INSTANTIATE_TEST_SUITE_P (Enlarged, EmbeddedImage, ::testing::ValuesIn (enlargements),
                          [] (const auto& info) { return std::string (info.param.name); });

TEST (ImageCache, TheSameResourceAskedForTwiceIsOneSharedImage)
{
    const auto first = juce::ImageCache::getFromMemory (images::inputSwitchImage, images::inputSwitchImageSize);
    const auto usersBefore = first.getReferenceCount();
    const auto second = juce::ImageCache::getFromMemory (images::inputSwitchImage, images::inputSwitchImageSize);

    EXPECT_TRUE (first == second);
    EXPECT_EQ (first.getReferenceCount(), usersBefore + 1);
}

TEST (FullSizePictures, AreFullyOpaque)
{
    for (const auto& resource : { background, infoPanel })
    {
        const auto image = decode (resource);
        EXPECT_EQ (minAlpha (image, image.getBounds()), 255) << resource.name;
    }
}

TEST (FullSizePictures, SetTheFaceOnABlackGround)
{
    for (const auto& resource : { background, infoPanel })
    {
        const auto image = decode (resource);
        for (auto margin : { juce::Rectangle<int> (0, 0, 450, 14), { 0, 0, 17, 223 }, { 432, 0, 18, 223 } })
            EXPECT_LT (meanBrightness (image, margin), 0.02f) << resource.name;
    }
}

TEST (BackgroundImage, DisplaysSitInDarkWellsOnALightPanel)
{
    const auto image = decode (background);
    for (auto display : { juce::Rectangle<int> (38, 41, 110, 55), { 170, 41, 110, 55 }, { 296, 41, 121, 55 } })
        EXPECT_LT (meanBrightness (image, display), 0.2f) << display.toString();

    // Face between the wells and around the lower bars.
    for (auto face : { juce::Rectangle<int> (155, 40, 7, 54), { 287, 40, 7, 54 }, { 60, 126, 300, 3 } })
        EXPECT_GT (meanBrightness (image, face), 0.65f) << face.toString();
}

TEST (BackgroundImage, InputMarksAreCentredUnderTheirSwitches)
{
    // The switch frames, above the bracket that joins the two marks.
    const auto image = decode (background);
    for (auto bounds : { juce::Rectangle<int> (92, 17, 22, 14), { 128, 17, 22, 14 } })
    {
        juce::Rectangle<int> ink;
        forEachPixel (image, bounds,
                      [&ink] (int x, int y, juce::Colour c)
                      {
                          if (c.getPerceivedBrightness() < 0.4f)
                              ink = ink.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1) : ink.getUnion ({ x, y, 1, 1 });
                      });
        ASSERT_FALSE (ink.isEmpty()) << bounds.toString();
        EXPECT_NEAR (ink.getCentreX(), bounds.getCentreX(), 1) << bounds.toString();
    }
}

TEST (BackgroundImage, EveryLowerBarHasACaptionAboveIt)
{
    const auto image = decode (background);
    for (auto bar : { juce::Point<int> (32, 113), { 164, 113 }, { 296, 113 }, { 32, 143 }, { 164, 143 }, { 296, 143 } })
    {
        auto darkest = 1.0f;
        forEachPixel (image, { bar.x, bar.y - 12, 40, 10 },
                      [&darkest] (int, int, juce::Colour c)
                      { darkest = juce::jmin (darkest, c.getPerceivedBrightness()); });
        EXPECT_LT (darkest, 0.35f) << bar.toString();
    }
}

TEST (BackgroundImage, PowerOffLetteringReadsOnTheWindowBehindIt)
{
    auto face = decode (background);
    const auto window = meanBrightness (face, { 30, 17, 44, 19 });
    {
        juce::Graphics g (face);
        g.drawImageAt (decode (powerSwitch), 30, 17);
    }

    auto brightest = 0.0f;
    forEachPixel (face, { 30, 17, 44, 19 },
                  [&brightest] (int, int, juce::Colour c)
                  { brightest = juce::jmax (brightest, c.getPerceivedBrightness()); });
    EXPECT_LT (window, 0.2f);
    EXPECT_GT (brightest - window, 0.25f);
}

TEST (InfoPanelImage, VersionCaptionEndsJustLeftOfTheVersionText)
{
    const auto image = decode (infoPanel);
    const juce::Rectangle<int> row (150, 115, 157, 20);
    const auto page = meanBrightness (image, { 237, 115, 70, 20 });

    // The near-white version text needs a dark page under it, with nothing
    // of the caption reaching into it.
    EXPECT_LT (page, 0.25f);
    int captionEnd = -1;
    forEachPixel (image, row,
                  [&] (int x, int, juce::Colour c)
                  {
                      if (c.getPerceivedBrightness() > page + 0.2f)
                          captionEnd = juce::jmax (captionEnd, x);
                  });
    EXPECT_GE (captionEnd, 228);
    EXPECT_LT (captionEnd, 237);
}

TEST (SwitchStrips, PowerOffIsDimLetteringOnATransparentGround)
{
    const auto image = decode (powerSwitch);
    const juce::Rectangle<int> off (0, 0, 44, 19);
    EXPECT_LE (maxAlpha (image, off), 107);
    EXPECT_GT (maxAlpha (image, off), 40) << "the caption should still be readable";
    EXPECT_EQ (minAlpha (image, off), 0);
}

TEST (SwitchStrips, PowerOnIsAnOpaquePlateWithLitLettering)
{
    const auto image = decode (powerSwitch);
    const juce::Rectangle<int> on (0, 19, 44, 19);
    EXPECT_EQ (minAlpha (image, on), 255);

    auto brightest = 0.0f;
    forEachPixel (image, on,
                  [&brightest] (int, int, juce::Colour c)
                  { brightest = juce::jmax (brightest, c.getPerceivedBrightness()); });
    EXPECT_GT (brightest, 0.8f) << "the lit caption";
}

TEST (SwitchStrips, InputOffIsFullyTransparent) { EXPECT_EQ (maxAlpha (decode (inputSwitch), { 0, 0, 22, 19 }), 0); }

TEST (SwitchStrips, InputOnIsAFaintPairOfBracketsAroundAClearMiddle)
{
    const auto image = decode (inputSwitch);
    const juce::Rectangle<int> on (0, 19, 22, 19);
    EXPECT_LE (maxAlpha (image, on), 64);
    EXPECT_GT (maxAlpha (image, on), 0);

    // The face's mark shows through the middle; the brackets stand on both
    // sides of it, mirrored about the frame's centre.
    EXPECT_EQ (maxAlpha (image, { 7, 19 + 4, 8, 11 }), 0);
    const auto ink = inkBounds (image, on);
    EXPECT_EQ (ink.getX(), 22 - ink.getRight());
    EXPECT_EQ (ink.getY() - 19, 38 - ink.getBottom());
}

TEST (SwitchStrips, StereoIsAFaintSquareThatFillsWhenOn)
{
    const auto image = decode (stereoSwitch);
    const juce::Rectangle<int> off (0, 0, 10, 10), on (0, 10, 10, 10);
    EXPECT_LE (maxAlpha (image, off), 64);
    EXPECT_GT (maxAlpha (image, off), 0);
    EXPECT_LE (maxAlpha (image, on), 107);

    EXPECT_EQ (maxAlpha (image, { 4, 4, 2, 2 }), 0) << "off: an empty square";
    EXPECT_GT (minAlpha (image, { 4, 14, 2, 2 }), 64) << "on: a filled centre, brighter than the outline";
}

TEST (ListenerStrip, EachFrameHoldsOnlyTheMarkerInRows22To38)
{
    const auto image = decode (listenerStrip);
    for (int k = 0; k < 65; ++k)
    {
        const auto ink = inkBounds (image, { 0, 61 * k, 121, 61 }).translated (0, -61 * k);
        ASSERT_FALSE (ink.isEmpty()) << "frame " << k;
        EXPECT_EQ (ink.getY(), 22) << "frame " << k;
        EXPECT_EQ (ink.getBottom(), 39) << "frame " << k;
        EXPECT_NEAR (ink.getWidth(), 13, 1) << "frame " << k;
    }
}

TEST (ListenerStrip, MarkerMovesAboutOneAndAHalfPixelsPerFrame)
{
    const auto image = decode (listenerStrip);
    auto leftEdge = [&image] (int k)
    {
        return inkBounds (image, { 0, 61 * k, 121, 61 }).getX();
    };

    EXPECT_NEAR (leftEdge (0), 6, 1);
    EXPECT_NEAR (leftEdge (64), 101, 1);
    for (int k = 1; k < 65; ++k)
    {
        EXPECT_NEAR (leftEdge (k), 6.0 + 1.5 * k, 1.0) << "frame " << k;
        EXPECT_GE (leftEdge (k), leftEdge (k - 1)) << "frame " << k;
    }
}
