#pragma once

// What the format tests share: one stereo test signal, one script of
// parameter changes at block starts, and the reference rendering of both by
// the VST 2 module, loaded with dlopen as a host loads it.
#include "../module/TestHost.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace formats
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;
constexpr int blockCount = 24;
constexpr int frameCount = blockSize * blockCount;

struct ParameterChange
{
    int block;
    int index;
    float value;
};

/** Every parameter moves at least once; the switches go through their odd
    values (left routing, bypass by a value just below 1). */
inline const std::vector<ParameterChange>& script()
{
    static const std::vector<ParameterChange> changes {
        { 0, 0, 0.3f },   { 0, 1, 0.7f },    { 0, 2, 0.8f },  { 0, 3, 0.6f },  { 0, 4, 0.25f },  { 0, 5, 0.7f },
        { 0, 6, 0.6f },   { 6, 2, 0.35f },   { 6, 4, 0.9f },  { 10, 8, 1.0f }, { 14, 8, 0.0f },  { 14, 9, 1.0f },
        { 14, 10, 0.0f }, { 18, 7, 0.999f }, { 21, 7, 1.0f }, { 21, 9, 0.0f }, { 21, 0, 0.95f },
    };
    return changes;
}

struct StereoSignal
{
    std::vector<float> left, right;
};

/** Decaying noise bursts on the left, a gliding sine on the right, with
    silence between them so the tails and the quietest samples count too. */
inline StereoSignal makeTestSignal()
{
    StereoSignal s { std::vector<float> ((size_t) frameCount), std::vector<float> ((size_t) frameCount) };
    std::uint32_t noise = 12345u;
    for (int i = 0; i < frameCount; ++i)
    {
        noise = noise * 1664525u + 1013904223u;
        const auto burst = (i % 4096) < 1024 ? std::exp (-(float) (i % 4096) / 300.0f) : 0.0f;
        s.left[(size_t) i] = burst * ((float) (noise >> 8) / 8388608.0f - 1.0f);
        const auto phase = 2.0 * 3.14159265358979 * (220.0 + 0.01 * i) * i / sampleRate;
        s.right[(size_t) i] = (i % 8192) < 6000 ? 0.5f * (float) std::sin (phase) : 0.0f;
    }
    return s;
}

/** Renders the signal (whole blocks) through the VST 2 module, applying the
    changes (the script unless told) at block starts through the host's
    set-parameter call. Empty when it cannot load. */
inline StereoSignal renderWithVst2 (const StereoSignal& in, const std::vector<ParameterChange>& changes = script())
{
    TestHost host;
    if (! host.loaded())
        return {};
    auto* e = host.instantiate();
    if (e == nullptr)
        return {};

    dispatch (e, effSetSampleRate, 0, 0, nullptr, (float) sampleRate);
    dispatch (e, effSetBlockSize, 0, blockSize);
    dispatch (e, effMainsChanged, 0, 1);

    const auto frames = in.left.size();
    StereoSignal out { std::vector<float> (frames), std::vector<float> (frames) };
    for (int b = 0; b < (int) (frames / blockSize); ++b)
    {
        for (const auto& c : changes)
            if (c.block == b)
                e->setParameter (e, c.index, c.value);

        const auto offset = (size_t) (b * blockSize);
        float* ins[2] = { const_cast<float*> (in.left.data() + offset), const_cast<float*> (in.right.data() + offset) };
        float* outs[2] = { out.left.data() + offset, out.right.data() + offset };
        e->processReplacing (e, ins, outs, blockSize);
    }

    dispatch (e, effMainsChanged, 0, 0);
    host.close (e);
    return out;
}

/** The first frame where two renderings differ in any bit, or -1. */
inline int firstDifference (const std::vector<float>& a, const std::vector<float>& b)
{
    if (a.size() != b.size())
        return 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::memcmp (&a[i], &b[i], sizeof (float)) != 0)
            return (int) i;
    return -1;
}

inline bool hasSignal (const std::vector<float>& v)
{
    for (auto x : v)
        if (x != 0.0f)
            return true;
    return false;
}
}
