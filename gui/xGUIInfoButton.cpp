#include "xGUIInfoButton.h"

xGUIInfoButton::xGUIInfoButton()
    : juce::Button (juce::String())
{
    setSize (130, 55);
}

xGUIInfoButton::~xGUIInfoButton() = default;

void xGUIInfoButton::paintButton (juce::Graphics&, bool, bool) {}
