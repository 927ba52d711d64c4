#include "FilterParameter.h"

FilterParameter::FilterParameter (AudioFilterBase& filterToUse, int filterIndex, const juce::String& identifier,
                                  float defaultNormalisedValue, const PluginDescription& description)
    : juce::AudioProcessorParameterWithID (juce::ParameterID { identifier, 1 }, filterToUse.parameterName (filterIndex))
    , filter (filterToUse)
    , index (filterIndex)
    , defaultValue (defaultNormalisedValue)
    , plugin (description)
    , isSwitch (description.isSwitch (filterIndex))
{
}

float FilterParameter::getValue() const { return filter.parameterValue (index); }

void FilterParameter::setValue (float newValue)
{
    // JUCE's wrappers call this on the audio thread for automation.
    filter.setParameterFromHost (index, newValue);
}

juce::String FilterParameter::getName (int maximumStringLength) const
{
    return filter.parameterName (index).substring (0, juce::jmax (0, maximumStringLength));
}

juce::String FilterParameter::getText (float value, int maximumStringLength) const
{
    const juce::String text (plugin.valueText (index, value));
    return maximumStringLength > 0 ? text.substring (0, maximumStringLength) : text;
}

float FilterParameter::getValueForText (const juce::String& text) const
{
    return plugin.textToValue (index, text.toStdString()).value_or (getValue());
}

int FilterParameter::getNumSteps() const { return isSwitch ? 2 : juce::AudioProcessorParameterWithID::getNumSteps(); }
