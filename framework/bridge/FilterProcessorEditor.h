#pragma once

#include "AudioFilterEditor.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

/** The editor window a JUCE host opens: it holds the filter's own editor
    component at the component's fixed size and deletes it when the host
    closes the window, so the filter forgets it. Message thread only. */
class FilterProcessorEditor : public juce::AudioProcessorEditor
{
public:
    FilterProcessorEditor (juce::AudioProcessor& owner, std::unique_ptr<AudioFilterEditor> filterEditor);
    ~FilterProcessorEditor() override;

    void resized() override;

    AudioFilterEditor& getContent() const noexcept { return *content; }

private:
    std::unique_ptr<AudioFilterEditor> content;

    JUCE_DECLARE_NON_COPYABLE (FilterProcessorEditor)
};
