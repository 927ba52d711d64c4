#include "FilterProcessorEditor.h"

namespace
{
// The size a filter editor opens with when it sets none itself.
constexpr int fallbackWidth = 450;
constexpr int fallbackHeight = 223;
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

void FilterProcessorEditor::resized()
{
    content->setBounds (getLocalBounds());
}
