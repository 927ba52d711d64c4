#pragma once

#include "xEarlyDiff.h"
#include "xEarlyLanes.h"

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
        const xLanes2 y = run (xLanes2 { frame[0], frame[1] });
        frame[0] = y.left();
        frame[1] = y.right();
    }

    /** The same frame step on a frame held in two lanes, left in lane 0:
        both chains in one step. */
    xLanes2 run (xLanes2 frame) noexcept { return lanes.run (left, right, frame); }

    /** Stretches of frames on which the lines keep their positions in step
        (see xEarlyLanes::Spans): the owner asks spanLength, takes spans,
        runs that many frames through them and then counts them with skip. */
    using Spans = xEarlyLanes::Spans;
    int spanLength() const noexcept { return xEarlyLanes::spanLength (left, right); }
    Spans spans() const noexcept { return xEarlyLanes::spans (left, right); }
    /** Frame i of a stretch: the same step as run, except for the shelves
        in the last diffusers' loops, which the owner runs on lastLoopInput
        (see xDiffuserLanes::runLeavingLastLoop, and diffuserLanes). */
    xLanes2 run (const Spans& s, int i, xLanes2 frame, xLanes2& lastLoopInput) noexcept
    {
        return lanes.run (s, i, frame, lastLoopInput);
    }
    void skip (int n) noexcept { xEarlyLanes::skip (left, right, n); }
    xDiffuserLanes<xEarlyDiff>& diffuserLanes() noexcept { return lanes.diffuserLanes(); }

    /** True while the size is 60 exactly: frames pass through untouched. */
    bool isOff() const noexcept { return size == offSize; }

    /** Mono use: the left chain only, with the chain's own all-pass and
        shelf memory (the stereo step keeps its memory in the lanes). */
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
    float spread = 0.0f; // notes
    float diffusion = 0.0f;
    float size = 0.0f; // note number
    /** Hands the chains' all-pass coefficients and shelf designs to the
        two-lane step; every setter that changes them calls it. */
    void copyCoefficientsToLanes() noexcept { lanes.copyCoefficients (left, right); }

    xEarlyDiff left;
    xEarlyDiff right;
    xEarlyLanes lanes;
};
