// The CLAP process call against the VST 2 one: both modules loaded with
// dlopen as hosts load them, the same stereo noise in the same blocks, the
// repetitions interleaved (VST 2, CLAP, VST 2, ...) so that a busy moment
// hits both alike, and the processing thread's CPU time alone counted.
//
//   lumidor_bench_clap [seconds per repetition, 5] [repetitions, 7] [block, 512]
#include "ClapTestHost.h"
#include "TestHost.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace
{
constexpr double sampleRate = 44100.0;

double threadSeconds()
{
    timespec t {};
    clock_gettime (CLOCK_THREAD_CPUTIME_ID, &t);
    return (double) t.tv_sec + 1e-9 * (double) t.tv_nsec;
}

struct Noise
{
    std::vector<float> left, right;
    explicit Noise (int frames)
        : left ((size_t) frames)
        , right ((size_t) frames)
    {
        unsigned seed = 1;
        for (int i = 0; i < frames; ++i)
        {
            seed = seed * 1664525u + 1013904223u;
            left[(size_t) i] = 0.5f * ((float) (seed >> 8) / 8388608.0f - 1.0f);
            right[(size_t) i] = -left[(size_t) i];
        }
    }
};

double median (std::vector<double> v)
{
    std::sort (v.begin(), v.end());
    return v[v.size() / 2];
}
}

int main (int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof (argv[1]) : 5.0;
    const int repetitions = argc > 2 ? std::atoi (argv[2]) : 7;
    const int block = argc > 3 ? std::atoi (argv[3]) : 512;
    const int blocks = (int) (seconds * sampleRate) / block;
    const double frames = (double) blocks * block;

    TestHost vstHost;
    auto* effect = vstHost.loaded() ? vstHost.instantiate() : nullptr;
    claptest::Host clapHost;
    claptest::Plugin clap (clapHost);
    if (effect == nullptr || ! clap.ok())
    {
        std::fprintf (stderr, "cannot load %s or %s\n", LUMIDOR_MODULE_PATH, LUMIDOR_CLAP_MODULE_PATH);
        return 1;
    }
    dispatch (effect, effSetSampleRate, 0, 0, nullptr, (float) sampleRate);
    dispatch (effect, effSetBlockSize, 0, block);
    dispatch (effect, effMainsChanged, 0, 1);
    clap.activate (sampleRate, (uint32_t) block);

    Noise in (block);
    std::vector<float> outL ((size_t) block), outR ((size_t) block);
    float* ins[2] = { in.left.data(), in.right.data() };
    float* outs[2] = { outL.data(), outR.data() };
    claptest::InputEvents noEvents;

    std::vector<double> vst2, clapCost;
    for (int rep = -1; rep < repetitions; ++rep) // the first round warms up
    {
        double start = threadSeconds();
        for (int b = 0; b < blocks; ++b)
            effect->processReplacing (effect, ins, outs, block);
        const double vstNs = (threadSeconds() - start) * 1e9 / frames;

        start = threadSeconds();
        for (int b = 0; b < blocks; ++b)
            clap.process (ins, outs, (uint32_t) block, noEvents);
        const double clapNs = (threadSeconds() - start) * 1e9 / frames;
        if (rep >= 0)
        {
            vst2.push_back (vstNs);
            clapCost.push_back (clapNs);
        }
    }

    std::printf ("%.0f frames (%.1f s) of stereo noise at %.0f Hz in blocks of %d, %d repetitions, thread CPU time\n",
                 frames, frames / sampleRate, sampleRate, block, repetitions);
    std::printf ("%-8s %14s %17s %14s\n", "module", "ns/frame, min", "ns/frame, median", "cost vs VST 2");
    const double vstMedian = median (vst2);
    std::printf ("%-8s %14.1f %17.1f %14.3f\n", "VST 2", *std::min_element (vst2.begin(), vst2.end()), vstMedian, 1.0);
    std::printf ("%-8s %14.1f %17.1f %14.3f\n", "CLAP", *std::min_element (clapCost.begin(), clapCost.end()),
                 median (clapCost), median (clapCost) / vstMedian);
    vstHost.close (effect);
    return 0;
}
