// The entry point of the VST3, LV2 and Standalone builds: JUCE's plug-in
// client wrappers call it for every new instance. Only the formats' shared
// code compiles it; the VST 2 module has its own entry point.
#if defined(JucePlugin_Name)

#include "FactoryPrograms.h"
#include "FilterAudioProcessor.h"
#include "LumidorDescription.h"
#include "ParameterTable.h"

namespace
{
/** The program menu: "Default" (the settings of a new instance) first, then
    the factory programs in their bank order. */
std::vector<FilterAudioProcessor::MenuProgram> programMenu()
{
    std::vector<FilterAudioProcessor::MenuProgram> menu;
    FilterAudioProcessor::MenuProgram defaults { "Default", {} };
    for (const auto& parameter : parameterTable)
        defaults.values.push_back (parameter.defaultValue);
    menu.push_back (std::move (defaults));

    for (const auto& program : factoryPrograms())
    {
        const auto values = program.values();
        menu.push_back ({ program.name, std::vector<float> (values.begin(), values.end()) });
    }
    return menu;
}
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new FilterAudioProcessor (lumidorDescription, programMenu());
}

#endif
