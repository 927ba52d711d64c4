#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

// Small deterministic helpers shared by the engine tests.
namespace testsignals
{
constexpr int rate = 44100; // frames per second at the stages' fixed rate

/** True for exact zero and for normal floats: no denormal, no NaN, no infinity. */
inline bool isZeroOrNormal (float v) { return v == 0.0f || std::fpclassify (v) == FP_NORMAL; }

/** Linear congruential noise in [-1, 1), the same on every platform. */
struct Lcg
{
    uint32_t state = 12345u;

    float next()
    {
        state = state * 1664525u + 1013904223u;
        return (float) (state >> 8) * (2.0f / 16777216.0f) - 1.0f;
    }
};

/** FNV-1a over the bit patterns of a stream of floats. */
struct Fnv1a
{
    uint64_t hash = 14695981039346656037ull;

    void add (float v)
    {
        uint32_t bits;
        std::memcpy (&bits, &v, sizeof (bits));
        for (int i = 0; i < 4; ++i)
        {
            hash ^= (bits >> (8 * i)) & 0xffu;
            hash *= 1099511628211ull;
        }
    }
};
}
