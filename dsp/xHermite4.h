#pragma once

#include "xLanes2.h"

/** Four-point, third-order Hermite (Catmull-Rom) interpolation between x0
    (f = 0) and x1 (f = 1); f beyond 1 continues the same cubic. The steps run
    in single precision in exactly this order, so every delay line that reads
    through it gives the same bits. */
inline float hermite4 (float f, float xm1, float x0, float x1, float x2) noexcept
{
    const float m = (x1 - xm1) * 0.5f;
    const float v = x0 - x1;
    const float w = m + v;
    const float a = w + v + (x2 - x0) * 0.5f;
    const float b = w + a;
    return ((a * f - b) * f + m) * f + x0;
}

/** The same interpolation in two lanes at once, with the same steps in the
    same order, so each lane gives the bits of hermite4. */
inline xLanes2 hermite4 (xLanes2 f, xLanes2 xm1, xLanes2 x0, xLanes2 x1, xLanes2 x2) noexcept
{
    const xLanes2 m = (x1 - xm1) * 0.5f;
    const xLanes2 v = x0 - x1;
    const xLanes2 w = m + v;
    const xLanes2 a = w + v + (x2 - x0) * 0.5f;
    const xLanes2 b = w + a;
    return ((a * f - b) * f + m) * f + x0;
}
