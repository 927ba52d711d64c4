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
#include "Subcommand.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>

namespace
{
// Without --seconds the response is recorded for as long as its decay needs,
// up to this.
constexpr double chosenCapSeconds = 60.0;
constexpr double defaultRate = 44100.0;
constexpr int blockSize = 512;
// The analysis holds several copies of the response (float and double,
// one per octave band): about 600 s at 48 kHz is the most worth holding.
constexpr double maxFrames = 30.0e6;

/** The settings as one line for the report and the picture: every
    parameter's name and value, or for a long list the first ones and a count
    of the rest, so that a module with thousands of parameters swells
    neither (the picture's text layout grows with every glyph). */
std::string settingsText (VstHost& host)
{
    constexpr int listed = 32;
    std::string text;
    const int count = host.numParameters();
    for (int i = 0; i < std::min (count, listed); ++i)
        text += (i > 0 ? ", " : "") + host.parameterFullName (i) + " " + host.parameterText (i);
    if (count > listed)
        text += ", and " + std::to_string (count - listed) + " more parameters";
    return text;
}

/** Writes the picture and, when asked for, the response as a 32-bit float
    sound file: both complete under temporary names first, then both put in
    place as one, so that a failure leaves both destinations as they were. */
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
    if (! picture.open (pngPath, error, inputs) || ! picture.write (png.getData(), png.getDataSize(), error))
        return false;
    return wavPath ? SafeOutputFile::commitTogether (picture, wav.output(), error) : picture.commit (error);
}

/** Seconds without the unit, which the table's heading gives, so that every
    cell is one word. */
