#pragma once

#include "xShelf.h"

class xEarlyLanes;
class xLateLanes;

// All-pass diffuser around a delay line, with a high-and-low shelf pair inside
// the loop so every pass loses a little treble and bass:
// y[n] = -g x[n] + x[n - M] + g y[n - M] with the shelf flat. The fed-back
// value is the one computed by the previous call, so the loop is one sample
// longer than the line. The two diffusers of the engine differ only in their
// line: whole samples (xDiffDelay) or interpolated (xDiffDelay4p). The line
// and the shelf are held by value, so the step compiles into its owner's.
// Audio thread only.
template <typename DelayLine>
class xAllPassDiffuser : public xEffect
{
public:
    static constexpr float highShelfGain = -1.2f; // dB
    static constexpr float lowShelfGain = -0.7f;  // dB

    xAllPassDiffuser() = default;

    float processSample (float x) noexcept override
    {
        if (bypass)
            return x;
        return run (x);
    }

    /** The all-pass step for an owner that never bypasses the diffuser. */
    float run (float x) noexcept
    {
        const float y = coefficient * x * -1.0f + feedback;
        const float w = coefficient * y + x;
        feedback = shelf.run (delay.run (w));
        return y;
    }

    /** Delay of the line in seconds (the line clamps it). */
    void setDelayTime (float seconds) noexcept { delay.setDelayTime (seconds); }
    /** All-pass coefficient g, stored unclamped (the chains clamp). */
    void setCoefficient (float g) noexcept { coefficient = g; }

    void setHighShelfFrequency (float hz) noexcept { shelf.setHighShelfFrequency (hz); }
    void initHighShelfGain() noexcept { shelf.setHighShelfGain (highShelfGain); }
    void setLowShelfFrequency (float hz) noexcept { shelf.setLowShelfFrequency (hz); }
    void initLowShelfGain() noexcept { shelf.setLowShelfGain (lowShelfGain); }

    float getCoefficient() const noexcept { return coefficient; }
    const DelayLine& getDelay() const noexcept { return delay; }
    const xShelf& getShelf() const noexcept { return shelf; }

private:
    friend class xEarlyLanes; // step two chains' diffusers at once on their lines
    friend class xLateLanes;

    float coefficient = 0.0f;
    float feedback = 0.0f;
    DelayLine delay;
    xShelf shelf;
};
