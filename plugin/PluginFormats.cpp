// The entry point of the VST3, LV2 and Standalone builds: JUCE's plug-in
// client wrappers call it for every new instance. Only the formats' shared
// code compiles it; the VST 2 module has its own entry point.
#if defined (JucePlugin_Name)

#include "DemoJuceFilter.h"
#include "FactoryPrograms.h"
#include "FilterAudioProcessor.h"
#include "ParameterTable.h"
#include "ParameterUnits.h"
#include "PluginIdentity.h"
#include "TailLength.h"

namespace
{
/** The program menu: "Default" (the settings of a new instance) first, then
    the factory programs in their bank order. */
std::vector<FilterPresentation::Program> programMenu()
{
    std::vector<FilterPresentation::Program> menu;
    FilterPresentation::Program defaults { "Default", {} };
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

/** Values in their units, switches as switches, the factory programs by
    name, and a tail that follows Decay. */
FilterPresentation lumidorPresentation()
{
    FilterPresentation p;
    p.valueText = [] (int index, float value) { return juce::String (ParameterUnits::formatText (index, value)); };
    p.valueForText = [] (int index, const juce::String& text)
    { return ParameterUnits::parseText (index, text.toStdString()); };
    p.isSwitch = [] (int index) { return ParameterUnits::unitOf (index).kind == ParameterUnits::Kind::toggle; };
    p.programs = programMenu();
    p.tailSeconds = [] (AudioFilterBase& filter)
    { return TailLength::secondsForDecay (filter.parameterValue (ParameterIndex::decay)); };
    return p;
}
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new FilterAudioProcessor (lumidorIdentity.effectName,
                                     [] { return std::make_unique<DemoJuceFilter>(); },
                                     lumidorPresentation());
}

#endif
