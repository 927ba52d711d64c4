#pragma once

#include "xGUIScaledImage.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The editor face: backgroundImage drawn unscaled over a white fill
    (the fill is what remains if the picture cannot be decoded), or its 2 ×
    or 3 × drawing where the editor is shown enlarged.
    450 × 223 pixels. Message thread only. */
class xGUIMicroReverbBg : public juce::Component
{
public:
    xGUIMicroReverbBg();
    ~xGUIMicroReverbBg() override;

    void paint (juce::Graphics& g) override;

private:
    juce::Image image;
    xGUIScaledImage enlarged;

    JUCE_DECLARE_NON_COPYABLE (xGUIMicroReverbBg)
};
