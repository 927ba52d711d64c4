#pragma once

#include "xEffect.h"
#include "xHermite4.h"

#include <memory>

// Delay line read with four-point interpolation, so its delay can take
// fractional values and move in small steps under modulation. Read before
// write: the current input is stored only after the taps are read. The
// buffer is a fixed 192000 floats, allocated once at construction, followed
// by copies of its first slots so that the four neighbouring taps are read
// without a wrap test of their own. The read position is worked out when the
// time or the rate is set, not per sample. Audio thread only.
class xDelay4p final : public xEffect
{
public:
    static constexpr int bufferLength = 192000;                   // samples
    static constexpr float maxDelay = (float) (bufferLength - 1); // samples
    static constexpr float defaultDelayTime = 0.5f;               // seconds
    static constexpr float tapCentre = 0.5f;                      // samples

    xDelay4p();
    ~xDelay4p() override;

    /** Delay in seconds, stored unchanged; 0.0 exactly makes the line a
        pass-through that does not advance. */
    void setDelayTime (float seconds) noexcept
    {
        delayTime = seconds;
        updateReadPosition();
    }
    float getDelayTime() const noexcept { return delayTime; }

    /** Rate in Hz of this line; the read position follows at once. */
    void setSampleRate (float hz) noexcept
    {
        xEffect::setSampleRate (hz);
        updateReadPosition();
    }

    /** Delay in samples that the next read uses, 0 to 191999. */
    float getDelaySamples() const noexcept { return delaySamples; }
    /** Fractional read position of the last read, in [0.5, 1.5) above 0.5 samples. */
    float getFraction() const noexcept { return fraction; }
    int getWriteIndex() const noexcept { return writeIndex; }

    float processSample (float x) noexcept override { return bypass ? x : run (x); }

    /** The delay step without the bypass test, for owners that never bypass
        the line. */
    float run (float x) noexcept
    {
        if (passesThrough())
            return x;
        const float* const taps = advance();
        const float y = hermite4 (fraction, taps[3], taps[2], taps[1], taps[0]);
        store (x);
        return y;
    }

    /** True at a delay time of 0.0 exactly: run returns its input. */
    bool passesThrough() const noexcept { return delayTime == 0.0f; }

    /** The first half of run, for an owner that interpolates two lines at
        once: moves to the next slot, sets the fraction and returns the four
        taps to interpolate, the oldest first. The input follows with store.
        Not for a line that passes through. */
    const float* advance() noexcept
    {
        if (++writeIndex >= bufferLength)
            writeIndex = 0;

        // The taps n - 1, n, n + 1 and n + 2 calls back lie in four
        // neighbouring slots, the oldest first; the copies after the end
        // stand in for slots 0 to 2 when the four run past it.
        fraction = tapFraction;
        return buffer.get() + lastOldest();
    }

    /** The second half of run: writes the input after the taps are read. */
    void store (float x) noexcept
    {
        float* const b = buffer.get();
        b[writeIndex] = x;
        if (writeIndex < guardSlots)
            b[bufferLength + writeIndex] = x;
    }

    /** A stretch of runs in which neither the write nor the read position
        wraps and no write lands in a slot with a copy after the end: the
        i-th of them interpolates taps + i at fraction and then stores into
        write[i], exactly what run does. An owner stepping many lines frame
        by frame moves them all with one shared i instead of each line its
        own positions. */
    struct Span
    {
        const float* taps; // the four taps of the first run, the oldest first
        float* write;
        float fraction;
    };

    /** How many of the next runs one Span can take: 0 when the next one
        wraps, writes a slot that has a copy, or the line passes through.
        Valid until the delay or the rate changes. */
    int spanLength() const noexcept
    {
        if (passesThrough() || writeIndex < guardSlots - 1)
            return 0;
        const int toWriteEnd = bufferLength - 1 - writeIndex;
        const int toReadEnd = bufferLength - 1 - lastOldest();
        return toWriteEnd < toReadEnd ? toWriteEnd : toReadEnd;
    }

    /** The stretch that starts at the next run, at most spanLength long. */
    Span span() const noexcept
    {
        float* const b = buffer.get();
        return { b + lastOldest() + 1, b + writeIndex + 1, tapFraction };
    }

    /** Counts n runs made through span(). */
    void skip (int n) noexcept
    {
        writeIndex += n;
        fraction = tapFraction;
    }

private:
    static constexpr int guardSlots = 3; // copies of slots 0 to 2 after the end

    /** The oldest of the four taps at the current write position. */
    int lastOldest() const noexcept
    {
        const int oldest = writeIndex - (tapOffset + 2);
        return oldest < 0 ? oldest + bufferLength : oldest;
    }

    void updateReadPosition() noexcept
    {
        // NaN fails both comparisons and reads as no delay.
        const float t = sampleRate * delayTime;
        if (! (t >= 0.0f))
            delaySamples = 0.0f;
        else if (t >= maxDelay)
            delaySamples = maxDelay;
        else
            delaySamples = t;
        tapOffset = (int) (delaySamples - tapCentre);
        tapFraction = delaySamples - (float) tapOffset;
    }

    float delayTime = defaultDelayTime;
    float fraction = 0.0f;
    std::unique_ptr<float[]> buffer;
    int writeIndex = 0;
    float delaySamples = 0.0f; // clamped delay in samples
    int tapOffset = 0;         // n: whole part of the read position
    float tapFraction = 0.0f;  // fraction the next read uses
};
