#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/** The version text on the information panel: a non-editable, left-aligned
    label in near-white "Verdana" 16.6 px. 70 × 20 pixels.
    Message thread only. */
class xGUIPluginVersion : public juce::Component
{
public:
    xGUIPluginVersion();
    ~xGUIPluginVersion() override;

    /** Replaces the text without notifying anybody. */
    void setText (const juce::String& text);

    void resized() override;

private:
    std::unique_ptr<juce::Label> label;

    JUCE_DECLARE_NON_COPYABLE (xGUIPluginVersion)
};
