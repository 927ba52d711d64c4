// render: one sound file through the module, at the file's own sample rate,
// streamed block by block so memory does not grow with the file's length.
#include "AudioFiles.h"
#include "Commands.h"
#include "CommandLine.h"
#include "InstanceSettings.h"
#include "OutputCheck.h"
#include "ProgressBar.h"
#include "Subcommand.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace
{
/** Files longer than this get a progress bar on a terminal, in seconds. */
constexpr double progressBarSeconds = 20.0;
constexpr double defaultTailSeconds = 2.0;
constexpr int defaultBlockSize = 512;
constexpr double maxTailSeconds = 3600.0;
constexpr double lowestRate = 1000.0, highestRate = 768000.0;

void warn (const std::string& text) { std::cerr << "lumidor-host: warning: " << text << "\n"; }
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
        return usageError ("usage: render [MODULE] IN OUT [options] (see render --help)");
    const auto& inPath = args.positionals()[0];
    const auto& outPath = args.positionals()[1];

    double tail = 0.0, blockValue = 0.0, rateValue = 0.0;
    const StrictNumber::Range blockRange { 1.0, 65536.0, "a whole number of frames" };
    if (! args.number ("tail", defaultTailSeconds, { 0.0, maxTailSeconds, "", "seconds" }, tail)
        || ! args.number ("block", defaultBlockSize, blockRange, blockValue)
        || ! args.number ("rate", 0.0, { lowestRate, highestRate, "a sample rate", "Hz" }, rateValue))
        return usageError (args.error());
    if (blockValue != std::floor (blockValue))
        return usageError ("--block wants " + blockRange.describe() + ", not \"" + *args.value ("block") + "\"");
    const int block = (int) blockValue;

    int bits = 0;
    bool floatingPoint = false;
    if (const auto text = args.value ("bits"))
        if (! AudioFiles::parseBits (*text, bits, floatingPoint))
            return usageError ("--bits wants 16, 24, 32 (integer) or float (32-bit float)");

    // The output is checked before any work, so a name it refuses costs
    // nothing; the input is read before the module is loaded.
    std::string error;
    auto outputInputs = args.values ("preset");
    outputInputs.push_back (inPath);
    AudioFiles::Reader input;
    double rate = 0.0;
    int64_t inFrames = 0, tailFrames = 0;
    const auto readInput = [&]
    {
        if (! input.open (inPath, error))
        {
            std::cerr << "lumidor-host: " << error << "\n";
            return 1;
        }
        if (! args.has ("rate") && (input.sampleRate() < lowestRate || input.sampleRate() > highestRate))
        {
            std::cerr << "lumidor-host: " << inPath << " says its samples run at " << input.sampleRate()
                      << " Hz, outside the 1000 to 768000 Hz this tool renders at (--rate HZ renders it as that rate)\n";
            return 1;
        }
        if (! args.has ("bits"))
        {
            bits = input.bitsPerSample();
            floatingPoint = input.floatingPoint();
            if (floatingPoint)
                bits = 32; // 64-bit input: the module computes in 32-bit floats anyway
        }
        if (input.channels() > 2)
            warn (inPath + " has " + std::to_string (input.channels()) + " channels; the first two are used");

        // No resampling: --rate only changes the rate the module is told and the
        // output file carries. The samples stay as they are, so the output
        // plays at the new rate: faster and higher when it is above the input's.
        rate = rateValue > 0.0 ? rateValue : input.sampleRate();
        if (rate != input.sampleRate())
        {
            char change[64];
            std::snprintf (change, sizeof (change), "%.1f %% %s", std::abs (rate / input.sampleRate() - 1.0) * 100.0,
                           rate > input.sampleRate() ? "faster and higher" : "slower and lower");
            std::cerr << "lumidor-host: note: --rate relabels, it does not resample: the module runs at " << rate
                      << " Hz on the samples of " << inPath << " (" << input.sampleRate() << " Hz), and " << outPath
                      << " plays them " << change << "\n";
        }
        inFrames = input.frames();
        tailFrames = (int64_t) std::llround (tail * rate);
        return 0;
    };

    const Subcommand::Frame frame { modulePath, args, { { outPath, OutputCheck::Content::sound } }, { inPath }, false };
    return Subcommand::run (
        frame, readInput,
        [&] (VstHost& configured)
        {
            VstHost* const host = &configured;
            if (const auto note = InstanceSettings::channelNote (*host); ! note.empty())
                std::cerr << "lumidor-host: note: " << note << "\n";

            // The output is opened before any processing; the expected length lets
            // it refuse a file its format cannot describe.
            AudioFiles::Writer output;
            if (! output.open (outPath, rate, 2, bits, floatingPoint, error, outputInputs, inFrames + tailFrames))
            {
                std::cerr << "lumidor-host: " << error << "\n";
                return output.settingRefused() ? 2 : 1;
            }
            if (! output.note().empty())
                std::cerr << "lumidor-host: note: " << output.note() << "\n";

            const int channels = input.channels();
            std::vector<std::vector<float>> inBuffers ((size_t) channels, std::vector<float> ((size_t) block));
            std::vector<float> outL ((size_t) block), outR ((size_t) block);
            const float* const outPointers[] = { outL.data(), outR.data() };
            AudioFiles::LevelMeter meters[2];

            host->prepare (rate, block);
            ProgressBar bar ("rendering", (double) (inFrames + tailFrames) / rate > progressBarSeconds);
            // Every block is full but the last, as when the whole signal sat in
            // memory: where the input ends inside a block, the tail's silence fills
            // the rest of it, so the module sees the same block boundaries.
            int64_t read = 0, tailDone = 0;
            bool inputEnded = false;
            std::vector<float*> at ((size_t) channels);
            for (;;)
            {
                int got = 0;
                while (! inputEnded && got < block)
                {
                    for (int c = 0; c < channels; ++c)
                        at[(size_t) c] = inBuffers[(size_t) c].data() + got;
                    const int n = input.read (at.data(), block - got, error);
                    if (n < 0)
                    {
                        std::cerr << "lumidor-host: " << error << "\n";
                        return 1;
                    }
                    inputEnded = n == 0;
                    got += n;
                }
                const int pad = (int) std::min<int64_t> (block - got, tailFrames - tailDone);
                for (int c = 0; c < channels; ++c)
                    std::fill (inBuffers[(size_t) c].begin() + got, inBuffers[(size_t) c].begin() + got + pad, 0.0f);
                const int n = got + pad;
                if (n == 0)
                    break;
                read += got;
                tailDone += pad;

                host->processBlock (inBuffers[0].data(), inBuffers[channels > 1 ? 1 : 0].data(), outL.data(),
                                    outR.data(), n);
                meters[0].add (outL.data(), n);
                meters[1].add (outR.data(), n);
                if (! output.write (outPointers, n, error))
                {
                    std::cerr << "lumidor-host: " << error << "\n";
                    return 1;
                }
                bar.update ((double) (read + tailDone) / (double) std::max<int64_t> (1, inFrames + tailFrames));
            }
            bar.finish();
            host->close();

            // The module gets the input as it is; a damaged input is the
            // file's fault, not the module's, and is said to be.
            if (input.nonFiniteSamples() > 0)
                warn (
                    inPath + " holds " + std::to_string (input.nonFiniteSamples())
                    + " samples that are not finite numbers (NaN or infinite); the module was given them as they are");
            if (! input.truncation().empty())
                warn (inPath + " is cut short: " + input.truncation() + "; the " + std::to_string (read)
                      + " frames read were rendered");
            else if (read < inFrames)
                warn (inPath + " ended after " + std::to_string (read) + " of the " + std::to_string (inFrames)
                      + " frames its header promises; the rest is missing from the output");

            if (! output.close (error))
            {
                std::cerr << "lumidor-host: " << error << "\n";
                return 1;
            }

            const auto frames = read + tailDone;
            std::printf ("%s: %lld frames at %g Hz (%.2f s, of which %.2f s tail), %s\n", outPath.c_str(),
                         (long long) frames, rate, (double) frames / rate, (double) tailDone / rate,
                         output.formatText().c_str());
            const char* names[] = { "left ", "right" };
            int64_t nonFinite = 0;
            for (int c = 0; c < 2; ++c)
            {
                const auto level = meters[c].level();
                nonFinite += meters[c].nonFiniteSamples();
                std::printf ("  %s  peak %s  RMS %s%s\n", names[c], AudioFiles::decibels (level.peak).c_str(),
                             AudioFiles::decibels (level.rms).c_str(),
                             meters[c].finite() ? "" : " (of the finite samples)");
            }
            if (output.clippedSamples() > 0)
            {
                std::printf (
                    "  clipped: %lld samples beyond full scale (the peaks above are before clipping) were cut to it in the %s file; --bits float keeps them\n",
                    (long long) output.clippedSamples(), output.formatText().c_str());
                warn (std::to_string (output.clippedSamples()) + " samples clipped in " + outPath
                      + " (use --bits float to keep them)");
            }
            // A module that puts out NaN or infinities has failed, though the file
            // is kept for a look at where it went wrong.
            if (nonFinite > 0)
            {
                std::cerr << "lumidor-host: " << modulePath << " put out " << nonFinite
                          << " samples that are not finite numbers (NaN or infinite), stored "
                          << (output.formatText().find ("float") == std::string::npos ? "as 0" : "as they are")
                          << " in " << outPath << "\n";
                return 1;
            }
            return 0;
        });
}
