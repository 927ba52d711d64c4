#include "Subcommand.h"

#include "InstanceSettings.h"
#include "SafeOutputFile.h"

#include <juce_events/juce_events.h>

#include <iostream>
#include <optional>

namespace Subcommand
{
int run (const Frame& frame, const std::function<int()>& prepare, const std::function<int (VstHost&)>& work)
{
    auto inputs = frame.args.values ("preset");
    inputs.insert (inputs.end(), frame.inputs.begin(), frame.inputs.end());
    std::string error;
    for (size_t i = 0; i < frame.outputs.size(); ++i)
    {
        const auto& output = frame.outputs[i];
        if (const int refused = OutputCheck::check (output.path, output.content, inputs, error))
        {
            std::cerr << "lumidor-host: " << error << "\n";
            return refused;
        }
        for (size_t j = 0; j < i; ++j)
            if (SafeOutputFile::sameDestination (frame.outputs[j].path, output.path))
            {
                // The second would overwrite the first.
                std::cerr << "lumidor-host: refusing to write " << frame.outputs[j].path << " and " << output.path
                          << ": they are one file (choose two names)\n";
                return 1;
            }
    }
    if (prepare)
        if (const int status = prepare())
            return status;

    std::optional<juce::ScopedJuceInitialiser_GUI> juceRuntime;
    if (frame.withJuce)
        juceRuntime.emplace();
    int status = 0;
    auto host = InstanceSettings::openConfigured (frame.modulePath, frame.args, status);
    if (host == nullptr)
        return status;
    return work (*host);
}
}
