#include "FilterProcessorEditor.h"

#include "DesktopScale.h"

namespace
{
// The size a filter editor opens with when it sets none itself.
constexpr int fallbackWidth = 450;
constexpr int fallbackHeight = 223;
constexpr float minimumScale = 1.0f;
constexpr float maximumScale = 3.0f;
}

FilterProcessorEditor::FilterProcessorEditor (juce::AudioProcessor& owner, std::unique_ptr<AudioFilterEditor> filterEditor)
    : juce::AudioProcessorEditor (owner), content (std::move (filterEditor))
{
    const auto width = content->getWidth() > 0 ? content->getWidth() : fallbackWidth;
    const auto height = content->getHeight() > 0 ? content->getHeight() : fallbackHeight;

    setOpaque (true);
    addAndMakeVisible (*content);
    setResizable (false, false);
    setSize (width, height);
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
    const bool fromHost = scaleCalls++ > 0 || newScale != 1.0f;
    const auto scale = fromHost ? newScale : (float) DesktopScale::read();
    juce::AudioProcessorEditor::setScaleFactor (juce::jlimit (minimumScale, maximumScale, scale));
}

void FilterProcessorEditor::resized()
{
    content->setBounds (getLocalBounds());
}
