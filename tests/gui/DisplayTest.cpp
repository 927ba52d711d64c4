#include "GuiTestSupport.h"
#include "xGUIEarlyDiffusions.h"
#include "xGUIInfoButton.h"
#include "xGUILateDecay.h"
#include "xGUILimiterLPF.h"
#include "xGUIMicroReverbBg.h"
#include "xGUIPluginVersion.h"
#include "xGUIProductInfo.h"

#include <gtest/gtest.h>

namespace
{
const juce::Colour opaqueWhite { 0xFFFFFFFF };
const juce::Colour clear { 0x00000000 };

struct Diffusions
{
    Diffusions (double room, double diffusion)
    {
        display.setBounds (0, 0, 110, 55);
        display.setLineColour (opaqueWhite);
        display.setRoomSize (room);
        display.setDiffusionAmount (diffusion);
    }
    xGUIEarlyDiffusions display;
};
}

TEST (EarlyDiffusionsDisplay, ThreeLinesFormAStaircaseAtNoDiffusion)
{
    Diffusions d (1.0, 0.0);
    const auto shot = snapshot (d.display);
    EXPECT_EQ (litColumns (shot), (std::vector<int> { 0, 36, 73 }));

    // Tops at 0, 18.33 and 36.67: the first lit row is partly covered.
    EXPECT_EQ (firstLitRow (shot, 0), 0);
    EXPECT_EQ (alphaAt (shot, 0, 0), 255);
    EXPECT_EQ (firstLitRow (shot, 36), 18);
    EXPECT_NEAR (alphaAt (shot, 36, 18), 0.67 * 255, 6);
    EXPECT_EQ (alphaAt (shot, 36, 19), 255);
    EXPECT_EQ (firstLitRow (shot, 73), 36);
    EXPECT_NEAR (alphaAt (shot, 73, 36), 0.33 * 255, 6);
    EXPECT_EQ (alphaAt (shot, 73, 54), 255);
}

TEST (EarlyDiffusionsDisplay, DiffusionSetsTheLineCount)
{
    EXPECT_EQ (litColumns (snapshot (Diffusions (1.0, 0.5).display)).size(), 13u);
    EXPECT_EQ (litColumns (snapshot (Diffusions (1.0, 1.0).display)).size(), 23u);
}

TEST (EarlyDiffusionsDisplay, RoomSizeSetsTheSpread)
{
    const auto full = litColumns (snapshot (Diffusions (1.0, 0.5).display));
    const auto half = litColumns (snapshot (Diffusions (0.5, 0.5).display));
    EXPECT_EQ (full.back(), 101); // trunc (110 × 12 ÷ 13)
    EXPECT_EQ (half.back(), 50);  // trunc (55 × 12 ÷ 13)
}

TEST (EarlyDiffusionsDisplay, NoRoomDrawsNothing)
{
    EXPECT_TRUE (litColumns (snapshot (Diffusions (0.0, 0.5).display)).empty());
    EXPECT_TRUE (litColumns (snapshot (Diffusions (-0.5, 0.5).display)).empty());
    EXPECT_TRUE (litColumns (snapshot (Diffusions (std::numeric_limits<double>::quiet_NaN(), 0.5).display)).empty());
}

