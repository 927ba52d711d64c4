#pragma once

#include <juce_graphics/juce_graphics.h>

/** Text as outlines placed on whole pixels: the baseline lies on a pixel edge
    and the first letter's ink starts on one, so capitals of a whole-pixel
    cap height come out with crisp tops and bottoms. */
class Lettering
{
public:
    /** Debian's fonts-liberation: the captions and the name plates. */
    static constexpr const char* sans = "Liberation Sans";
    /** Also from fonts-liberation: captions that must fit a narrow window. */
    static constexpr const char* sansNarrow = "Liberation Sans Narrow";
    /** Debian's fonts-dejavu-core: the information page's body text. */
    static constexpr const char* pageSans = "DejaVu Sans";

    /** A font of the family whose capitals stand capHeight pixels tall, with
        tracking as extra space between letters, in fractions of the height. */
    static juce::Font font (const juce::String& family, float capHeight, bool bold, float tracking = 0.0f);

    /** A font of the family with capitals capHeight pixels tall, tracked so
        that the ink of text spans exactly width pixels. */
    static juce::Font fitted (const juce::String& family, float capHeight, bool bold, const juce::String& text,
                              float width);

    /** The outline of a line of text with its baseline at y 0 and its first
        ink at x 0. */
    static juce::Path outline (const juce::Font& font, const juce::String& text);

    /** The outline moved so that its ink starts at x (left), ends at x
        (right) or is centred on x, with the baseline at y. The left edge of
        the ink is rounded to a whole pixel. */
    static juce::Path placed (const juce::Font& font, const juce::String& text, juce::Justification justification,
                              float x, int baseline);

    /** Width of the ink in pixels. */
    static float inkWidth (const juce::Font& font, const juce::String& text);

    Lettering() = delete;
};
