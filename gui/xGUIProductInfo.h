#pragma once

#include "xGUIScaledImage.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The information panel: infoPanelImage as one full-size button, so a
    click anywhere on it reaches the button listeners (drawn from its 2 × or
    3 × drawing where the editor is shown enlarged). 450 × 223 pixels.
    Message thread only. */
class xGUIProductInfo : public juce::Button
{
public:
    xGUIProductInfo();
    ~xGUIProductInfo() override;

    void paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

private:
    juce::Image image;
    xGUIScaledImage enlarged;

    JUCE_DECLARE_NON_COPYABLE (xGUIProductInfo)
};
