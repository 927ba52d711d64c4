#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A filled triangle picturing the decay length: its top at (16, 0), its
    base from the left bottom corner to x = 16 + (width − 16) × decay.
    Partly transparent, so the display under it stays visible.
    Message thread only. */
class xGUILateDecay : public juce::Component
{
public:
    xGUILateDecay();
    ~xGUILateDecay() override;

    void setColours (juce::Colour fill, juce::Colour outline);
    /** Decay 0..1; rebuilds the triangle for the size kept by resized. */
    void setDecayLength (double d);

    void paint (juce::Graphics& g) override;
    /** Keeps the new size only; the triangle follows at the next
        setDecayLength. */
    void resized() override;

private:
    float decay = 0.0f;
    float width = 0.0f;  // pixels
    float height = 0.0f; // pixels
    juce::Colour fillColour { 0xAA0000FF };
    juce::Colour outlineColour { 0xAAFFFF00 };
    juce::Path shape;

    JUCE_DECLARE_NON_COPYABLE (xGUILateDecay)
};
