// The entry point of the VST3, LV2 and Standalone builds: JUCE's plug-in
// client wrappers call it for every new instance. Only the formats' shared
// code compiles it; the VST 2 module has its own entry point.
#if defined (JucePlugin_Name)

#include "DemoJuceFilter.h"
#include "FilterAudioProcessor.h"
#include "ParameterText.h"
#include "PluginIdentity.h"

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new FilterAudioProcessor (lumidorIdentity.effectName,
                                     [] { return std::make_unique<DemoJuceFilter>(); },
                                     [] (int, float value) { return formatParameterText (value); });
}

#endif
