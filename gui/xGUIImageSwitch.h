#pragma once

#include "xGUIScaledImage.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** An image switch showing one of the two frames of a vertical strip: the
    top frame when off, the bottom frame when on. A click flips the value
    from 0.0 to 1.0 and from any other value to 0.0 before the button
    listeners are told; the on look is shown only for a value of exactly 1.0.

    The strip is taken from juce::ImageCache twice (one reference for each
    look) at construction and both references are dropped at destruction.
    Message thread only. */
class xGUIImageSwitch : public juce::Button
{
public:
    /** imageData and imageSize name an embedded PNG; width and height are
        the widget size in pixels, frameHeight the height of one frame (all
        in 1 × pixels); enlargements are the strip drawn at 2 × and 3 ×. */
    xGUIImageSwitch (const void* imageData, int imageSize, int width, int height, int frameHeight,
                     xGUIScaledImage::Enlargements enlargements = {});
    ~xGUIImageSwitch() override;

    /** Stores v and shows the on look exactly when v is 1.0; tells nobody. */
    void setValue (double v);
    double getValue() const noexcept { return value; }

    void clicked() override;
    void paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

private:
    double value = 0.0;
    juce::Image offImage;
    juce::Image onImage;
    xGUIScaledImage enlarged;
    const int frameHeight;

    JUCE_DECLARE_NON_COPYABLE (xGUIImageSwitch)
};
