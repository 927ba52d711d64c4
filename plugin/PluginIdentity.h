#pragma once

#include "VstIdentity.h"

// What a VST 2 host stores about the plug-in. The unique identifier and the
// version are kept by hosts in their projects: never change them.
inline constexpr VstIdentity lumidorIdentity {
    "Lumidor",                                    // effect and product name
    "Velderane",                                  // vendor
    ('L' << 24) | ('M' << 16) | ('_' << 8) | '_', // unique identifier "LM__"
    0x10100,                                      // descriptor version
    1000,                                         // vendor version
    1,                                            // category: an effect
    2,                                            // inputs
    2,                                            // outputs
};
