#pragma once

#include "AudioFilterEditor.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

/** The editor window a JUCE host opens: it holds the filter's own editor
    component at the component's fixed size and deletes it when the host
    closes the window, so the filter forgets it. Message thread only.

    A plug-in host's content scale (VST3's setContentScaleFactor, which
    JUCE's wrapper passes to setScaleFactor) enlarges it through a
    transform, as far as the editor's scaleFor allows; until the host gives
    one, the desktop's scale stands in. The standalone application is left alone:
    JUCE scales its window by the desktop's scale itself. */
class FilterProcessorEditor : public juce::AudioProcessorEditor
{
public:
    FilterProcessorEditor (juce::AudioProcessor& owner, std::unique_ptr<AudioFilterEditor> filterEditor);
    ~FilterProcessorEditor() override;

    void resized() override;
    void setScaleFactor (float newScale) override;

    AudioFilterEditor& getContent() const noexcept { return *content; }

private:
    std::unique_ptr<AudioFilterEditor> content;
    int scaleCalls = 0;

    JUCE_DECLARE_NON_COPYABLE (FilterProcessorEditor)
};
