#pragma once

#include "PluginDescription.h"

/** Lumidor as every format presents it: values in their units (percent, dB,
    seconds, switches) by ParameterUnits, and a tail that follows Decay. */
extern const PluginDescription lumidorDescription;
