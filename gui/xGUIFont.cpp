#include "xGUIFont.h"

namespace
{
struct Substitute
{
    const char* wanted;
    const char* installed;
};

// Families with the same advance widths as the originals, so texts keep the
// room the layout gives them.
constexpr Substitute substitutes[] {
    { "Arial", "Liberation Sans" },
    { "Verdana", "DejaVu Sans" },
};

const juce::StringArray& installedFamilies()
{
    static const juce::StringArray families (juce::Font::findAllTypefaceNames());
    return families;
}

bool isInstalled (const juce::String& family) { return installedFamilies().contains (family); }
}

juce::String xGUIFont::resolveFamily (const juce::String& family)
{
    if (isInstalled (family))
        return family;

    for (const auto& s : substitutes)
        if (family == s.wanted && isInstalled (s.installed))
            return s.installed;

    return juce::Font::getDefaultSansSerifFontName();
}

juce::String xGUIFont::resolveStyle (const juce::String& installedFamily, int styleFlags)
{
    const bool bold = (styleFlags & juce::Font::bold) != 0;
    const bool italic = (styleFlags & juce::Font::italic) != 0;

    // Font files name the same style differently ("Italic" or "Oblique",
    // "Regular" or "Book"); the first name the family has wins.
    juce::StringArray candidates;
    if (bold && italic)
        candidates = { "Bold Italic", "Bold Oblique", "BoldItalic", "BoldOblique" };
    else if (bold)
        candidates = { "Bold" };
    else if (italic)
        candidates = { "Italic", "Oblique" };
    else
        candidates = { "Regular", "Book", "Normal", "Roman" };

    const auto available = juce::Font::findAllTypefaceStyles (installedFamily);
    for (const auto& c : candidates)
        if (available.contains (c, true))
            return c;

    return candidates[0];
}

juce::Font xGUIFont::make (const juce::String& family, float height, int styleFlags)
{
    const auto installed = resolveFamily (family);
    return juce::Font (installed, resolveStyle (installed, styleFlags), height);
}
