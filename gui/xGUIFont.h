#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Makes the editor's fonts from the family names the artwork was laid out
    with. A family that is not installed is replaced by a metric-compatible
    one ("Arial" by "Liberation Sans", "Verdana" by "DejaVu Sans"), and the
    style is picked from the styles the chosen family really has, so a plain
    face is never silently swapped for some other face of the family.
    Message thread. */
class xGUIFont
{
public:
    /** A font of the given family, height in pixels and juce::Font style
        flags (plain, bold, italic). */
    static juce::Font make (const juce::String& family, float height, int styleFlags);

    /** The installed family used for the requested one. */
    static juce::String resolveFamily (const juce::String& family);

    /** The style name of the resolved family that matches the flags. */
    static juce::String resolveStyle (const juce::String& installedFamily, int styleFlags);

private:
    xGUIFont() = delete;
};
