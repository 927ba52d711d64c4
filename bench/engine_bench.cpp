// Cost of the whole filter (routing, engine, mix, volume) at 44100 Hz in
// blocks of 512 frames: 30 seconds of stereo noise per run, five runs per
// setting, realtime factor (audio seconds per CPU second) and nanoseconds per
// frame, fastest and median. The settings span the parameter extremes; with
// the engine and both fields running, the fastest run of every setting must
// lie within 20 % of the default program's, or denormals or value-dependent
// branches are at work. Exits with 1 when it does not. Build in Release.
//
//   lumidor_bench_engine [--block N] [--instances N]
//       the settings table at another block size, with N filters in one
//       process processing each block in turn, as a host with N tracks does
//   lumidor_bench_engine --scale
//       the default program at blocks of 32, 64, 512 and 4096 frames, with
//       1 and 16 filters, and the memory one filter takes

#include "DemoJuceFilter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <utility>
#include <vector>

namespace
{
constexpr double sampleRate = 44100.0;
int blockSize = 512;
int instances = 1;
int audioSeconds = 30;
int totalFrames = audioSeconds * (int) sampleRate;
constexpr int repetitions = 5;
constexpr double allowedSpread = 0.20; // of the default program's median

double threadCpuSeconds()
{
    timespec t {};
    clock_gettime (CLOCK_THREAD_CPUTIME_ID, &t);
    return (double) t.tv_sec + 1e-9 * (double) t.tv_nsec;
}

std::vector<float> stereoNoise (int frames, uint32_t seed)
{
    std::vector<float> v ((size_t) frames);
    for (auto& x : v)
    {
        seed = seed * 1664525u + 1013904223u;
        x = (float) (seed >> 8) * (2.0f / 16777216.0f) - 1.0f;
    }
    return v;
}

using Settings = std::vector<std::pair<int, float>>;

Settings everyParameter (float value)
{
    Settings s;
    for (int p = 0; p < ParameterIndex::count; ++p)
        s.emplace_back (p, value);
    return s;
}

struct Case
{
    const char* name;
    Settings settings;
    bool compared;
};

struct Result
{
    double minNs, medianNs;
};

volatile float sink = 0.0f;

Result measure (const Settings& settings, const std::vector<float>& left, const std::vector<float>& right)
{
    std::vector<std::unique_ptr<DemoJuceFilter>> filters;
    for (int k = 0; k < instances; ++k)
    {
        filters.push_back (std::make_unique<DemoJuceFilter>());
        for (const auto& [index, value] : settings)
            filters.back()->setParameterValue (index, value);
        filters.back()->prepare (sampleRate, blockSize);
    }

    juce::AudioBuffer<float> in (2, blockSize), out (2, blockSize);
    juce::MidiBuffer midi;

    auto runOnce = [&]
    {
        float acc = 0.0f;
        for (int start = 0; start + blockSize <= totalFrames; start += blockSize)
        {
            for (auto& filter : filters)
            {
                in.copyFrom (0, 0, left.data() + start, blockSize);
                in.copyFrom (1, 0, right.data() + start, blockSize);
                filter->renderBlock (in, out, false, midi);
                acc += out.getSample (0, blockSize - 1);
            }
        }
        sink = acc;
    };

    runOnce(); // warm-up: caches, and the engine's loops filled

    std::vector<double> ns;
    for (int r = 0; r < repetitions; ++r)
    {
        const double t0 = threadCpuSeconds();
        runOnce();
        const double t1 = threadCpuSeconds();
        ns.push_back ((t1 - t0) * 1e9 / (double) (totalFrames / blockSize * blockSize) / (double) instances);
    }
    std::sort (ns.begin(), ns.end());
    return { ns.front(), ns[ns.size() / 2] };
}

/** Resident memory of the process in bytes. */
double residentBytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen ("/proc/self/statm", "r"))
    {
        if (std::fscanf (f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose (f);
    }
    return (double) resident * 4096.0;
}

int scaleTable (const std::vector<float>& left, const std::vector<float>& right)
{
    {
        constexpr int count = 8;
        const double before = residentBytes();
        std::vector<std::unique_ptr<DemoJuceFilter>> filters;
        for (int k = 0; k < count; ++k)
            filters.push_back (std::make_unique<DemoJuceFilter>());
        const double after = residentBytes();
        std::printf ("memory of one filter (resident, mean of %d): %.2f MB\n\n", count, (after - before) / count / 1e6);
    }

    std::printf ("default program, %d s of stereo noise, %.0f Hz, %d runs; ns per frame and per filter\n\n",
                 audioSeconds, sampleRate, repetitions);
    std::printf ("| block | 1 filter, min | 1 filter, median | 16 filters, min | 16 filters, median |\n");
    std::printf ("|---:|---:|---:|---:|---:|\n");
    for (int block : { 32, 64, 512, 4096 })
    {
        blockSize = block;
        instances = 1;
        const auto one = measure ({}, left, right);
        instances = 16;
        const auto many = measure ({}, left, right);
        std::printf ("| %d | %.1f | %.1f | %.1f | %.1f |\n", block, one.minNs, one.medianNs, many.minNs, many.medianNs);
    }
    return 0;
}
}

