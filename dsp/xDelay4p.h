#pragma once

#include "xEffect.h"

#include <memory>

// Delay line read with four-point interpolation, so its delay can take
// fractional values and move in small steps under modulation. Read before
// write: the current input is stored only after the taps are read. The
// buffer is a fixed 192000 floats, allocated once at construction. Audio
// thread only.
class xDelay4p : public xEffect
{
public:
    static constexpr int bufferLength = 192000;                 // samples
    static constexpr float maxDelay = (float) (bufferLength - 1); // samples
    static constexpr float defaultDelayTime = 0.5f;             // seconds
    static constexpr float tapCentre = 0.5f;                    // samples

    xDelay4p();
    ~xDelay4p() override;

    /** Delay in seconds, stored unchanged; 0.0 exactly makes the line a
        pass-through that does not advance. */
    void setDelayTime (float seconds) noexcept { delayTime = seconds; }
    float getDelayTime() const noexcept { return delayTime; }

    /** Delay in samples that the next read uses, 0 to 191999. */
    float getDelaySamples() const noexcept;
    /** Fractional read position of the last read, in [0.5, 1.5) above 0.5 samples. */
    float getFraction() const noexcept { return fraction; }
    int getWriteIndex() const noexcept { return writeIndex; }

    float processSample (float x) noexcept override;

private:
    float tap (int k) const noexcept;

    float delayTime = defaultDelayTime;
    float fraction = 0.0f;
    std::unique_ptr<float[]> buffer;
    int writeIndex = 0;
};
