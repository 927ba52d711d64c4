#include "xBiLin1pHS.h"

void xBiLin1pHS::design() noexcept
{
    const float a = amplitude();
    designCorner = clampCorner (a * frequency);
    const float t = prewarp (designCorner);
    const float n = 1.0f / (1.0f + t);
    a1 = (1.0f - t) * n;
    b0 = (a * a - 1.0f) * n + 1.0f;
    b1 = -((b0 + a1) - 1.0f);
}
