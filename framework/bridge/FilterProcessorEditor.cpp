#include "FilterProcessorEditor.h"

FilterProcessorEditor::FilterProcessorEditor (juce::AudioProcessor& owner,
                                              std::unique_ptr<AudioFilterEditor> filterEditor)
    : juce::AudioProcessorEditor (owner)
    , content (std::move (filterEditor))
{
    setOpaque (true);
    addAndMakeVisible (*content);
    setResizable (false, false);
    setSize (content->getWidth(), content->getHeight());
}

FilterProcessorEditor::~FilterProcessorEditor()
{
    // The filter's editor goes first: it tells the filter as it is deleted.
    content.reset();
}

void FilterProcessorEditor::setScaleFactor (float newScale)
{
    if (processor.wrapperType == juce::AudioProcessor::wrapperType_Standalone)
    {
        juce::AudioProcessorEditor::setScaleFactor (newScale);
        return;
    }

    // JUCE's VST3 wrapper calls this once as it makes the editor, with 1
    // unless the host has already given a content scale; a 1 then means the
    // host has said nothing yet.
    // JUCE keeps a plug-in's windows at the window system's own scale of 1.
    const bool fromHost = scaleCalls++ > 0 || newScale != 1.0f;
    juce::AudioProcessorEditor::setScaleFactor ((float) content->scaleFor (fromHost ? newScale : 0.0, 1.0));
}

void FilterProcessorEditor::resized() { content->setBounds (getLocalBounds()); }
