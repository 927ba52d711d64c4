#pragma once

#include "xEffect.h"

#include <memory>

// Whole-sample delay line, written before it is read, so a delay of 0 returns
// the input itself. The buffer is a fixed 192000 floats whatever delay it is
// given, allocated once at construction and never cleared. Audio thread only.
class xDelay : public xEffect
{
public:
    static constexpr int bufferLength = 192000;          // samples
    static constexpr int maxDelay = bufferLength - 1;    // samples
    static constexpr float defaultDelayTime = 0.5f;      // seconds

    xDelay();
    ~xDelay() override;

    /** Delay in seconds, stored unchanged; each read clamps it to the buffer. */
    void setDelayTime (float seconds) noexcept { delayTime = seconds; }
    float getDelayTime() const noexcept { return delayTime; }

    /** Whole delay in samples that the next read uses, 0 to 191999. */
    int getDelaySamples() const noexcept;
    int getWriteIndex() const noexcept { return writeIndex; }

    float processSample (float x) noexcept override;

private:
    float delayTime = defaultDelayTime;
    std::unique_ptr<float[]> buffer;
    int writeIndex = 0;
};
