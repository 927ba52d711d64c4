#pragma once

#include "AudioFilterBase.h"
#include "PluginDescription.h"

#include <juce_audio_processors/juce_audio_processors.h>

/** One parameter of a filter as a JUCE host sees it. It keeps no value of its
    own: it reads and writes the filter's live value, so the filter stays the
    only holder of the state. The value is the filter's normalised float,
    passed on without clamping. Its texts, parsing and switch nature come from
    the plug-in's description.

    Any thread: hosts read values on their GUI thread and may write them on
    the audio thread; the filter keeps each value as one whole float. */
class FilterParameter : public juce::AudioProcessorParameterWithID
{
public:
    /** The description must outlast every call on the parameter. */
    FilterParameter (AudioFilterBase& filterToUse, int filterIndex, const juce::String& identifier,
                     float defaultNormalisedValue, const PluginDescription& plugin);

    float getValue() const override;
    void setValue (float newValue) override;
    float getDefaultValue() const override { return defaultValue; }
    juce::String getName (int maximumStringLength) const override;
    juce::String getLabel() const override { return {}; }
    juce::String getText (float value, int maximumStringLength) const override;
    /** Text that the description cannot read leaves the current value. */
    float getValueForText (const juce::String& text) const override;
    bool isAutomatable() const override { return true; }
    /** A switch is a boolean with two steps, which JUCE's VST3 wrapper
        declares with step count 1. */
    bool isDiscrete() const override { return isSwitch; }
    bool isBoolean() const override { return isSwitch; }
    int getNumSteps() const override;

    /** The filter's index of this parameter. */
    int getFilterIndex() const noexcept { return index; }

private:
    AudioFilterBase& filter;
    const int index;
    const float defaultValue;
    const PluginDescription& plugin;
    const bool isSwitch;

    JUCE_DECLARE_NON_COPYABLE (FilterParameter)
};