TEST (EarlyDiffusionsDisplay, WildValuesStayDrawable)
{
    Diffusions d (1.0e30, std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE (litColumns (snapshot (d.display)).empty());
    d.display.setDiffusionAmount (1.0);
    EXPECT_FALSE (litColumns (snapshot (d.display)).empty());
}

TEST (EarlyDiffusionsDisplay, ResizingKeepsTheOldSpreadUntilTheNextSetter)
{
    Diffusions d (1.0, 0.0);
    d.display.setBounds (0, 0, 55, 55);
    d.display.setBounds (0, 0, 110, 55);
    EXPECT_EQ (litColumns (snapshot (d.display)).back(), 73);

    d.display.setBounds (0, 0, 220, 55);
    EXPECT_EQ (litColumns (snapshot (d.display)).back(), 73) << "spread unchanged";
    d.display.setRoomSize (1.0);
    EXPECT_EQ (litColumns (snapshot (d.display)).back(), 146);
}

namespace
{
struct Decay
{
    explicit Decay (double d)
    {
        display.setBounds (0, 0, 110, 55);
        display.setColours (opaqueWhite, clear);
        display.setDecayLength (d);
    }
    xGUILateDecay display;
};
}

TEST (LateDecayDisplay, HalfDecayIsTheTriangleFromTheApexToX63)
{
    // Triangle (16, 0), (63, 55), (0, 55).
    const auto shot = snapshot (Decay (0.5).display);
    EXPECT_EQ (alphaAt (shot, 18, 10), 255);
    EXPECT_EQ (alphaAt (shot, 11, 10), 0);
    EXPECT_EQ (alphaAt (shot, 27, 10), 0);
    EXPECT_EQ (alphaAt (shot, 3, 50), 255);
    EXPECT_EQ (alphaAt (shot, 57, 50), 255);
    EXPECT_EQ (alphaAt (shot, 61, 50), 0);
    EXPECT_EQ (alphaAt (shot, 61, 54), 255);
    EXPECT_EQ (alphaAt (shot, 64, 54), 0);
}

TEST (LateDecayDisplay, NoDecayIsAWedgeOnTheLeftEdge)
{
    const auto shot = snapshot (Decay (0.0).display);
    EXPECT_EQ (alphaAt (shot, 8, 50), 255);
    EXPECT_EQ (alphaAt (shot, 17, 50), 0);
    EXPECT_LE (litColumns (shot).back(), 16);
}

TEST (LateDecayDisplay, FullDecayReachesTheBottomRightCorner)
{
    const auto shot = snapshot (Decay (1.0).display);
    EXPECT_EQ (alphaAt (shot, 104, 54), 255);
    EXPECT_GT (alphaAt (shot, 109, 54), 0);
    EXPECT_EQ (alphaAt (shot, 100, 20), 0);
}

TEST (LateDecayDisplay, TheOutlineIsDrawnOverTheFill)
{
    Decay d (0.5);
    d.display.setColours (clear, opaqueWhite);
    const auto shot = snapshot (d.display);
    EXPECT_EQ (alphaAt (shot, 30, 54), 255) << "bottom edge";
    EXPECT_EQ (alphaAt (shot, 30, 40), 0) << "inside stays empty";
}

TEST (LateDecayDisplay, ResizingKeepsTheOldTriangleUntilTheNextSetter)
{
    Decay d (1.0);
    d.display.setBounds (0, 0, 220, 55);
    const auto shot = snapshot (d.display);
    EXPECT_EQ (alphaAt (shot, 150, 54), 0);
    d.display.setDecayLength (1.0);
    EXPECT_EQ (alphaAt (snapshot (d.display), 150, 54), 255);
}

namespace
{
struct Level
{
    Level()
    {
        display.setBounds (0, 0, 78, 55);
        display.setColours (clear, clear, opaqueWhite);
        display.setLineWidths (0.0f, 1.0f);
    }
    xGUILimiterLPF display;
};
}

TEST (LimiterDisplay, DrawsNothingUntilShown)
{
    Level l;
    l.display.setColours (opaqueWhite, opaqueWhite, opaqueWhite);
    l.display.setDryWet (0.25);
    EXPECT_TRUE (litColumns (snapshot (l.display)).empty());
    l.display.setShown (true);
    EXPECT_FALSE (litColumns (snapshot (l.display)).empty());
}

TEST (LimiterDisplay, TheLevelLineSitsAtOneMinusDryWetOfTheHeight)
{
    Level l;
    l.display.setShown (true);
    l.display.setDryWet (0.25);
    // y 41.25, one pixel wide: a quarter of row 40 and three quarters of 41.
    const auto shot = snapshot (l.display);
    EXPECT_EQ (firstLitRow (shot, 39), 40);
    EXPECT_NEAR (alphaAt (shot, 39, 40), 0.25 * 255, 6);
    EXPECT_NEAR (alphaAt (shot, 39, 41), 0.75 * 255, 6);
    EXPECT_EQ (alphaAt (shot, 39, 42), 0);
    EXPECT_GT (alphaAt (shot, 0, 41), 0);
    EXPECT_GT (alphaAt (shot, 77, 41), 0) << "across the full width";
}

TEST (LimiterDisplay, DryIsAtTheBottomAndWetAtTheTop)
{
    Level l;
    l.display.setShown (true);
    l.display.setDryWet (0.0);
    EXPECT_GT (alphaAt (snapshot (l.display), 39, 54), 0);
    l.display.setDryWet (1.0);
    EXPECT_GT (alphaAt (snapshot (l.display), 39, 0), 0);
}

TEST (LimiterDisplay, FillsTheWholeAreaAndAZeroWidthDrawsNoStroke)
{
    Level l;
    l.display.setShown (true);
    l.display.setColours (juce::Colour (0x0FFFFFFF), opaqueWhite, opaqueWhite);
    l.display.setLineWidths (0.0f, 0.0f);
    const auto shot = snapshot (l.display);
    for (const auto& [x, y] : { std::pair (0, 0), std::pair (39, 41), std::pair (77, 54) })
        EXPECT_NEAR (alphaAt (shot, x, y), 0x0F, 1) << x << ", " << y;
}

TEST (FaceAndPanel, TheFaceIsWhiteWhereThePictureIsMissingAndThePictureOtherwise)
{
    {
        SeededArtwork art;
        xGUIMicroReverbBg face;
        EXPECT_EQ (snapshot (face).getPixelAt (200, 100), juce::Colours::darkgreen);
    }

    juce::ImageCache::releaseUnusedImages();
    xGUIMicroReverbBg face;
    const auto shot = snapshot (face);
    if (juce::ImageCache::getFromMemory (images::backgroundImage, images::backgroundImageSize).isNull())
        EXPECT_EQ (shot.getPixelAt (200, 100), juce::Colours::white);
    else
        EXPECT_EQ (shot.getPixelAt (200, 100).getAlpha(), 255);
}

TEST (FaceAndPanel, ThePanelShowsItsPictureAndTheInfoButtonNothing)
{
    SeededArtwork art;
    xGUIProductInfo panel;
    EXPECT_EQ (panel.getBounds(), juce::Rectangle<int> (0, 0, 450, 223));
    EXPECT_EQ (snapshot (panel).getPixelAt (449, 222), juce::Colours::navy);

    xGUIInfoButton button;
    EXPECT_EQ (button.getBounds(), juce::Rectangle<int> (0, 0, 130, 55));
    EXPECT_TRUE (litColumns (snapshot (button)).empty());
}

TEST (PluginVersionText, ShowsTheTextItIsGivenLeftAligned)
{
    xGUIPluginVersion version;
    EXPECT_EQ (labelText (version), "R1.0.0");
    version.setText ("R1.2.0");
    EXPECT_EQ (labelText (version), "R1.2.0");

    auto* label = childLabel (version);
    EXPECT_EQ (label->getBounds(), juce::Rectangle<int> (0, 0, 70, 20));
    EXPECT_EQ (label->getJustificationType(), juce::Justification::centredLeft);
    EXPECT_FALSE (label->isEditableOnSingleClick());
    EXPECT_FALSE (label->isEditableOnDoubleClick());

    const auto shot = snapshot (version);
    const auto columns = litColumns (shot);
    ASSERT_FALSE (columns.empty()) << "the fallback font has glyphs";
    EXPECT_LT (columns.front(), 10) << "left-aligned";
    EXPECT_LT (columns.back(), 70);
}
