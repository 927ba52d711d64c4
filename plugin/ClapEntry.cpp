// The CLAP module's entry: the plug-in's description behind the framework's
// CLAP layer, with the CLAP descriptor made from its identity.
#include "ClapPluginDescription.h"
#include "LumidorDescription.h"
#include "PluginIdentity.h"

#include <clap/entry.h>
#include <clap/plugin-features.h>

namespace
{
const char* const features[] = { CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_REVERB,
                                 CLAP_PLUGIN_FEATURE_STEREO, nullptr };

// No web addresses: the plug-in has none to give.
const clap_plugin_descriptor_t descriptor {
    CLAP_VERSION_INIT,
    lumidorIdentity.clapId,
    lumidorIdentity.vst.effectName,
    lumidorIdentity.vst.vendorName,
    "",
    "",
    "",
    LUMIDOR_VERSION,
    lumidorIdentity.summary,
    const_cast<const char**> (features),
};

const ClapPluginDescription lumidorClap = makeClapPluginDescription (descriptor, lumidorDescription);

bool entryInit (const char*) { return true; }
void entryDeinit() {}
const void* entryFactory (const char* id) { return clapModuleFactory (lumidorClap, id); }
} // namespace

extern "C" CLAP_EXPORT const clap_plugin_entry_t clap_entry { CLAP_VERSION_INIT, entryInit, entryDeinit, entryFactory };
