#include "TailLength.h"

#include "ParameterTable.h"
#include "ParameterUnits.h"

#include <algorithm>
#include <cmath>

// The rule: tail = 12 s + T, capped at 120 s, where T is the late field's
// decay time for the Decay value (ParameterUnits: 1 ms at 0, 0.39 s at 0.5,
// 153 s at 1). Its basis is the time after a unit impulse until the output
// stays 60 dB below its peak, measured with `lumidor-host ir --wav` in the
// settings that ring longest (EarlySize 1, LateSize 1, Listener 1, Dry-Wet 1;
// Diffusion swept 0 to 0.99):
//
//   Decay            0 to 0.6  0.7    0.8    0.85   0.9    0.95   1.0
//   T                <= 1.3 s  4.3 s  14 s   26 s   46 s   84 s   153 s
//   measured, worst  11.7 s    11.7 s 18.7 s 27.9 s 46.4 s 68.0 s 98.9 s
//   rule             12-13 s   16 s   26 s   38 s   58 s   96 s   120 s
//
// Below Decay 0.7 the diffusers' own ringing at
// the largest sizes and highest Diffusion dominates (11.7 s at Diffusion
// 0.95); at the default settings the output falls 60 dB in 0.9 s, so the
// rule is generous there rather than short anywhere.
namespace TailLength
{
namespace
{
constexpr double diffuserRingingSeconds = 12.0;
}

double secondsForDecay (float decay) noexcept
{
    const double decayTime = ParameterUnits::toUnit (ParameterIndex::decay, decay);
    if (! std::isfinite (decayTime))
        return maximumSeconds;
    return std::clamp (diffuserRingingSeconds + decayTime, diffuserRingingSeconds, maximumSeconds);
}
} // namespace TailLength
