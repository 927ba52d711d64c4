// ir: the module's impulse response as a picture, a table and optionally a WAV.
#include "AudioFiles.h"
#include "Commands.h"
#include "CommandLine.h"
#include "ImpulseAnalysis.h"
#include "InstanceSettings.h"
#include "IrPlot.h"
#include "ProgressBar.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>
#include <cstdio>
#include <iostream>

namespace
{
constexpr double defaultSeconds = 8.0;
constexpr double defaultRate = 44100.0;
constexpr int blockSize = 512;
// The analysis holds several copies of the response (float and double,
// one per octave band): about 600 s at 48 kHz is the most worth holding.
constexpr double maxFrames = 30.0e6;

std::string settingsText (VstHost& host)
{
    std::string text;
    for (int i = 0; i < host.numParameters(); ++i)
        text += (i > 0 ? ", " : "") + host.parameterFullName (i) + " " + host.parameterText (i);
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
    if (seconds * rate > maxFrames)
        return usageError ("--seconds " + juce::String (seconds).toStdString() + " at " + juce::String (rate).toStdString()
                           + " Hz is more than 30000000 frames (600 s at 48000 Hz); ask for fewer seconds");

    juce::ScopedJuceInitialiser_GUI juceRuntime;

    int status = 0;
    auto host = InstanceSettings::openConfigured (modulePath, args, status);
    if (host == nullptr)
        return status;
    if (const auto note = InstanceSettings::channelNote (*host); ! note.empty())
        std::cerr << "lumidor-host: note: " << note << "\n";

    const auto frames = (size_t) std::llround (seconds * rate);
    std::vector<float> in (frames, 0.0f), left (frames), right (frames);
    in[0] = 1.0f;
    host->prepare (rate, blockSize);
    {
        ProgressBar bar ("rendering", seconds > 20.0);
        host->processStereo (in.data(), in.data(), left.data(), right.data(), (int64_t) frames, &ProgressBar::callback, &bar);
    }

    const auto name = host->dispatchText (effGetEffectName);
    const auto settings = settingsText (*host);
    const bool hasDryWet = host->findParameter ("Dry-Wet") >= 0;
    host->close();

    std::vector<float> mid (frames);
    for (size_t i = 0; i < frames; ++i)
        mid[i] = 0.5f * (left[i] + right[i]);
    const ImpulseAnalysis analysis (mid, rate);

    const auto title = (name.empty() ? juce::File (modulePath).getFileName().toStdString() : name)
                       + " impulse response, " + std::to_string ((int) rate) + " Hz";
    std::string error;
    const auto inputs = args.values ("preset");
    if (! IrPlot::writePng (IrPlot::draw (analysis, left, right, title, settings), pngPath, error, inputs))
    {
        std::cerr << "lumidor-host: " << error << "\n";
        return 1;
    }

    if (const auto wavPath = args.value ("wav"))
    {
        AudioFiles::Sound ir;
        ir.sampleRate = rate;
        ir.samples.setSize (2, (int) frames);
        ir.samples.copyFrom (0, 0, left.data(), (int) frames);
        ir.samples.copyFrom (1, 0, right.data(), (int) frames);
        if (! AudioFiles::write (*wavPath, ir, error))
        {
            std::cerr << "lumidor-host: " << error << "\n";
            return 1;
        }
    }

    std::printf ("%s\n%s\n%.2f s of response at %d Hz, the mean of both channels\n\n  band         RT60       from   EDT\n",
                 title.c_str(), settings.c_str(), seconds, (int) rate);
    bool unmeasured = false;
    for (const auto& band : analysis.bands())
    {
        std::printf ("  %-8s %s   %-4s %s\n", band.label.c_str(), figure (band.figures.rt60).c_str(),
                     band.figures.rtSource.empty() ? "-" : band.figures.rtSource.c_str(),
                     figure (band.figures.edt).c_str());
        unmeasured = unmeasured || ! std::isfinite (band.figures.rt60) || ! std::isfinite (band.figures.edt);
    }
    std::printf ("\nThe figures are of the output as set, the dry path included: the direct impulse at time 0 is\n"
                 "part of every band, and of the whole band (\"all\") it holds much of the early energy, so that\n"
                 "row's EDT reads short.%s\n"
                 "RT60 is extrapolated from the fit named under \"from\": T30 (-5 to -35 dB) or, when the decay\n"
                 "does not reach -35 dB, T20 (-5 to -25 dB). EDT is six times the time of the first 10 dB.\n",
                 hasDryWet ? " For the reverb alone, add --param Dry-Wet=1." : "");
    if (unmeasured)
        std::printf ("n/a: the band's decay did not reach -25 dB with a quarter of the decay time still recorded after\n"
                     "it (RT60), or -10 dB (EDT), before the recording ended; a longer --seconds helps.\n");
    std::printf ("\nwrote %s%s%s\n", pngPath.c_str(), args.has ("wav") ? " and " : "",
                 args.has ("wav") ? args.value ("wav")->c_str() : "");
    return 0;
}
