#pragma once

#include "PluginDescription.h"

// Who the plug-in is in every format. Hosts keep each of these in their
// projects (the VST 2 unique identifier and version, the CLAP id, the LV2
// URIs): never change them.
inline constexpr PluginIdentity lumidorIdentity {
    {
        "Lumidor",                                    // effect and product name
        "Velderane",                                  // vendor
        ('L' << 24) | ('M' << 16) | ('_' << 8) | '_', // unique identifier "LM__"
        0x10100,                                      // descriptor version
        1000,                                         // vendor version
        1,                                            // category: an effect
        2,                                            // inputs
        2,                                            // outputs
    },
    "com.velderane.lumidor",
    "urn:velderane:lumidor",
    "urn:velderane:lumidor:UI",
    "Stereo algorithmic reverb",
};
