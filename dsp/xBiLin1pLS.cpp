#include "xBiLin1pLS.h"

void xBiLin1pLS::design() noexcept
{
    const float a = amplitude();
    designCorner = clampCorner (frequency / a);
    const float t = prewarp (designCorner);
    const float n = 1.0f / (1.0f + t);
    a1 = (1.0f - t) * n;
    b0 = (a * a - 1.0f) * (n * t) + 1.0f;
    b1 = (b0 - 1.0f) - a1;
}
