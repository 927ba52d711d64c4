#pragma once

#include "AudioFilterBase.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>

/** One parameter of a filter as a JUCE host sees it. It keeps no value of its
    own: it reads and writes the filter's live value, so the filter stays the
    only holder of the state. The value is the filter's normalised float,
    passed on without clamping.

    Any thread: hosts read values on their GUI thread and may write them on
    the audio thread; the filter keeps each value as one whole float. */
class FilterParameter : public juce::AudioProcessorParameterWithID
{
public:
    /** Display text for a value that is not the live one (host index, value). */
    using TextFormatter = std::function<juce::String (int, float)>;

    FilterParameter (AudioFilterBase& filterToUse, int filterIndex, const juce::String& identifier,
                     float defaultNormalisedValue, TextFormatter formatter);

    float getValue() const override;
    void setValue (float newValue) override;
    float getDefaultValue() const override { return defaultValue; }
    juce::String getName (int maximumStringLength) const override;
    juce::String getLabel() const override { return {}; }
    juce::String getText (float value, int maximumStringLength) const override;
    float getValueForText (const juce::String& text) const override;
    bool isAutomatable() const override { return true; }

    /** The filter's index of this parameter. */
    int getFilterIndex() const noexcept { return index; }

private:
    AudioFilterBase& filter;
    const int index;
    const float defaultValue;
    const TextFormatter textFormatter;

    JUCE_DECLARE_NON_COPYABLE (FilterParameter)
};
