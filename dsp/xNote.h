#pragma once

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
