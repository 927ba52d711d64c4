// Prints one FNV-1a hash of the whole filter's output bits for each of many
// renders: every parameter at its ends and far beyond them, block sizes from
// 1 to 4096 frames, host rates, accumulating and in-place buffers,
// non-finite and denormal input, bypass switched on and off, and settings
// automated at every block. Renders of six seconds pass the 192000-sample
// length of the delay lines, so a delay clamped to its longest reads
// material that was really written.
//
// A change to the engine or the frame loop that is meant to keep the sound
// must keep every line of this output: run it before and after and diff.
//   build/bench/lumidor_bench_fingerprint > before.txt
// Where two builds part (two architectures, say), one render's samples:
//   build/bench/lumidor_bench_fingerprint --raw "hostile input" > a.raw

#include "DemoJuceFilter.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace
{
using Settings = std::vector<std::pair<int, float>>;

struct Fnv1a
{
    uint64_t hash = 14695981039346656037ull;
    // Every NaN counts as one value: where it appears is part of the output,
    // its sign and payload are not. A NaN that an invalid operation makes
    // (infinity minus infinity) is the processor's own default NaN, negative
    // on x86 and positive on ARM, while every other bit agrees.
    void add (float v)
    {
        uint32_t bits = 0x7fc00000u;
        if (! std::isnan (v))
            std::memcpy (&bits, &v, sizeof bits);
        for (int i = 0; i < 4; ++i)
        {
            hash ^= (bits >> (8 * i)) & 0xffu;
            hash *= 1099511628211ull;
        }
    }
};

struct Lcg
{
    uint32_t state;
    explicit Lcg (uint32_t seed)
        : state (seed)
    {
    }
    uint32_t nextInt()
    {
        state = state * 1664525u + 1013904223u;
        return state;
    }
    float next() { return (float) (nextInt() >> 8) * (2.0f / 16777216.0f) - 1.0f; }
};

enum class Signal
{
    noise,
    impulse,
    burst,
    hostile
};

float signalAt (Signal s, int i, int channel, Lcg& noise)
{
    const float n = noise.next();
    switch (s)
    {
        case Signal::noise: return n * 0.5f;
        case Signal::impulse: return i == 0 && channel == 0 ? 1.0f : (i == 3 && channel == 1 ? -0.5f : 0.0f);
        case Signal::burst: return i < 11025 ? n : 0.0f;
        case Signal::hostile:
        {
            // Non-finite values, denormals, signed zeros and huge values in
            // among ordinary noise.
            switch ((i * 7 + channel * 3) % 97)
            {
                case 0: return std::numeric_limits<float>::quiet_NaN();
                case 11: return std::numeric_limits<float>::infinity();
                case 23: return -std::numeric_limits<float>::infinity();
                case 31: return std::numeric_limits<float>::denorm_min();
                case 47: return -0.0f;
                case 59: return 1e30f;
                case 71: return -3e38f;
                default: return n;
            }
        }
    }
    return 0.0f;
}

struct Render
{
    std::string name;
    Settings settings;
    std::vector<int> blocks { 512 }; // block sizes, repeated in turn
    int frames = 2 * 44100;
    Signal signal = Signal::noise;
    double rate = 44100.0;
    bool accumulate = false;
    bool inPlace = false;
    bool automate = false;     // new random settings at every block
    bool toggleBypass = false; // On-Off alternates every few blocks
    int channels = 2;
};

void applyAutomation (DemoJuceFilter& f, Lcg& rng)
{
    static const float values[] = { 0.0f, 1.0f, 0.5f, 0.25f, 0.999f, -0.5f, 1.5f, 3.0f, -20.0f, 1e6f };
    for (int p = 0; p < ParameterIndex::count; ++p)
    {
        const uint32_t r = rng.nextInt() >> 8;
        if (r % 5 != 0)
            continue;
        float v = (r / 5) % 3 == 0 ? values[(r / 15) % 10] : (float) ((r >> 4) % 1000) / 999.0f;
        if (p == ParameterIndex::onOff)
            v = (r / 7) % 4 == 0 ? 0.0f : 1.0f;
        f.setParameterValue (p, v);
    }
}

/** Every output sample of a render, for finding where two builds part
    (lumidor_bench_fingerprint --raw NAME writes them to stdout). */
std::vector<float>* rawOutput = nullptr;

uint64_t render (const Render& c)
{
    DemoJuceFilter filter;
    for (const auto& [index, value] : c.settings)
        filter.setParameterValue (index, value);
    filter.prepare (c.rate, 512);

    Lcg noise (777u), rng (4242u), previous (99u);
    Fnv1a h;
    juce::MidiBuffer midi;
    int blockNumber = 0;
    for (int start = 0; start < c.frames; ++blockNumber)
    {
        const int frames = std::min (c.blocks[(size_t) blockNumber % c.blocks.size()], c.frames - start);
        if (c.automate)
            applyAutomation (filter, rng);
        if (c.toggleBypass)
            filter.setParameterValue (ParameterIndex::onOff, (blockNumber / 3) % 2 == 0 ? 1.0f : 0.0f);

        juce::AudioBuffer<float> in (c.channels, frames);
        for (int i = 0; i < frames; ++i)
            for (int ch = 0; ch < c.channels; ++ch)
                in.setSample (ch, i, signalAt (c.signal, start + i, ch, noise));

        if (c.inPlace)
        {
            filter.renderBlock (in, in, false, midi);
            for (int i = 0; i < frames; ++i)
                for (int ch = 0; ch < c.channels; ++ch)
                {
                    h.add (in.getSample (ch, i));
                    if (rawOutput != nullptr)
                        rawOutput->push_back (in.getSample (ch, i));
                }
        }
        else
        {
            juce::AudioBuffer<float> out (c.channels, frames);
            for (int i = 0; i < frames; ++i)
                for (int ch = 0; ch < c.channels; ++ch)
                    out.setSample (ch, i, c.accumulate ? previous.next() : 12345.0f);
            filter.renderBlock (in, out, c.accumulate, midi);
            for (int i = 0; i < frames; ++i)
                for (int ch = 0; ch < c.channels; ++ch)
                {
                    h.add (out.getSample (ch, i));
                    if (rawOutput != nullptr)
                        rawOutput->push_back (out.getSample (ch, i));
                }
        }
        start += frames;
    }
    return h.hash;
}

std::vector<Render> renders()
{
    using namespace ParameterIndex;
    std::vector<Render> list;
    const int longRender = 6 * 44100;

    list.push_back ({ "default", {} });
    list.push_back ({ "default impulse", {}, { 512 }, longRender, Signal::impulse });
    list.push_back ({ "default burst", {}, { 512 }, longRender, Signal::burst });
    list.push_back ({ "hostile input", {}, { 512 }, 2 * 44100, Signal::hostile });

    for (float v : { 0.0f, 1.0f, 0.01f, 0.99f })
    {
        Settings s;
        for (int p = 0; p < count; ++p)
            s.emplace_back (p, v);
        if (v != 1.0f)
            s.emplace_back (onOff, 1.0f);
        list.push_back ({ "every parameter " + std::to_string (v), s, { 512 }, longRender, Signal::burst });
    }

    // Each engine parameter alone at its ends, beyond them, and at values
    // where the delays clamp or a pow over- or underflows.
    const float extremes[] = {
        0.0f, 1.0f,  -0.001f, 1.001f, -1.0f,   2.0f,     -10.0f, 10.0f,   1e3f,       -1e3f,
        1e6f, -1e6f, 1e30f,   -1e30f, 3.4e38f, -3.4e38f, 1e-30f, -1e-30f, 0.8333333f, 0.1666667f
    };
    for (int p : { earlySize, lateSize, decay, diffusion, listener, dryWet, volume })
        for (float v : extremes)
            list.push_back ({ "parameter " + std::to_string (p) + " = " + std::to_string (v),
                              { { p, v } },
                              { 512 },
                              (p <= listener ? longRender : 44100),
                              Signal::burst });

    // Late sizes near where the loop delays reach zero: the chains differ in
    // whether their lines pass through.
    for (float v : { -97.5f, -97.6f, -97.7f, -98.0f, -99.0f, -100.0f, -101.0f, -150.0f })
        list.push_back (
            { "late size " + std::to_string (v), { { lateSize, v } }, { 512 }, longRender / 2, Signal::noise });
    for (float v : { -97.5f, -98.0f, -100.0f, -150.0f })
        list.push_back (
            { "early size " + std::to_string (v), { { earlySize, v } }, { 512 }, longRender / 2, Signal::noise });

    // Switches.
    for (float l : { 0.0f, 1.0f, 0.5f, -1.0f })
        for (float r : { 0.0f, 1.0f, 2.0f })
            for (float st : { 0.0f, 1.0f })
                list.push_back (
                    { "routing " + std::to_string (l) + " " + std::to_string (r) + " " + std::to_string (st),
                      { { leftOnOff, l }, { rightOnOff, r }, { stereoOnOff, st } },
                      { 512 },
                      44100 });
    for (float on : { 0.0f, 0.999f, 1.0f, 1.001f, 2.0f, -1.0f })
        list.push_back (
            { "on-off " + std::to_string (on), { { onOff, on }, { volume, 0.9f }, { dryWet, 0.3f } }, { 512 }, 44100 });

    // Block sizes and host rates.
    for (int b : { 1, 2, 7, 32, 51, 64, 100, 511, 512, 513, 4096, 8192 })
        list.push_back ({ "block " + std::to_string (b), {}, { b }, 3 * 44100, Signal::burst });
    list.push_back ({ "mixed blocks", {}, { 1, 300, 0, 17, 4096, 64, 3 }, 3 * 44100, Signal::burst });
    for (double rate : { 22050.0, 48000.0, 96000.0, 192000.0, 1.0 })
        list.push_back ({ "rate " + std::to_string (rate), {}, { 512 }, 44100, Signal::burst, rate });

    // Buffer handling.
    list.push_back ({ "accumulate", {}, { 512 }, 44100, Signal::noise, 44100.0, true });
    list.push_back ({ "accumulate mono", {}, { 512 }, 4096, Signal::noise, 44100.0, true, false, false, false, 1 });
    list.push_back ({ "replace mono", {}, { 512 }, 4096, Signal::noise, 44100.0, false, false, false, false, 1 });
    list.push_back (
        { "replace three channels", {}, { 512 }, 4096, Signal::noise, 44100.0, false, false, false, false, 3 });
    list.push_back ({ "in place", {}, { 512 }, 44100, Signal::noise, 44100.0, false, true });
    list.push_back (
        { "in place hostile", { { leftOnOff, 1.0f } }, { 64 }, 44100, Signal::hostile, 44100.0, false, true });

    // Settings moving all the time.
    for (int b : { 1, 32, 64, 512, 4096 })
        list.push_back ({ "automated, block " + std::to_string (b),
                          {},
                          { b },
                          longRender,
                          Signal::noise,
                          44100.0,
                          false,
                          false,
                          true });
    list.push_back ({ "automated hostile", {}, { 37 }, longRender, Signal::hostile, 44100.0, false, false, true });
    list.push_back (
        { "bypass toggled", { { decay, 0.9f } }, { 256 }, 3 * 44100, Signal::burst, 44100.0, false, false, false, true });
    return list;
}
}

int main (int argc, char** argv)
{
    if (argc == 3 && std::strcmp (argv[1], "--raw") == 0)
    {
        for (const auto& c : renders())
            if (c.name == argv[2])
            {
                std::vector<float> samples;
                rawOutput = &samples;
                render (c);
                std::fwrite (samples.data(), sizeof (float), samples.size(), stdout);
                return 0;
            }
        std::fprintf (stderr, "no render is named \"%s\"\n", argv[2]);
        return 2;
    }
    for (const auto& c : renders())
        std::printf ("%016llx  %s\n", (unsigned long long) render (c), c.name.c_str());
    return 0;
}
