#pragma once

#include "xDiffuserLanes.h"
#include "xLanes2.h"
#include "xLateDiff.h"

#include <cstddef>

// The late field's two chains stepped together, the left chain in lane 0 and
// the right in lane 1. The chains (two xLateDiff) keep their settings, their
// periodic updates and their delay lines, read one lane at a time; the
// all-pass and shelf arithmetic between the lines runs on both lanes at once
// in xDiffuserLanes, which holds the diffuser and shelf memory. Each lane computes
// exactly the steps of xLateDiff::run. copyCoefficients takes over the
// chains' all-pass coefficients and shelf designs whenever their owner has
// changed them. Audio thread only.
class xLateLanes final
{
public:
    void copyCoefficients (const xLateDiff& left, const xLateDiff& right) noexcept
    {
        chains.copyCoefficients (left, right);
    }

    /** One sample through both chains; returns their shelf outputs. */
    xLanes2 run (xLateDiff& left, xLateDiff& right, xLanes2 x) noexcept
    {
        left.stepUpdateCounter();
        right.stepUpdateCounter();
        if (left.someLinePassesThrough || right.someLinePassesThrough)
            return step<true> (left, right, x);
        return step<false> (left, right, x);
    }

    /** Loop-delay outputs of the last call times the loop gains. */
    xLanes2 feedbackOut() const noexcept { return feedback; }

private:
    /** The frame step after the periodic updates; mayPassThrough false
        when no line of either chain passes through. */
    template <bool mayPassThrough>
    xLanes2 step (xLateDiff& left, xLateDiff& right, xLanes2 x) noexcept
    {
        const xLanes2 y = chains.run (x, [&left, &right] (size_t k, xLanes2 w) {
            return runLines<mayPassThrough> (left.diffusers[k].delay, right.diffusers[k].delay, w);
        });
        const xLanes2 looped = runLines<mayPassThrough> (left.loopDelay, right.loopDelay, y);
        feedback = looped * xLanes2 { left.loopGain, right.loopGain };
        return y;
    }

    /** Both lines' run: the taps read one line at a time, interpolated in
        both lanes at once. */
    template <bool mayPassThrough>
    static xLanes2 runLines (xDelay4p& left, xDelay4p& right, xLanes2 x) noexcept
    {
        if (mayPassThrough && (left.passesThrough() || right.passesThrough()))
            return { left.run (x.left()), right.run (x.right()) };
        xLanes2 taps[4];
        loadLanes4 (left.advance(), right.advance(), taps);
        const xLanes2 y = hermite4 (xLanes2 { left.getFraction(), right.getFraction() }, taps[3], taps[2], taps[1], taps[0]);
        left.store (x.left());
        right.store (x.right());
        return y;
    }

    xDiffuserLanes<xLateDiff> chains;
    xLanes2 feedback;
};
