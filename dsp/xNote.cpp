#include "xNote.h"

#include <cmath>

namespace
{
constexpr float semitoneRatio = 1.05946f; // 2^(1/12), as a float constant
constexpr double noteZeroHz = 8.17742;    // frequency of note 0, Hz
constexpr float decayBase = 1.2202f;      // base of the decay exponent
}

float noteToFrequency (float note) noexcept
{
    const auto p = (float) std::pow ((double) semitoneRatio, (double) note);
    return (float) ((double) p * noteZeroHz);
}

float noteToPeriod (float note) noexcept { return 1.0f / noteToFrequency (note); }

float decayPower (float x) noexcept { return (float) std::pow ((double) decayBase, (double) x); }
