#include "GuiTestSupport.h"
#include "xGUIListener.h"
#include "xGUIMicroReverbBg.h"
#include "xGUIProductInfo.h"
#include "xGUIReverbInputSelect.h"
#include "xGUIReverbInputStereoSelect.h"
#include "xGUIReverbPower.h"

#include <gtest/gtest.h>

#include <memory>

// A seeded image is held by the test and by the cache; every reference a
// widget takes shows as one more.
namespace
{
constexpr int heldByTestAndCache = 2;
}

TEST (ImageReferences, EachWidgetTakesItsReferencesAndGivesThemBack)
{
    SeededArtwork art;
    ASSERT_EQ (art.power.getReferenceCount(), heldByTestAndCache);

    {
        xGUIMicroReverbBg face;
        xGUIProductInfo panel;
        xGUIReverbPower power;
        xGUIReverbInputStereoSelect stereo;
        xGUIListener listener;
        EXPECT_EQ (art.background.getReferenceCount(), heldByTestAndCache + 1);
        EXPECT_EQ (art.infoPanel.getReferenceCount(), heldByTestAndCache + 1);
        EXPECT_EQ (art.power.getReferenceCount(), heldByTestAndCache + 2) << "one for each look";
        EXPECT_EQ (art.stereo.getReferenceCount(), heldByTestAndCache + 2);
        EXPECT_EQ (art.listener.getReferenceCount(), heldByTestAndCache + 1);
    }

    EXPECT_EQ (art.background.getReferenceCount(), heldByTestAndCache);
    EXPECT_EQ (art.infoPanel.getReferenceCount(), heldByTestAndCache);
    EXPECT_EQ (art.power.getReferenceCount(), heldByTestAndCache);
    EXPECT_EQ (art.stereo.getReferenceCount(), heldByTestAndCache);
    EXPECT_EQ (art.listener.getReferenceCount(), heldByTestAndCache);
}

TEST (ImageReferences, TheTwoInputSwitchesShareOneCachedStrip)
{
    SeededArtwork art;
    auto left = std::make_unique<xGUIReverbInputSelect>();
    auto right = std::make_unique<xGUIReverbInputSelect>();
    EXPECT_EQ (art.input.getReferenceCount(), heldByTestAndCache + 4);
    left.reset();
    EXPECT_EQ (art.input.getReferenceCount(), heldByTestAndCache + 2);
    right.reset();
    EXPECT_EQ (art.input.getReferenceCount(), heldByTestAndCache);
}

TEST (ImageReferences, TheEmbeddedPicturesDecodeOncePerCacheLifetime)
{
    juce::ImageCache::releaseUnusedImages();
    auto first = std::make_unique<xGUIReverbPower>();
    auto second = std::make_unique<xGUIReverbPower>();
    const auto shared = juce::ImageCache::getFromMemory (images::powerSwitchImage, images::powerSwitchImageSize);
    if (shared.isNull())
        GTEST_SKIP() << "the power switch picture is not embedded yet";

    // Cache + two references per switch + this one.
    EXPECT_EQ (shared.getReferenceCount(), 1 + 4 + 1);
    EXPECT_EQ (shared.getWidth(), 44);
    EXPECT_EQ (shared.getHeight(), 38);
}
