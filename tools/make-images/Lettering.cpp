#include "Lettering.h"

juce::Font Lettering::font (const juce::String& family, float capHeight, bool bold, float tracking)
{
    // Cap height is a fixed share of the font height for a given face, so one
    // measurement at a large size gives the height that yields capHeight.
    constexpr float probeHeight = 100.0f;
    const juce::Font probe (family, probeHeight, bold ? juce::Font::bold : juce::Font::plain);
    const auto capShare = outline (probe, "H").getBounds().getHeight() / probeHeight;

    const juce::Font sized (family, capHeight / capShare, bold ? juce::Font::bold : juce::Font::plain);
    return sized.withExtraKerningFactor (tracking);
}

juce::Font Lettering::fitted (const juce::String& family, float capHeight, bool bold, const juce::String& text,
                              float width)
{
    // Ink width grows steadily with tracking, so halving the interval
    // converges; twenty steps land well inside a hundredth of a pixel.
    auto low = -0.2f, high = 2.0f;
    for (int step = 0; step < 20; ++step)
    {
        const auto middle = (low + high) * 0.5f;
        if (inkWidth (font (family, capHeight, bold, middle), text) < width)
            low = middle;
        else
            high = middle;
    }
    return font (family, capHeight, bold, (low + high) * 0.5f);
}

juce::Path Lettering::outline (const juce::Font& font, const juce::String& text)
{
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (font, text, 0.0f, 0.0f);

    juce::Path path;
    glyphs.createPath (path);
    path.applyTransform (juce::AffineTransform::translation (-path.getBounds().getX(), 0.0f));
    return path;
}

juce::Path Lettering::placed (const juce::Font& font, const juce::String& text, juce::Justification justification,
                              float x, int baseline)
{
    auto path = outline (font, text);
    const auto width = path.getBounds().getWidth();

    auto left = x;
    if (justification.testFlags (juce::Justification::right))
        left = x - width;
    else if (justification.testFlags (juce::Justification::horizontallyCentred))
        left = x - width * 0.5f;

    path.applyTransform (juce::AffineTransform::translation (std::round (left), (float) baseline));
    return path;
}

float Lettering::inkWidth (const juce::Font& font, const juce::String& text)
{
    return outline (font, text).getBounds().getWidth();
}
