// The CLAP module's entry: the filter behind the framework's CLAP layer, its
// values shown and read in their units (ParameterUnits), its switches
// stepped, and the tail that the VST3 build reports.
#include "ClapPluginDescription.h"
#include "DemoJuceFilter.h"
#include "ParameterTable.h"
#include "ParameterUnits.h"
#include "PluginIdentity.h"
#include "TailLength.h"

#include <clap/entry.h>
#include <clap/plugin-features.h>

namespace
{
// Stored by hosts in their sessions: never change it.
constexpr const char* pluginId = "com.velderane.lumidor";

const char* const features[] = { CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_REVERB,
                                 CLAP_PLUGIN_FEATURE_STEREO, nullptr };

// No web addresses: the plug-in has none to give.
const clap_plugin_descriptor_t descriptor {
    CLAP_VERSION_INIT, pluginId, lumidorIdentity.effectName, lumidorIdentity.vendorName, "", "", "", LUMIDOR_VERSION,
    "Stereo algorithmic reverb", const_cast<const char**> (features),
};

std::unique_ptr<AudioFilterBase> makeFilter() { return std::make_unique<DemoJuceFilter>(); }

std::string valueText (int index, float normalised) { return ParameterUnits::formatText (index, normalised); }

std::optional<float> textToValue (int index, const std::string& text)
{
    return ParameterUnits::parseText (index, text);
}

bool isSwitch (int index) noexcept { return ParameterUnits::unitOf (index).kind == ParameterUnits::Kind::toggle; }

double tailSeconds (AudioFilterBase& filter) noexcept
{
    return TailLength::secondsForDecay (filter.parameterValue (ParameterIndex::decay));
}

const ClapPluginDescription lumidorClap =
    makeClapPluginDescription (descriptor, { makeFilter, valueText, textToValue, isSwitch, tailSeconds });

bool entryInit (const char*) { return true; }
void entryDeinit() {}
const void* entryFactory (const char* id) { return clapModuleFactory (lumidorClap, id); }
} // namespace

extern "C" CLAP_EXPORT const clap_plugin_entry_t clap_entry { CLAP_VERSION_INIT, entryInit, entryDeinit, entryFactory };
