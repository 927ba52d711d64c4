#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** An invisible button over the logo that opens and closes the information
    panel. Draws nothing. 130 × 55 pixels. Message thread only. */
class xGUIInfoButton : public juce::Button
{
public:
    xGUIInfoButton();
    ~xGUIInfoButton() override;

    void paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE (xGUIInfoButton)
};
