#include "xGUIFont.h"

#include <gtest/gtest.h>

namespace
{
bool installed (const juce::String& family) { return juce::Font::findAllTypefaceNames().contains (family); }

// The value labels leave 5 pixels on each side of their 121-pixel width,
// the version label of its 70.
constexpr float valueTextRoom = 111.0f;
constexpr float versionTextRoom = 60.0f;
}

TEST (FontFallback, MissingFamiliesAreReplacedByTheirMetricCousins)
{
    if (! installed ("Arial"))
    {
        EXPECT_EQ (xGUIFont::resolveFamily ("Arial"), "Liberation Sans");
    }
    if (! installed ("Verdana"))
    {
        EXPECT_EQ (xGUIFont::resolveFamily ("Verdana"), "DejaVu Sans");
    }
    EXPECT_TRUE (installed (xGUIFont::resolveFamily ("Arial")));
    EXPECT_TRUE (installed (xGUIFont::resolveFamily ("Verdana")));
}

TEST (FontFallback, AnUnknownFamilyFallsBackToTheDefaultSans)
{
    EXPECT_EQ (xGUIFont::resolveFamily ("No Such Family"), juce::Font::getDefaultSansSerifFontName());
}

TEST (FontFallback, StylesAreTakenFromTheFacesTheFamilyHas)
{
    for (const auto* family : { "Arial", "Verdana" })
    {
        const auto resolved = xGUIFont::resolveFamily (family);
        const auto styles = juce::Font::findAllTypefaceStyles (resolved);
        for (int flags : { (int) juce::Font::plain, (int) juce::Font::bold, (int) juce::Font::italic })
            EXPECT_TRUE (styles.contains (xGUIFont::resolveStyle (resolved, flags), true)) << family << " " << flags;
    }

    const auto plain = xGUIFont::make ("Verdana", 16.6f, juce::Font::plain);
    const auto bold = xGUIFont::make ("Verdana", 16.6f, juce::Font::bold);
    EXPECT_FALSE (plain.isBold());
    EXPECT_LT (plain.getStringWidthFloat ("R1.2.0"), bold.getStringWidthFloat ("R1.2.0"));
    EXPECT_TRUE (xGUIFont::make ("Arial", 15.0f, juce::Font::italic).isItalic());
}

TEST (FontFallback, TheWidestTextsStillFitTheirLabels)
{
    const auto valueFont = xGUIFont::make ("Arial", 12.0f, juce::Font::bold);
    for (const auto* text : { "100.0%", "-12.0db", "-0.0db", "12.0db" })
    {
        const float w = valueFont.getStringWidthFloat (text);
        EXPECT_GT (w, 0.0f) << text << " has glyphs";
        EXPECT_LE (w, valueTextRoom) << text;
    }
    EXPECT_LE (valueFont.getHeight(), 12.0f);

    const auto versionFont = xGUIFont::make ("Verdana", 16.6f, juce::Font::plain);
    const float w = versionFont.getStringWidthFloat ("R1.2.0");
    EXPECT_GT (w, 0.0f);
    EXPECT_LE (w, versionTextRoom);
}
