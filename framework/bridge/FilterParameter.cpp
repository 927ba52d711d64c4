#include "FilterParameter.h"

FilterParameter::FilterParameter (AudioFilterBase& filterToUse, int filterIndex, const juce::String& identifier,
                                  float defaultNormalisedValue, const FilterPresentation& presentationToUse)
    : juce::AudioProcessorParameterWithID (juce::ParameterID { identifier, 1 }, filterToUse.parameterName (filterIndex)),
      filter (filterToUse),
      index (filterIndex),
      defaultValue (defaultNormalisedValue),
      presentation (presentationToUse),
      isSwitch (presentationToUse.isSwitch && presentationToUse.isSwitch (filterIndex))
{
}

float FilterParameter::getValue() const
{
    return filter.parameterValue (index);
}

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
    // Without a presentation the live value shows the filter's own text and
    // other values (a host asking how a value would read) two decimals.
    juce::String text;
    if (presentation.valueText)
        text = presentation.valueText (index, value);
    else if (value == filter.parameterValue (index))
        text = filter.parameterText (index);
    else
        text = juce::String (value, 2);

    return maximumStringLength > 0 ? text.substring (0, maximumStringLength) : text;
}

float FilterParameter::getValueForText (const juce::String& text) const
{
    if (presentation.valueForText)
        return presentation.valueForText (index, text).value_or (getValue());
    return text.trim().getFloatValue();
}

int FilterParameter::getNumSteps() const
{
    return isSwitch ? 2 : juce::AudioProcessorParameterWithID::getNumSteps();
}
