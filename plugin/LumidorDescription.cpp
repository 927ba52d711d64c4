#include "LumidorDescription.h"

#include "DemoJuceFilter.h"
#include "ParameterTable.h"
#include "ParameterUnits.h"
#include "PluginIdentity.h"
#include "TailLength.h"

namespace
{
std::unique_ptr<AudioFilterBase> makeFilter() { return std::make_unique<DemoJuceFilter>(); }

std::string valueText (int index, float normalised) { return ParameterUnits::formatText (index, normalised); }

std::optional<float> textToValue (int index, const std::string& text)
{
    return ParameterUnits::parseText (index, text);
}

bool isSwitch (int index) noexcept { return ParameterUnits::unitOf (index).kind == ParameterUnits::Kind::toggle; }

float toUnit (int index, float normalised) noexcept { return (float) ParameterUnits::toUnit (index, normalised); }

/** fromUnit clamps to the range and gives NaN the parameter's default, so no
    value a host sends reaches the filter unfinished or out of 0..1. */
float fromUnit (int index, float unitValue) noexcept { return ParameterUnits::fromUnit (index, (double) unitValue); }

double tailSeconds (AudioFilterBase& filter) noexcept
{
    return TailLength::secondsForDecay (filter.parameterValue (ParameterIndex::decay));
}
} // namespace

// Constant-initialised, so the formats' own descriptions, made while the
// module loads, may read it from any unit.
constexpr PluginDescription lumidorDescription {
    lumidorIdentity, makeFilter, valueText, textToValue, isSwitch, toUnit, fromUnit, tailSeconds,
    false, // the engine has no reset, and its tail has no end a host could wait for
};
