// ir: the module's impulse response as a picture, a table and optionally a WAV.
#include "AudioFiles.h"
#include "Commands.h"
#include "CommandLine.h"
#include "ImpulseAnalysis.h"
#include "InstanceSettings.h"
#include "IrPlot.h"
#include "OutputCheck.h"
#include "ProgressBar.h"
#include "SafeOutputFile.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>

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

/** Writes the picture and, when asked for, the response as a 32-bit float
    sound file: both complete under temporary names first, then both put in
    place, so that a failure leaves both destinations as they were. */
bool writeOutputs (const juce::Image& image, const std::string& pngPath, const std::vector<float>& left,
                   const std::vector<float>& right, double rate, const std::optional<std::string>& wavPath,
                   const std::vector<std::string>& inputs, std::string& error)
{
    juce::MemoryOutputStream png;
    if (! juce::PNGImageFormat().writeImageToStream (image, png))
    {
        error = "cannot encode the picture for " + pngPath;
        return false;
    }
    AudioFiles::Writer wav;
    if (wavPath)
    {
        if (! wav.open (*wavPath, rate, 2, 32, true, error, inputs, (int64_t) left.size()))
            return false;
        for (size_t done = 0; done < left.size();)
        {
            const auto n = std::min<size_t> (65536, left.size() - done);
            const float* const channels[] = { left.data() + done, right.data() + done };
            if (! wav.write (channels, (int) n, error))
                return false;
            done += n;
        }
        if (! wav.finish (error))
            return false;
    }
    SafeOutputFile picture;
    return picture.open (pngPath, error, inputs) && picture.write (png.getData(), png.getDataSize(), error)
           && picture.commit (error) && (! wavPath || wav.commit (error));
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

    // Both outputs are checked before any work, and written only together.
    std::string error;
    const auto inputs = args.values ("preset");
    const auto wavPath = args.value ("wav");
    int refused = OutputCheck::check (pngPath, OutputCheck::Content::picture, inputs, error);
    if (refused == 0 && wavPath)
        refused = OutputCheck::check (*wavPath, OutputCheck::Content::sound, inputs, error);
    if (refused != 0)
    {
        std::cerr << "lumidor-host: " << error << "\n";
        return refused;
    }

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
    if (! writeOutputs (IrPlot::draw (analysis, left, right, title, settings), pngPath, left, right, rate, wavPath,
                        inputs, error))
    {
        std::cerr << "lumidor-host: " << error << "\n";
        return 1;
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
