// The LV2 module's entry points: the plug-in's description behind the
// framework's LV2 layer, and its editor as the X11 UI.
#include "LumidorDescription.h"
#include "Lv2FilterPlugin.h"
#include "Lv2FilterUi.h"

namespace
{
const Lv2PluginDescription lumidorLv2 = makeLv2PluginDescription (lumidorDescription);
const Lv2UiDescription lumidorUi = makeLv2UiDescription (lumidorDescription);
}

extern "C" __attribute__ ((visibility ("default"))) const LV2_Descriptor* lv2_descriptor (uint32_t index)
{
    return index == 0 ? &lumidorLv2.descriptor : nullptr;
}

extern "C" __attribute__ ((visibility ("default"))) const LV2UI_Descriptor* lv2ui_descriptor (uint32_t index)
{
    return index == 0 ? &lumidorUi.descriptor : nullptr;
}
