#include "xBiLin1p.h"

#include <cmath>

namespace
{
constexpr float amplitudeBase = 1.05925f;       // 10^(1/40), per dB of shelf gain
constexpr float maxCornerRatio = 0.47058824f;   // 8/17 of the sample rate
constexpr float minCornerRatio = 4.0690105e-5f; // 1/24576 of the sample rate
constexpr double pi = 3.14159;
constexpr double thirdOrderTerm = 0.3333333; // 1/3
constexpr double fifthOrderTerm = 0.133333;  // 2/15
}

void xBiLin1p::setFrequency (float hz) noexcept
{
    frequency = hz;
    design();
}

void xBiLin1p::setGain (float dB) noexcept
{
    gain = dB;
    design();
}

float xBiLin1p::amplitude() const noexcept { return (float) std::pow ((double) amplitudeBase, (double) gain); }

float xBiLin1p::clampCorner (float fc) const noexcept
{
    const float upper = sampleRate * maxCornerRatio;
    const float lower = sampleRate * minCornerRatio;
    if (fc > upper)
        return upper;
    if (! (fc >= lower))
        return lower;
    return fc;
}

float xBiLin1p::prewarp (float fc) const noexcept
{
    const float w = (float) ((double) (1.0f / sampleRate) * pi * (double) fc);
    const float w2 = w * w;
    const float w3 = w2 * w;
    const float w5 = w3 * w2;
    const float third = (float) ((double) w3 * thirdOrderTerm);
    const float fifth = (float) ((double) w5 * fifthOrderTerm);
    return (fifth + third) + w;
}
