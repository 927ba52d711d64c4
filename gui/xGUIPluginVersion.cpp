#include "xGUIPluginVersion.h"

#include "xGUIFont.h"

xGUIPluginVersion::xGUIPluginVersion()
    : label (std::make_unique<juce::Label> ("new label", "R1.0.0"))
{
    addAndMakeVisible (label.get());
    label->setFont (xGUIFont::make ("Verdana", 16.6f, juce::Font::plain));
    label->setJustificationType (juce::Justification::centredLeft);
    label->setEditable (false, false, false);
    label->setColour (juce::Label::textColourId, juce::Colour (0xFFFBFBFB));
    label->setColour (juce::TextEditor::textColourId, juce::Colours::black);
    label->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));
    setSize (70, 20);
}

xGUIPluginVersion::~xGUIPluginVersion() { label.reset(); }

void xGUIPluginVersion::setText (const juce::String& text) { label->setText (text, juce::dontSendNotification); }

void xGUIPluginVersion::resized() { label->setBounds (0, 0, 70, 20); }
