// render: one sound file through the module, at the file's own sample rate.
#include "AudioFiles.h"
#include "Commands.h"
#include "CommandLine.h"
#include "InstanceSettings.h"
#include "ProgressBar.h"

#include <cmath>
#include <cstdio>
#include <iostream>

namespace
{
/** Files longer than this get a progress bar on a terminal, in seconds. */
constexpr double progressBarSeconds = 20.0;
constexpr double defaultTailSeconds = 2.0;
constexpr int defaultBlockSize = 512;
}

int runRender (const std::vector<std::string>& words)
{
    CommandLine args;
    auto options = InstanceSettings::optionNames();
    options.insert (options.end(), { "rate", "block", "tail", "bits" });
    if (! args.parse (words, options))
        return usageError (args.error());
    const auto modulePath = args.takeModule();
    if (args.positionals().size() != 2)
        return usageError ("usage: render [MODULE] IN OUT [options]");
    const auto& inPath = args.positionals()[0];
    const auto& outPath = args.positionals()[1];

    double tail = 0.0, blockValue = 0.0, rateValue = 0.0;
    if (! args.number ("tail", defaultTailSeconds, tail) || ! args.number ("block", defaultBlockSize, blockValue)
        || ! args.number ("rate", 0.0, rateValue))
        return usageError (args.error());
    if (tail < 0.0 || tail > 3600.0)
        return usageError ("--tail wants 0 to 3600 seconds");
    if (blockValue < 1.0 || blockValue > 65536.0 || blockValue != std::floor (blockValue))
        return usageError ("--block wants a whole number of frames from 1 to 65536");
    if (rateValue < 0.0 || rateValue > 1.0e6)
        return usageError ("--rate wants a sample rate in Hz");

    std::string error;
    AudioFiles::Sound input;
    if (! AudioFiles::read (inPath, input, error))
    {
        std::cerr << "lumidor-host: " << error << "\n";
        return 1;
    }

    AudioFiles::Sound output;
    output.bitsPerSample = input.bitsPerSample;
    output.floatingPoint = input.floatingPoint;
    if (const auto bits = args.value ("bits"))
        if (! AudioFiles::parseBits (*bits, output.bitsPerSample, output.floatingPoint))
            return usageError ("--bits wants 16, 24, 32 or float");
    // No resampling: --rate only changes the rate the module is told and the
    // output file carries.
    output.sampleRate = rateValue > 0.0 ? rateValue : input.sampleRate;

    int status = 0;
    auto host = InstanceSettings::openConfigured (modulePath, args, status);
    if (host == nullptr)
        return status;

    const int inFrames = input.samples.getNumSamples();
    const auto tailFrames = (int64_t) std::llround (tail * output.sampleRate);
    const auto totalFrames = (int64_t) inFrames + tailFrames;
    if (totalFrames > std::numeric_limits<int>::max())
        return usageError ("the file and its tail are too long");

    const int frames = (int) totalFrames;
    juce::AudioBuffer<float> in (2, frames);
    in.clear();
    in.copyFrom (0, 0, input.samples, 0, 0, inFrames);
    in.copyFrom (1, 0, input.samples, input.samples.getNumChannels() > 1 ? 1 : 0, 0, inFrames);
    if (input.samples.getNumChannels() > 2)
        std::cerr << "lumidor-host: " << inPath << " has " << input.samples.getNumChannels()
                  << " channels; the first two are used\n";

    output.samples.setSize (2, frames);
    host->prepare (output.sampleRate, (int) blockValue);
    {
        ProgressBar bar ("rendering", frames / output.sampleRate > progressBarSeconds);
        host->processStereo (in.getReadPointer (0), in.getReadPointer (1), output.samples.getWritePointer (0),
                             output.samples.getWritePointer (1), frames, &ProgressBar::callback, &bar);
    }
    host->close();

    if (! AudioFiles::write (outPath, output, error))
    {
        std::cerr << "lumidor-host: " << error << "\n";
        return 1;
    }

    std::printf ("%s: %d frames at %g Hz (%.2f s, of which %.2f s tail), %s\n", outPath.c_str(), frames,
                 output.sampleRate, frames / output.sampleRate, tailFrames / output.sampleRate,
                 output.floatingPoint && outPath.size() > 4 && outPath.substr (outPath.size() - 4) == ".wav"
                     ? "32-bit float"
                     : (std::to_string (output.bitsPerSample) + "-bit").c_str());
    const char* names[] = { "left ", "right" };
    bool finite = true;
    for (int c = 0; c < 2; ++c)
    {
        const auto level = AudioFiles::measure (output.samples, c);
        finite = finite && std::isfinite (level.peak) && std::isfinite (level.rms);
        std::printf ("  %s  peak %s  RMS %s\n", names[c], AudioFiles::decibels (level.peak).c_str(),
                     AudioFiles::decibels (level.rms).c_str());
    }
    if (! finite)
        std::printf ("  warning: the output holds samples that are not finite numbers\n");
    return 0;
}
