#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

// Pins the whole filter's output bit for bit: routing, engine, mix and volume
// together. An optimisation that changes a single bit of any sample fails
// here; a change that is meant to alter the sound must re-pin the hashes and
// say why.

namespace
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;
constexpr int renderFrames = 2 * 44100;     // two seconds, tail included
constexpr int noiseBurstFrames = 44100 / 4; // quarter of a second, then silence

/** FNV-1a over the bit patterns of the samples, left and right interleaved. */
uint64_t fnv1a (const std::vector<float>& interleaved)
{
    uint64_t hash = 14695981039346656037ull;
    for (float x : interleaved)
    {
        uint32_t bits;
        std::memcpy (&bits, &x, sizeof bits);
        for (int i = 0; i < 4; ++i)
        {
            hash ^= (bits >> (8 * i)) & 0xffu;
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

/** A full-scale impulse on both channels at frame 0. */
float impulse (int i, int) { return i == 0 ? 1.0f : 0.0f; }

/** Deterministic white noise in [-1, 1), different per channel, then silence. */
float noiseBurst (int i, int channel)
{
    if (i >= noiseBurstFrames)
        return 0.0f;
    uint32_t x = (uint32_t) (i * 2 + channel) * 2654435761u + 0x9e3779b9u;
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return (float) (x >> 8) / 8388608.0f - 1.0f;
}

using Signal = float (*) (int, int);

/** Renders the signal through a fresh filter in host-sized blocks and hashes
    the interleaved output. */
uint64_t renderHash (const std::vector<std::pair<int, float>>& settings, Signal signal)
{
    DemoJuceFilter filter;
    for (const auto& [index, value] : settings)
        filter.setParameterValue (index, value);
    filter.prepare (sampleRate, blockSize);

    std::vector<float> interleaved;
    interleaved.reserve ((size_t) renderFrames * 2);

    juce::MidiBuffer midi;
    for (int start = 0; start < renderFrames; start += blockSize)
    {
        const int frames = juce::jmin (blockSize, renderFrames - start);
        auto in = makeStereo (frames, [&] (int i, int ch) { return signal (start + i, ch); });
        juce::AudioBuffer<float> out (2, frames);
        filter.renderBlock (in, out, false, midi);

        for (int i = 0; i < frames; ++i)
        {
            if (! std::isfinite (out.getSample (0, i)) || ! std::isfinite (out.getSample (1, i)))
                ADD_FAILURE() << "non-finite output at frame " << start + i;
            interleaved.push_back (out.getSample (0, i));
            interleaved.push_back (out.getSample (1, i));
        }
    }
    return fnv1a (interleaved);
}

std::vector<std::pair<int, float>> everyParameter (float value)
{
    std::vector<std::pair<int, float>> s;
    for (int p = 0; p < ParameterIndex::count; ++p)
        s.emplace_back (p, value);
    return s;
}

struct GoldenCase
{
    const char* name;
    std::vector<std::pair<int, float>> settings;
    uint64_t impulseHash;
    uint64_t noiseHash;
};

std::vector<GoldenCase> goldenCases()
{
    using namespace ParameterIndex;
    return {
        { "default program", {}, 0x9795efe3a21cd08full, 0x7e654886a95aabd2ull },
        { "every parameter 0", everyParameter (0.0f), 0xb0d64f70777b31d5ull, 0x9be7349aa3920981ull },
        { "every parameter 1", everyParameter (1.0f), 0x6ec975bd0517a725ull, 0x437ee60e369e4be4ull },
        { "fully wet, listener at the front",
          { { dryWet, 1.0f }, { listener, 0.0f } },
          0xbff70021c99eebf2ull,
          0x7b557571e5fa110full },
        { "longest decay, full diffusion",
          { { decay, 1.0f }, { diffusion, 1.0f } },
          0x60d68a2db18fa9baull,
          0x352730ea871da326ull },
    };
}
}

TEST (GoldenRender, ImpulseAndNoiseBurstHashesArePinnedForEachSetting)
{
    for (const auto& c : goldenCases())
    {
        SCOPED_TRACE (c.name);
        const auto impulseHash = renderHash (c.settings, impulse);
        const auto noiseHash = renderHash (c.settings, noiseBurst);
        EXPECT_EQ (impulseHash, c.impulseHash) << std::hex << "impulse: 0x" << impulseHash;
        EXPECT_EQ (noiseHash, c.noiseHash) << std::hex << "noise burst: 0x" << noiseHash;
    }
}

TEST (GoldenRender, TheSameSettingsRenderTheSameBitsTwice)
{
    // A fresh instance carries nothing over from another: the pinned hashes
    // depend on the settings alone.
    const std::vector<std::pair<int, float>> settings { { ParameterIndex::decay, 0.9f },
                                                        { ParameterIndex::dryWet, 0.8f } };
    EXPECT_EQ (renderHash (settings, noiseBurst), renderHash (settings, noiseBurst));
}
