#include "FilterParameter.h"

FilterParameter::FilterParameter (AudioFilterBase& filterToUse, int filterIndex, const juce::String& identifier,
                                  float defaultNormalisedValue, TextFormatter formatter)
    : juce::AudioProcessorParameterWithID (juce::ParameterID { identifier, 1 }, filterToUse.parameterName (filterIndex)),
      filter (filterToUse),
      index (filterIndex),
      defaultValue (defaultNormalisedValue),
      textFormatter (std::move (formatter))
{
}

float FilterParameter::getValue() const
{
    return filter.parameterValue (index);
}

void FilterParameter::setValue (float newValue)
{
    filter.setParameterValue (index, newValue);
}

juce::String FilterParameter::getName (int maximumStringLength) const
{
    return filter.parameterName (index).substring (0, juce::jmax (0, maximumStringLength));
}

juce::String FilterParameter::getText (float value, int maximumStringLength) const
{
    // The live value shows the filter's own text; other values (a host asking
    // how a value would read) go through the same formatting when one is given.
    juce::String text;
    if (value == filter.parameterValue (index))
        text = filter.parameterText (index);
    else if (textFormatter)
        text = textFormatter (index, value);
    else
        text = juce::String (value, 2);

    return maximumStringLength > 0 ? text.substring (0, maximumStringLength) : text;
}

float FilterParameter::getValueForText (const juce::String& text) const
{
    return text.trim().getFloatValue();
}