int main (int argc, char** argv)
{
    using namespace ParameterIndex;

    bool scale = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string a = argv[i];
        if (a == "--scale")
            scale = true;
        else if ((a == "--block" || a == "--instances") && i + 1 < argc)
        {
            const int v = std::atoi (argv[++i]);
            if (v < 1 || v > 65536)
            {
                std::fprintf (stderr, "%s wants 1 to 65536\n", a.c_str());
                return 2;
            }
            (a == "--block" ? blockSize : instances) = v;
        }
        else
        {
            std::fprintf (stderr, "usage: lumidor_bench_engine [--block N] [--instances N] | --scale\n");
            return 2;
        }
    }
    if (scale)
    {
        audioSeconds = 10;
        totalFrames = audioSeconds * (int) sampleRate;
    }

    Settings allZeroEngineOn = everyParameter (0.0f);
    allZeroEngineOn.emplace_back (onOff, 1.0f);

    // Bypass and the sizes at 0 (which switch the early and late fields off)
    // are meant to be cheaper; they are shown but not compared.
    const std::vector<Case> cases {
        { "default program", {}, true },
        { "every parameter 0 (On-Off 0: bypassed)", everyParameter (0.0f), false },
        { "every parameter 0, On-Off 1 (fields off)", allZeroEngineOn, false },
        { "every parameter 0.01, On-Off 1",
          []
          {
              auto s = everyParameter (0.01f);
              s.emplace_back (onOff, 1.0f);
              return s;
          }(),
          true },
        { "every parameter 1", everyParameter (1.0f), true },
        { "EarlySize 1", { { earlySize, 1.0f } }, true },
        { "LateSize 1", { { lateSize, 1.0f } }, true },
        { "Decay 1, LateSize 1", { { decay, 1.0f }, { lateSize, 1.0f } }, true },
        { "Decay 0", { { decay, 0.0f } }, true },
        { "Diffusion 0", { { diffusion, 0.0f } }, true },
        { "Diffusion 1", { { diffusion, 1.0f } }, true },
        { "Listener 0", { { listener, 0.0f } }, true },
        { "Listener 1", { { listener, 1.0f } }, true },
        { "bypassed (On-Off 0)", { { onOff, 0.0f } }, false },
    };

    const auto left = stereoNoise (totalFrames, 1u);
    const auto right = stereoNoise (totalFrames, 2u);
    if (scale)
        return scaleTable (left, right);

    std::printf ("whole filter, %d s of stereo noise, %.0f Hz, blocks of %d, %d runs, %d filter(s)\n\n", audioSeconds,
                 sampleRate, blockSize, repetitions, instances);
    std::printf ("%-42s %12s %12s %12s %12s %8s\n", "setting", "ns/frame min", "ns/frame med", "x realtime",
                 "x rt (med)", "vs dflt");

    double reference = 0.0;
    double worstSpread = 0.0;
    for (const auto& c : cases)
    {
        const auto r = measure (c.settings, left, right);
        // The fastest run is compared: on a shared machine the median carries
        // other processes' load.
        if (reference == 0.0)
            reference = r.minNs;

        const double spread = r.minNs / reference - 1.0;
        if (c.compared)
            worstSpread = std::max (worstSpread, std::fabs (spread));

        const double framePeriodNs = 1e9 / sampleRate;
        std::printf ("%-42s %12.1f %12.1f %12.1f %12.1f %+7.1f%%%s\n", c.name, r.minNs, r.medianNs,
                     framePeriodNs / r.minNs, framePeriodNs / r.medianNs, 100.0 * spread,
                     c.compared ? "" : " (not compared)");
    }

    const bool within = worstSpread <= allowedSpread;
    std::printf ("\nlargest spread with the engine and both fields running: %.1f %% (limit %.0f %%): %s\n",
                 100.0 * worstSpread, 100.0 * allowedSpread, within ? "ok" : "TOO LARGE");
    return within ? 0 : 1;
}
