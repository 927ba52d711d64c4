#pragma once

#include <cstdint>
#include <cstring>
#include <limits>

// Note-number conversions shared by the engine stages. Room sizes, diffuser
// and loop delays and filter corners are note numbers on an equal-tempered
// scale with note 0 at 8.17742 Hz; a lower note means a longer delay.
//
// The arithmetic is fixed to the bit: powers are taken in double precision on
// single-precision bases and converted back, so results match a reference
// implementation exactly.

/** Frequency in Hz of a (possibly fractional or negative) note number. */
float noteToFrequency (float note) noexcept;

/** Period in seconds of a note number: 1 / noteToFrequency(note). */
float noteToPeriod (float note) noexcept;

/** 1.2202 raised to x, used to turn a decay exponent into a time and a
    loop gain. Not the decibel base 1.12202 of the output volume. */
float decayPower (float x) noexcept;

/** 0 below 0, 1 above 1, otherwise v (NaN passes through unchanged). */
inline float clampUnit (float v) noexcept
{
    if (v < 0.0f)
        return 0.0f;
    if (v > 1.0f)
        return 1.0f;
    return v;
}

/** True when a and b have the same bit pattern: the test under which a value
    worked out from a float can be kept instead of computed again (unlike ==,
    it tells 0 from -0 and lets NaN never match). */
inline bool sameBits (float a, float b) noexcept
{
    uint32_t x, y;
    std::memcpy (&x, &a, sizeof x);
    std::memcpy (&y, &b, sizeof y);
    return x == y && a == a;
}

/** Starting key of such a kept value: matches nothing. */
constexpr float notAValue = std::numeric_limits<float>::quiet_NaN();
