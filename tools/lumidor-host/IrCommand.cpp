// ir: the module's impulse response as a picture, a table and optionally a WAV.
#include "AudioFiles.h"
#include "Commands.h"
#include "CommandLine.h"
#include "ImpulseAnalysis.h"
#include "InstanceSettings.h"
#include "IrPlot.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>
#include <cstdio>
#include <iostream>

namespace
{
constexpr double defaultSeconds = 8.0;
constexpr double defaultRate = 44100.0;
constexpr int blockSize = 512;

std::string settingsText (VstHost& host)
{
    std::string text;
    for (int i = 0; i < host.numParameters(); ++i)
        text += (i > 0 ? ", " : "") + host.parameterName (i) + " " + host.parameterText (i);
    return text;
}

std::string figure (double seconds)
{
    char text[32];
    if (std::isfinite (seconds))
        std::snprintf (text, sizeof (text), "%7.2f s", seconds);
    else
        std::snprintf (text, sizeof (text), "%9s", "n/a");
    return text;
}
}

int runIr (const std::vector<std::string>& words)
{
    CommandLine args;
    auto options = InstanceSettings::optionNames();
    options.insert (options.end(), { "wav", "seconds", "rate" });
    if (! args.parse (words, options))
        return usageError (args.error());
    const auto modulePath = args.takeModule();
    if (args.positionals().size() != 1)
        return usageError ("usage: ir [MODULE] OUT.png [--wav IR.wav] [--param ...] [--seconds S] [--rate HZ]");
    const auto pngPath = args.positionals()[0];

    double seconds = 0.0, rate = 0.0;
    if (! args.number ("seconds", defaultSeconds, seconds) || ! args.number ("rate", defaultRate, rate))
        return usageError (args.error());
    if (seconds < 0.1 || seconds > 600.0)
        return usageError ("--seconds wants 0.1 to 600");
    if (rate < 8000.0 || rate > 768000.0)
        return usageError ("--rate wants 8000 to 768000 Hz");

    juce::ScopedJuceInitialiser_GUI juceRuntime;

    int status = 0;
    auto host = InstanceSettings::openConfigured (modulePath, args, status);
    if (host == nullptr)
        return status;

    const auto frames = (size_t) std::llround (seconds * rate);
    std::vector<float> in (frames, 0.0f), left (frames), right (frames);
    in[0] = 1.0f;
    host->prepare (rate, blockSize);
    host->processStereo (in.data(), in.data(), left.data(), right.data(), (int64_t) frames);

    const auto name = host->dispatchText (effGetEffectName);
    const auto settings = settingsText (*host);
    host->close();

    std::vector<float> mid (frames);
    for (size_t i = 0; i < frames; ++i)
        mid[i] = 0.5f * (left[i] + right[i]);
    const ImpulseAnalysis analysis (mid, rate);

    const auto title = (name.empty() ? juce::File (modulePath).getFileName().toStdString() : name)
                       + " impulse response, " + std::to_string ((int) rate) + " Hz";
    if (! IrPlot::writePng (IrPlot::draw (analysis, left, right, title, settings), pngPath))
    {
        std::cerr << "lumidor-host: cannot write " << pngPath << "\n";
        return 1;
    }

    if (const auto wavPath = args.value ("wav"))
    {
        AudioFiles::Sound ir;
        ir.sampleRate = rate;
        ir.samples.setSize (2, (int) frames);
        ir.samples.copyFrom (0, 0, left.data(), (int) frames);
        ir.samples.copyFrom (1, 0, right.data(), (int) frames);
        std::string error;
        if (! AudioFiles::write (*wavPath, ir, error))
        {
            std::cerr << "lumidor-host: " << error << "\n";
            return 1;
        }
    }

    std::printf ("%s\n%s\n\n  band         RT60       from   EDT\n", title.c_str(), settings.c_str());
    for (const auto& band : analysis.bands())
        std::printf ("  %-8s %s   %-4s %s\n", band.label.c_str(), figure (band.figures.rt60).c_str(),
                     band.figures.rtSource.empty() ? "-" : band.figures.rtSource.c_str(),
                     figure (band.figures.edt).c_str());
    std::printf ("\nwrote %s%s%s\n", pngPath.c_str(), args.has ("wav") ? " and " : "",
                 args.has ("wav") ? args.value ("wav")->c_str() : "");
    return 0;
}
