#pragma once

#include "xNote.h"

/** All-pass coefficient of diffuser k (0 to 2) of a chain for diffusion
    amount d and spread m: d + c_k m clamped to 0 to 1, with c = 0.1, -0.2,
    0.3. With the spread at 0, as the engine runs it, every diffuser gets d. */
inline float spreadCoefficient (int k, float d, float m) noexcept
{
    constexpr float spreadFactors[3] = { 0.1f, -0.2f, 0.3f };
    return clampUnit (d + spreadFactors[k] * m);
}
