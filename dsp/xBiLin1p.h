#pragma once

#include "xEffect.h"

// Common core of the two first-order bilinear shelving filters: the stored
// corner and gain, the coefficients and the filter memory, the corner clamp
// and the polynomial prewarp. The derived high and low shelf differ only in
// where the corner moves with the gain, in the numerator coefficients and in
// the constant input offset that keeps the recursion out of denormals.
// Coefficients are designed only in the setters; the audio thread runs the
// filter step.
class xBiLin1p : public xEffect
{
public:
    /** Corner in Hz (the half-gain point); redesigns at once, keeps the memory. */
    void setFrequency (float hz) noexcept;
    /** Shelf gain in dB; redesigns at once, keeps the memory. */
    void setGain (float dB) noexcept;

    float getFrequency() const noexcept { return frequency; }
    float getGainDecibels() const noexcept { return gain; }
    float getA1() const noexcept { return a1; }
    float getB0() const noexcept { return b0; }
    float getB1() const noexcept { return b1; }
    /** Corner actually designed for, in Hz, after moving and clamping. */
    float getDesignCorner() const noexcept { return designCorner; }

protected:
    xBiLin1p() = default;

    /** sqrt of the linear shelf gain: about 10^(dB / 40). */
    float amplitude() const noexcept;
    /** Limits a design corner to the usable band; NaN reads as the lower limit. */
    float clampCorner (float fc) const noexcept;
    /** tan (pi fc / rate) by its series up to the fifth power. */
    float prewarp (float fc) const noexcept;

    /** y = b0 x' + b1 x'[n-1] + a1 y[n-1], with x' already offset. */
    float step (float offsetInput) noexcept
    {
        const float y = (offsetInput * b0 + lastInput * b1) + lastOutput * a1;
        lastInput = offsetInput;
        lastOutput = y;
        return y;
    }

    virtual void design() noexcept = 0;

    float frequency = 0.0f;
    float gain = 0.0f;
    float lastOutput = 0.0f;
    float lastInput = 0.0f;
    float a1 = 0.0f;
    float b0 = 0.0f;
    float b1 = 0.0f;
    float designCorner = 0.0f;
};
