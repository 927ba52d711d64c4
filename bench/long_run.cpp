// Thirty minutes of audio through the whole filter, faster than realtime, with
// every continuous parameter moved at every block by a bounded random walk and
// the input switches flipped now and then. The input is full-scale stereo
// noise in 10 s bursts with 5 s of silence between them, so the tails decay
// into the range where denormals would show. Checks: every output sample is
// finite, no sample exceeds +24 dBFS, and the median block cost over the last
// 30 s lies within 20 % of the first 30 s. Exits with 1 on any failure.
//
// Usage: lumidor_bench_longrun [minutes]   (default 30)

#include "DemoJuceFilter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;
constexpr double burstSeconds = 10.0;  // full-scale noise
constexpr double silenceSeconds = 5.0; // then silence, tails decaying
constexpr double windowSeconds = 30.0; // cost compared over the first and last window
constexpr double ceilingDbfs = 24.0;
constexpr double allowedCostDrift = 0.20;
constexpr float walkStep = 0.02f;         // largest parameter step per block
constexpr uint32_t switchFlipOdds = 2000; // one block in this many flips an input switch

double threadCpuSeconds()
{
    timespec t {};
    clock_gettime (CLOCK_THREAD_CPUTIME_ID, &t);
    return (double) t.tv_sec + 1e-9 * (double) t.tv_nsec;
}

struct Random
{
    uint32_t state = 20240611u;
    uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    /** Uniform in [-1, 1). */
    float bipolar() { return (float) (next() >> 8) * (2.0f / 16777216.0f) - 1.0f; }
};

double median (std::vector<double> v)
{
    std::sort (v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}
}

int main (int argc, char** argv)
{
    using namespace ParameterIndex;

    const double minutes = argc > 1 ? std::atof (argv[1]) : 30.0;
    const long totalBlocks = (long) (minutes * 60.0 * sampleRate / blockSize);
    const long windowBlocks = (long) (windowSeconds * sampleRate / blockSize);
    const long cycleFrames = (long) ((burstSeconds + silenceSeconds) * sampleRate);
    const long burstFrames = (long) (burstSeconds * sampleRate);

    DemoJuceFilter filter;
    filter.prepare (sampleRate, blockSize);

    const int walked[] = { earlySize, lateSize, decay, diffusion, listener, dryWet, volume };
    float values[count];
    for (int p = 0; p < count; ++p)
        values[p] = filter.parameterValue (p);

    Random random;
    juce::AudioBuffer<float> in (2, blockSize), out (2, blockSize);
    juce::MidiBuffer midi;

    std::vector<double> startCost, endCost;
    long nonFinite = 0;
    float peak = 0.0f;
    long peakBlock = 0;
    const float ceiling = (float) std::pow (10.0, ceilingDbfs / 20.0);
    long overCeiling = 0;

    for (long b = 0; b < totalBlocks; ++b)
    {
        for (int p : walked)
        {
            values[p] = std::clamp (values[p] + walkStep * random.bipolar(), 0.0f, 1.0f);
            filter.setParameterValue (p, values[p]);
        }
        if (random.next() % switchFlipOdds == 0)
        {
            const int p = random.next() % 2 == 0 ? leftOnOff : rightOnOff;
            values[p] = values[p] != 0.0f ? 0.0f : 1.0f;
            filter.setParameterValue (p, values[p]);
        }

        const long firstFrame = b * blockSize;
        for (int i = 0; i < blockSize; ++i)
        {
            const bool sounding = (firstFrame + i) % cycleFrames < burstFrames;
            in.setSample (0, i, sounding ? random.bipolar() : 0.0f);
            in.setSample (1, i, sounding ? random.bipolar() : 0.0f);
        }

        const double t0 = threadCpuSeconds();
        filter.renderBlock (in, out, false, midi);
        const double cost = threadCpuSeconds() - t0;

        if (b < windowBlocks)
            startCost.push_back (cost);
        else if (b >= totalBlocks - windowBlocks)
            endCost.push_back (cost);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < blockSize; ++i)
            {
                const float y = out.getSample (ch, i);
                if (! std::isfinite (y))
                    ++nonFinite;
                else if (std::fabs (y) > peak)
                {
                    peak = std::fabs (y);
                    peakBlock = b;
                }
                if (std::fabs (y) > ceiling)
                    ++overCeiling;
            }
    }

    const double startNs = median (startCost) * 1e9 / blockSize;
    const double endNs = median (endCost) * 1e9 / blockSize;
    const double drift = startNs > 0.0 ? endNs / startNs - 1.0 : 0.0;

    const bool finiteOk = nonFinite == 0;
    const bool ceilingOk = overCeiling == 0;
    const bool costOk = std::fabs (drift) <= allowedCostDrift;

    std::printf ("%.1f minutes of audio, %ld blocks of %d at %.0f Hz\n", minutes, totalBlocks, blockSize, sampleRate);
    std::printf ("non-finite samples:        %ld  %s\n", nonFinite, finiteOk ? "ok" : "FAIL");
    std::printf ("peak:                      %.2f dBFS at %.1f s (%ld samples above +%.0f dBFS)  %s\n",
                 20.0 * std::log10 (std::max (peak, 1e-30f)), (double) peakBlock * blockSize / sampleRate, overCeiling,
                 ceilingDbfs, ceilingOk ? "ok" : "FAIL");
    std::printf ("median block cost, start:  %.1f ns/frame\n", startNs);
    std::printf ("median block cost, end:    %.1f ns/frame (%+.1f %%)  %s\n", endNs, 100.0 * drift,
                 costOk ? "ok" : "FAIL");

    return finiteOk && ceilingOk && costOk ? 0 : 1;
}
