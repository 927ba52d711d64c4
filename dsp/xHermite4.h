#pragma once

#include "xLanes2.h"

/** Four-point, third-order Hermite (Catmull-Rom) interpolation between x0
    (f = 0) and x1 (f = 1); f beyond 1 continues the same cubic. The steps run
    in single precision in exactly this order, so every delay line that reads
    through it gives the same bits. Sample is float, or xLanes2 for two lines
    at once: each lane then takes the same steps and gives the same bits. */
template <typename Sample>
inline Sample hermite4 (Sample f, Sample xm1, Sample x0, Sample x1, Sample x2) noexcept
{
    const Sample m = (x1 - xm1) * 0.5f;
    const Sample v = x0 - x1;
    const Sample w = m + v;
    const Sample a = w + v + (x2 - x0) * 0.5f;
    const Sample b = w + a;
    return ((a * f - b) * f + m) * f + x0;
}
