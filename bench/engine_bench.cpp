// Cost of the whole filter (routing, engine, mix, volume) at 44100 Hz in
// blocks of 512 frames: 30 seconds of stereo noise per run, five runs per
// setting, realtime factor (audio seconds per CPU second) and nanoseconds per
// frame, fastest and median. The settings span the parameter extremes; with
// the engine and both fields running, the fastest run of every setting must
// lie within 20 % of the default program's, or denormals or value-dependent
// branches are at work. Exits with 1 when it does not. Build in Release.

#include "DemoJuceFilter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <utility>
#include <vector>

namespace
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;
constexpr int audioSeconds = 30;
constexpr int totalFrames = audioSeconds * (int) sampleRate;
constexpr int repetitions = 5;
constexpr double allowedSpread = 0.20;    // of the default program's median

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
    DemoJuceFilter filter;
    for (const auto& [index, value] : settings)
        filter.setParameterValue (index, value);
    filter.prepare (sampleRate, blockSize);

    juce::AudioBuffer<float> in (2, blockSize), out (2, blockSize);
    juce::MidiBuffer midi;

    auto runOnce = [&]
    {
        float acc = 0.0f;
        for (int start = 0; start + blockSize <= totalFrames; start += blockSize)
        {
            in.copyFrom (0, 0, left.data() + start, blockSize);
            in.copyFrom (1, 0, right.data() + start, blockSize);
            filter.renderBlock (in, out, false, midi);
            acc += out.getSample (0, blockSize - 1);
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
        ns.push_back ((t1 - t0) * 1e9 / (double) (totalFrames / blockSize * blockSize));
    }
    std::sort (ns.begin(), ns.end());
    return { ns.front(), ns[ns.size() / 2] };
}
}

int main()
{
    using namespace ParameterIndex;

    Settings allZeroEngineOn = everyParameter (0.0f);
    allZeroEngineOn.emplace_back (onOff, 1.0f);

    // Bypass and the sizes at 0 (which switch the early and late fields off)
    // are meant to be cheaper; they are shown but not compared.
    const std::vector<Case> cases {
        { "default program", {}, true },
        { "every parameter 0 (On-Off 0: bypassed)", everyParameter (0.0f), false },
        { "every parameter 0, On-Off 1 (fields off)", allZeroEngineOn, false },
        { "every parameter 0.01, On-Off 1", [] { auto s = everyParameter (0.01f); s.emplace_back (onOff, 1.0f); return s; }(), true },
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

    std::printf ("whole filter, %d s of stereo noise, %.0f Hz, blocks of %d, %d runs\n\n",
                 audioSeconds, sampleRate, blockSize, repetitions);
    std::printf ("%-42s %12s %12s %12s %12s %8s\n", "setting", "ns/frame min", "ns/frame med",
                 "x realtime", "x rt (med)", "vs dflt");

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
