// The LV2 module's entry points: the filter behind the framework's LV2 layer
// and its editor as the X11 UI, with each control port in the unit a host
// shows (percent, dB, seconds, switches), turned into the filter's
// normalised value and back by ParameterUnits.
#include "DemoJuceFilter.h"
#include "Lv2FilterPlugin.h"
#include "Lv2FilterUi.h"
#include "ParameterUnits.h"

namespace
{
// Stored by hosts in their sessions: never change it.
constexpr const char* pluginUri = "urn:velderane:lumidor";
constexpr const char* uiUri = "urn:velderane:lumidor:UI";

std::unique_ptr<AudioFilterBase> makeFilter()
{
    return std::make_unique<DemoJuceFilter>();
}

/** fromUnit clamps to the range and gives NaN the parameter's default, so no
    port value a host can send reaches the filter unfinished or out of 0..1. */
float portToFilter (int index, float portValue) noexcept
{
    return ParameterUnits::fromUnit (index, (double) portValue);
}

float filterToPort (int index, float normalised) noexcept
{
    return (float) ParameterUnits::toUnit (index, normalised);
}

const Lv2PluginDescription lumidorLv2 = makeLv2PluginDescription (pluginUri, makeFilter, portToFilter);
const Lv2UiDescription lumidorUi = makeLv2UiDescription (uiUri, makeFilter, portToFilter, filterToPort);
}

extern "C" __attribute__ ((visibility ("default"))) const LV2_Descriptor* lv2_descriptor (uint32_t index)
{
    return index == 0 ? &lumidorLv2.descriptor : nullptr;
}

extern "C" __attribute__ ((visibility ("default"))) const LV2UI_Descriptor* lv2ui_descriptor (uint32_t index)
{
    return index == 0 ? &lumidorUi.descriptor : nullptr;
}
