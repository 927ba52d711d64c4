// gui --scale: the CLAP editor at the scale, drawn from the enlarged
// artwork, and at 1 x exactly the VST 2 editor's picture.
#include "ToolRunner.h"

#include <gtest/gtest.h>
#include <juce_graphics/juce_graphics.h>

#include <cstdlib>

namespace
{
juce::Image load (const std::string& path) { return juce::ImageFileFormat::loadFrom (juce::File (path)); }

int differingPixels (const juce::Image& a, const juce::Image& b, juce::Rectangle<int> area)
{
    int differing = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if ((a.getPixelAt (x, y).getARGB() & 0xffffffu) != (b.getPixelAt (x, y).getARGB() & 0xffffffu))
                ++differing;
    return differing;
}
}

TEST (GuiScale, AtTwoTheShotIs900By446AndShowsTheTwiceDrawingOfTheFace)
{
    if (std::getenv ("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs an X display";
    ScratchFolder scratch;
    const auto shot = scratch.path ("twice.png");
    const auto run = runTool ({ "gui", shot, "--scale", "2" });
    ASSERT_EQ (run.status, 0) << run.output;

    const auto image = load (shot);
    ASSERT_EQ (image.getWidth(), 900);
    ASSERT_EQ (image.getHeight(), 446);
    // Below the value bars only the face shows: the logo and the name plate,
    // pixel for pixel as the 2 x artwork has them.
    const auto face = load (LUMIDOR_PRESETS_DIR "/../gui/images/backgroundImage@2x.png");
    ASSERT_EQ (face.getWidth(), 900);
    EXPECT_EQ (differingPixels (image, face, { 0, 2 * 166, 900, 446 - 2 * 166 }), 0);
}

TEST (GuiScale, AtOneTheClapEditorShowsExactlyTheVst2EditorsPicture)
{
    if (std::getenv ("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs an X display";
    ScratchFolder scratch;
    ASSERT_EQ (runTool ({ "gui", scratch.path ("vst2.png"), "--param", "3=0.8" }).status, 0);
    const auto run = runTool ({ "gui", scratch.path ("clap.png"), "--param", "3=0.8", "--scale", "1" });
    ASSERT_EQ (run.status, 0) << run.output;
    const auto vst2 = load (scratch.path ("vst2.png")), clap = load (scratch.path ("clap.png"));
    ASSERT_EQ (clap.getBounds(), vst2.getBounds());
    EXPECT_EQ (differingPixels (vst2, clap, vst2.getBounds()), 0) << "the settings reach the CLAP editor too";

    EXPECT_EQ (runTool ({ "gui", scratch.path ("big.png"), "--scale", "4" }).status, 2);
    EXPECT_EQ (runTool ({ "gui", scratch.path ("big.png"), "--clap", "x.clap" }).status, 2)
        << "--clap goes with --scale";

    // A screen smaller than the editor gives no picture of it: said, with the size needed.
    const auto small =
        runTool ({ "gui", scratch.path ("small.png"), "--scale", "3" }, "xvfb-run -a -s '-screen 0 640x480x24' ");
    EXPECT_EQ (small.status, 1) << small.output;
    EXPECT_NE (small.output.find ("needs a screen of at least 1350 x 669 pixels, and this one is 640 x 480"),
               std::string::npos)
        << small.output;
    EXPECT_FALSE (juce::File (scratch.path ("small.png")).exists());
}
