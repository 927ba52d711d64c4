#pragma once

#include "xEarlyDiff.h"


// Stereo early field: one early diffuser chain per channel, the left chain
// tuned to size + 2 and the right to size - 2, so the channels get different
// echo patterns. Size 60 exactly switches the stage off: frames pass through
// and both chains stay frozen, not cleared. Audio thread only.
class xEarlyReflection final : public xEffect
{
public:
    static constexpr float offSize = 60.0f; // note number that switches the stage off

    xEarlyReflection() = default;

    float* processFrame (float* frame, int) noexcept override
    {
        if (! isOff())
            run (frame);
        return frame;
    }

    /** Both chains on frame[0] and frame[1], for an owner that has checked
        isOff once for its block. */
    void run (float* frame) noexcept
    {
        frame[0] = left.run (frame[0]);
        frame[1] = right.run (frame[1]);
    }

    /** True while the size is 60 exactly: frames pass through untouched. */
    bool isOff() const noexcept { return size == offSize; }

    /** Mono use: the left chain only. */
    float processSample (float x) noexcept override
    {
        if (bypass || isOff())
            return x;
        return left.run (x);
    }

    /** Early size as a note number; both chains retune at once. */
    void setSize (float note) noexcept;
    /** Diffusion amount, clamped to 0 to 1 by the chains. */
    void setDiffusion (float d) noexcept;

    /** Note offset between the chains: -2. Applied from the next setSize. */
    void initSpread() noexcept;
    /** Diffuser high-shelf corner: note 97, about 2217 Hz. */
    void initHighShelfFrequency() noexcept;
    void initHighShelfGain() noexcept;
    /** Diffuser low-shelf corner: note 36, about 65 Hz. */
    void initLowShelfFrequency() noexcept;
    void initLowShelfGain() noexcept;
    /** Zero coefficient spread on both chains, then the stored diffusion again. */
    void initDiffusionSpread() noexcept;

    float getSize() const noexcept { return size; }
    float getSpread() const noexcept { return spread; }
    const xEarlyDiff& getLeft() const noexcept { return left; }
    const xEarlyDiff& getRight() const noexcept { return right; }

private:
    float spread = 0.0f;    // notes
    float diffusion = 0.0f;
    float size = 0.0f;      // note number
    xEarlyDiff left;
    xEarlyDiff right;
};
