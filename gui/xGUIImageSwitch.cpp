#include "xGUIImageSwitch.h"

xGUIImageSwitch::xGUIImageSwitch (const void* imageData, int imageSize, int width, int height, int frameHeightInPixels,
                                  xGUIScaledImage::Enlargements enlargements)
    : juce::Button (juce::String())
    , offImage (juce::ImageCache::getFromMemory (imageData, imageSize))
    , onImage (juce::ImageCache::getFromMemory (imageData, imageSize))
    , enlarged (enlargements)
    , frameHeight (frameHeightInPixels)
{
    setClickingTogglesState (false);
    setSize (width, height);
}

xGUIImageSwitch::~xGUIImageSwitch()
{
    // Hands both cache references back; the cache frees the strip later
    // under its own expiry rules.
    offImage = juce::Image();
    onImage = juce::Image();
}

void xGUIImageSwitch::setValue (double v)
{
    setToggleState (v == 1.0, juce::dontSendNotification);
    value = v;
}

void xGUIImageSwitch::clicked() { setValue (value == 0.0 ? 1.0 : 0.0); }

void xGUIImageSwitch::paintButton (juce::Graphics& g, bool, bool)
{
    // Drawn unscaled at full opacity; the widget clips the strip to one frame.
    g.setColour (juce::Colours::black);
    if (getToggleState())
        enlarged.draw (g, onImage, 0, -frameHeight);
    else
        enlarged.draw (g, offImage, 0, 0);
}