std::string figure (double seconds)
{
    char text[32];
    if (std::isfinite (seconds))
        std::snprintf (text, sizeof (text), "%6.2f", seconds);
    else
        std::snprintf (text, sizeof (text), "%6s", "n/a");
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

    const bool lengthChosen = ! args.has ("seconds");
    double seconds = 0.0, rate = 0.0;
    if (! args.number ("seconds", ImpulseAnalysis::probeSeconds, { 0.1, 600.0 }, seconds)
        || ! args.number ("rate", defaultRate, { 8000.0, 768000.0, "", "Hz" }, rate))
        return usageError (args.error());
    if (seconds * rate > maxFrames)
        return usageError ("--seconds " + juce::String (seconds).toStdString() + " at "
                           + juce::String (rate).toStdString()
                           + " Hz is more than 30000000 frames (600 s at 48000 Hz); ask for fewer seconds");

    // Both outputs are checked before any work, and written only together.
    const auto inputs = args.values ("preset");
    const auto wavPath = args.value ("wav");
    Subcommand::Frame frame { modulePath, args, { { pngPath, OutputCheck::Content::picture } } };
    if (wavPath)
        frame.outputs.push_back ({ *wavPath, OutputCheck::Content::sound });
    return Subcommand::run (
        frame, {},
        [&] (VstHost& configured)
        {
            std::string error;
            VstHost* const host = &configured;
            if (const auto note = InstanceSettings::channelNote (*host); ! note.empty())
                std::cerr << "lumidor-host: note: " << note << "\n";

            std::vector<float> in, left, right;
            host->prepare (rate, blockSize);
            // Carries the response on to `frames`; a chosen length grows in whole
            // blocks, so the steps give what one long call would.
            const auto renderTo = [&] (size_t frames)
            {
                if (lengthChosen)
                    frames = (frames + blockSize - 1) / blockSize * blockSize;
                const size_t done = left.size();
                in.assign (frames - done, 0.0f);
                if (done == 0)
                    in[0] = 1.0f;
                left.resize (frames);
                right.resize (frames);
                ProgressBar bar ("rendering", (double) (frames - done) / rate > 20.0);
                host->processStereo (in.data(), in.data(), left.data() + done, right.data() + done,
                                     (int64_t) (frames - done), &ProgressBar::callback, &bar);
            };
            const double chosenCap = std::min (chosenCapSeconds, maxFrames / rate);
            if (lengthChosen)
                ImpulseAnalysis::recordAsTheDecayNeeds (left, right, rate, chosenCap, renderTo);
            else
                renderTo ((size_t) std::llround (seconds * rate));
            const auto frames = left.size();
            seconds = (double) frames / rate;

            const auto name = host->dispatchText (effGetEffectName);
            const auto settings = settingsText (*host);
            const bool hasDryWet = host->findParameter ("Dry-Wet") >= 0;
            host->close();

            // NaN or infinities from the module: its response cannot be measured,
            // and it has failed, as render says; the picture still shows where.
            int64_t nonFinite = 0;
            for (const auto* channel : { &left, &right })
                nonFinite +=
                    std::count_if (channel->begin(), channel->end(), [] (float v) { return ! std::isfinite (v); });

            const ImpulseAnalysis analysis (left, right, rate);

            const auto title = (name.empty() ? juce::File (modulePath).getFileName().toStdString() : name)
                               + " impulse response, " + std::to_string ((int) rate) + " Hz";
            if (! writeOutputs (IrPlot::draw (analysis, left, right, title, settings), pngPath, left, right, rate,
                                wavPath, inputs, error))
            {
                std::cerr << "lumidor-host: " << error << "\n";
                return 1;
            }

            std::printf ("%s\n%s\n%.2f s of response at %d Hz%s, each channel analysed on its own\n\n"
                         "                  mean of both          left                  right\n"
                         "  band          RT60 from    EDT     T20    T30    EDT     T20    T30    EDT   (seconds)\n",
                         title.c_str(), settings.c_str(), seconds, (int) rate,
                         lengthChosen ? " (length chosen, see below)" : "");
            bool unmeasured = false;
            for (const auto& band : analysis.bands())
            {
                const auto& mean = band.figures;
                std::printf ("  %-8s  %s  %-4s %s", band.label.c_str(), figure (mean.rt60).c_str(),
                             mean.rtSource.empty() ? "-" : mean.rtSource.c_str(), figure (mean.edt).c_str());
                for (const auto& channel : band.channels)
                {
                    const auto& f = channel.figures;
                    std::printf ("  %s %s %s", figure (f.t20).c_str(), figure (f.t30).c_str(), figure (f.edt).c_str());
                    unmeasured =
                        unmeasured || ! std::isfinite (f.t20) || ! std::isfinite (f.t30) || ! std::isfinite (f.edt);
                }
                std::printf ("\n");
            }
            std::printf (
                "\nDecay times by the methods of ISO 3382-1, of the output as set, the dry path included. Each\n"
                "channel's response starts where it first comes within 20 dB of its peak (left %.3f s, right\n"
                "%.3f s after the input impulse). The octave bands are sixth-order Butterworth band-passes run\n"
                "forwards, so the direct sound stays in every band. Least-squares lines through Schroeder's\n"
                "backward integral from the start give EDT (0 to -10 dB, times 6), T20 (-5 to -25 dB, times 3)\n"
                "and T30 (-5 to -35 dB, times 2). RT60 is T30, or T20 where T30 is n/a, as \"from\" says;\n"
                "\"mean of both\" is the mean of the two channels' figures, n/a unless both have one. The direct\n"
                "sound's step at time 0 is not on the EDT's line, which runs through what follows it, a\n"
                "pre-delay's gap included; a step of 10 dB or more takes the whole range and EDT reads about 0.%s\n",
                analysis.onsetSeconds (0), analysis.onsetSeconds (1),
                hasDryWet ? "\nFor the reverb alone, add --param Dry-Wet=1." : "");
            if (nonFinite > 0)
            {
                std::printf ("\nwrote %s%s%s\n", pngPath.c_str(), args.has ("wav") ? " and " : "",
                             args.has ("wav") ? args.value ("wav")->c_str() : "");
                std::fflush (stdout);
                std::cerr << "lumidor-host: " << modulePath << " put out " << nonFinite
                          << " samples that are not finite numbers (NaN or infinite), so its response has no figures\n";
                return 1;
            }
            if (unmeasured)
                std::printf (
                    "n/a: the decay did not reach the fit's end, or reached it less than 20 dB above the floor, the\n"
                    "level the decay curve would still have had at the end of the recording (from its last 0.1 s\n"
                    "at the fit's rate), where the missing tail would have shortened the figure%s.\n",
                    lengthChosen ? "" : ";\na longer --seconds, or none, helps");
            if (lengthChosen)
                std::printf ("Length: %.0f s first, then on until each band's best trusted fit, extended, reached -60 dB\n"
                             "(plus 10 %%), at most %.0f s; --seconds sets a length.\n",
                             ImpulseAnalysis::probeSeconds, chosenCap);
            std::printf ("\nwrote %s%s%s\n", pngPath.c_str(), args.has ("wav") ? " and " : "",
                         args.has ("wav") ? args.value ("wav")->c_str() : "");
            return 0;
        });
}
