#pragma once

#include "xEffect.h"

#include <memory>

// Whole-sample delay line, written before it is read, so a delay of 0 returns
// the input itself. The buffer is 192000 floats whatever delay it is given,
// allocated once at construction and never cleared; an owner whose delays are
// fixed and short may ask for a shorter buffer. The delay in
// samples is worked out when the time or the rate is set, not per sample.
// Audio thread only.
class xDelay final : public xEffect
{
public:
    static constexpr int bufferLength = 192000;       // samples
    static constexpr int maxDelay = bufferLength - 1; // samples
    static constexpr float defaultDelayTime = 0.5f;   // seconds

    /** A line of the given length in samples, at most bufferLength; delays
        are clamped to one less. */
    explicit xDelay (int length = bufferLength);
    ~xDelay() override;

    /** Delay in seconds, stored unchanged; it is clamped to the buffer when
        turned into samples. */
    void setDelayTime (float seconds) noexcept
    {
        delayTime = seconds;
        delaySamples = toSamples (sampleRate * delayTime, length - 1);
    }
    float getDelayTime() const noexcept { return delayTime; }

    /** Rate in Hz of this line; the delay in samples follows at once. */
    void setSampleRate (float hz) noexcept
    {
        xEffect::setSampleRate (hz);
        setDelayTime (delayTime);
    }

    /** Whole delay in samples that the next read uses, 0 to 191999. */
    int getDelaySamples() const noexcept { return delaySamples; }
    int getWriteIndex() const noexcept { return writeIndex; }

    float processSample (float x) noexcept override { return bypass ? x : run (x); }

    /** The delay step without the bypass test, for owners that never bypass
        the line. */
    float run (float x) noexcept
    {
        if (++writeIndex >= length)
            writeIndex = 0;

        float* const b = buffer.get();
        b[writeIndex] = x;

        return b[lastRead()];
    }

    /** A stretch of runs in which neither the write nor the read position
        wraps: the i-th of them is write[i] = x, then read[i], exactly what
        run does. An owner stepping many lines frame by frame moves them all
        with one shared i instead of each line its own positions. */
    struct Span
    {
        float* write;
        const float* read;

        /** The i-th run of the stretch: writes first, so a delay of 0 still
            returns the input. */
        float run (int i, float x) const noexcept
        {
            write[i] = x;
            return read[i];
        }
    };

    /** How many of the next runs one Span can take; 0 when the next wraps.
        Valid until the delay or the rate changes. */
    int spanLength() const noexcept
    {
        const int toWriteEnd = length - 1 - writeIndex;
        const int toReadEnd = length - 1 - lastRead();
        return toWriteEnd < toReadEnd ? toWriteEnd : toReadEnd;
    }

    /** The stretch that starts at the next run, at most spanLength long. */
    Span span() const noexcept
    {
        float* const b = buffer.get();
        return { b + writeIndex + 1, b + lastRead() + 1 };
    }

    /** Counts n runs made through span(). */
    void skip (int n) noexcept { writeIndex += n; }

private:
    /** Where the last run read, at the current delay. */
    int lastRead() const noexcept
    {
        const int r = writeIndex - delaySamples;
        return r < 0 ? r + length : r;
    }

    static int toSamples (float t, int longest) noexcept
    {
        // Clamped while still a float: converting NaN, infinity or anything
        // past the int range would be undefined. For every finite delay
        // inside the buffer this equals truncating first and clamping after.
        if (! (t > 0.0f))
            return 0;
        if (t >= (float) longest)
            return longest;
        return (int) t;
    }

    int length; // samples in the buffer
    float delayTime = defaultDelayTime;
    std::unique_ptr<float[]> buffer;
    int writeIndex = 0;
    int delaySamples = 0;
};
