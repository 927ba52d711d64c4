#include "xGUILateDecay.h"

namespace
{
constexpr float apexX = 16.0f;       // pixels from the left edge
constexpr float outlineWidth = 2.0f; // pixels
}

xGUILateDecay::xGUILateDecay()
{
    setSize (96, 44);
    setDecayLength (0.0);
    setColours (juce::Colour (0xAA0000FF), juce::Colour (0xAAFFFF00));
}

xGUILateDecay::~xGUILateDecay() = default;

void xGUILateDecay::setColours (juce::Colour fill, juce::Colour outline)
{
    fillColour = fill;
    outlineColour = outline;
    repaint();
}

void xGUILateDecay::setDecayLength (double d)
{
    decay = (float) d;

    shape.clear();
    shape.startNewSubPath (apexX, 0.0f);
    shape.lineTo (apexX + (width - apexX) * decay, height);
    shape.lineTo (0.0f, height);
    shape.closeSubPath();
    repaint();
}

void xGUILateDecay::paint (juce::Graphics& g)
{
    g.setColour (fillColour);
    g.fillPath (shape);
    g.setColour (outlineColour);
    g.strokePath (shape,
                  juce::PathStrokeType (outlineWidth, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
}

void xGUILateDecay::resized()
{
    width = (float) getWidth();
    height = (float) getHeight();
}
