#pragma once

#include "xGUIScaledImage.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The listener-position marker: shows one 61-pixel frame of the 65-frame
    listenerStripImage according to its value (from the 2 × or 3 × strip,
    whose frames are as many times taller, where the editor is shown
    enlarged). Display only: it ignores the
    mouse and tells no listener. Message thread only. */
class xGUIListener : public juce::Slider
{
public:
    xGUIListener();
    ~xGUIListener() override;

    /** Clamps v to 0..1 and shows frame trunc(value × 64), so the last frame
        appears only at exactly 1.0. */
    void setValue (double v);
    double getValue() const noexcept { return value; }

    void paint (juce::Graphics& g) override;
    void resized() override;
    void lookAndFeelChanged() override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseDoubleClick (const juce::MouseEvent& e) override;

private:
    int frameOffset = 0; // vertical offset of the strip, pixels
    int lastFrame = 64;
    int frameHeight = 61; // pixels
    double minimum = 0.0;
    double maximum = 1.0;
    double value = 0.0;
    juce::Image strip;
    xGUIScaledImage enlarged;

    JUCE_DECLARE_NON_COPYABLE (xGUIListener)
};
