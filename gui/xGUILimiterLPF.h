#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The dry/wet display: a faint wash over the whole widget with a
    horizontal level line, at the bottom when fully dry and at the top when
    fully wet. Draws nothing until setShown (true). Message thread only. */
class xGUILimiterLPF : public juce::Component
{
public:
    xGUILimiterLPF();
    ~xGUILimiterLPF() override;

    void setShown (bool shouldBeShown);
    void setColours (juce::Colour fill, juce::Colour outline, juce::Colour level);
    /** Stroke widths in pixels; 0 draws no stroke. */
    void setLineWidths (float outline, float level);
    /** Dry-Wet 0..1; the level line sits at (1 − x) × height. */
    void setDryWet (double x);

    void paint (juce::Graphics& g) override;
    /** Keeps the new size only; the paths follow at the next setter. */
    void resized() override;

private:
    void rebuild();

    juce::Colour fillColour { 0xFFFFFF00 };
    juce::Colour outlineColour { 0x00000000 };
    juce::Colour levelColour { 0xFF00FFFF };
    float levelY = 0.0f;        // pixels from the top
    float levelFraction = 1.0f; // 1 − Dry-Wet
    bool shown = false;
    float width = 0.0f;          // pixels
    float height = 0.0f;         // pixels
    float outlineWidth = 0.0f;   // pixels
    float levelLineWidth = 1.0f; // pixels
    juce::Path area;
    juce::Path levelLine;

    JUCE_DECLARE_NON_COPYABLE (xGUILimiterLPF)
};
