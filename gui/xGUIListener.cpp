#include "xGUIListener.h"

#include "ImageResources.h"

#include <cmath>

xGUIListener::xGUIListener()
    : juce::Slider ("xGUIListener")
    , strip (juce::ImageCache::getFromMemory (images::listenerStripImage, images::listenerStripImageSize))
    , enlarged ({ { images::listenerStripImage2x, images::listenerStripImage2xSize },
                  { images::listenerStripImage3x, images::listenerStripImage3xSize } })
{
    setSliderStyle (juce::Slider::LinearHorizontal);
    setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    setScrollWheelEnabled (false);
    // The base set its look's effect while it was constructed.
    setComponentEffect (nullptr);
    setSize (121, 61);
}

xGUIListener::~xGUIListener()
{
    // Hands the cache reference back.
    strip = juce::Image();
}

void xGUIListener::setValue (double v)
{
    if (std::isnan (v) || v <= minimum)
        value = minimum;
    else if (v >= maximum)
        value = maximum;
    else
        value = v;

    const auto frame = (int) ((value - minimum) / (maximum - minimum) * lastFrame);
    frameOffset = -(frame * frameHeight);
    repaint();

    juce::Slider::setValue (v, juce::dontSendNotification);
}

void xGUIListener::paint (juce::Graphics& g)
{
    g.setColour (juce::Colours::black);
    enlarged.draw (g, strip, 0, frameOffset);
}

void xGUIListener::resized() {}

void xGUIListener::lookAndFeelChanged()
{
    juce::Slider::lookAndFeelChanged();
    // The widget draws itself completely; a look's slider effect (the old
    // look's drop shadow) would paint around the marker.
    setComponentEffect (nullptr);
}

void xGUIListener::mouseDown (const juce::MouseEvent&) {}

void xGUIListener::mouseDrag (const juce::MouseEvent&) {}

void xGUIListener::mouseUp (const juce::MouseEvent&) {}

void xGUIListener::mouseDoubleClick (const juce::MouseEvent&) {}
