#pragma once

#include "xLanes2.h"
#include "xLateDiff.h"
#include "xShelfLanes.h"

#include <array>

// The late field's two chains stepped together, the left chain in lane 0 and
// the right in lane 1. The chains (two xLateDiff) keep their settings, their
// periodic updates and their delay lines, read one lane at a time; the
// all-pass and shelf arithmetic between the lines runs here on both lanes at
// once, with the diffuser and shelf memory it needs. Each lane computes
// exactly the steps of xLateDiff::run. copyCoefficients takes over the
// chains' all-pass coefficients and shelf designs whenever their owner has
// changed them. Audio thread only.
class xLateLanes final
{
public:
    static constexpr int numDiffusers = xLateDiff::numDiffusers;

    void copyCoefficients (const xLateDiff& left, const xLateDiff& right) noexcept
    {
        for (size_t k = 0; k < (size_t) numDiffusers; ++k)
        {
            const auto& l = left.diffusers[k];
            const auto& r = right.diffusers[k];
            coefficients[k] = { l.getCoefficient(), r.getCoefficient() };
            diffuserShelves[k].copyCoefficients (l.getShelf(), r.getShelf());
        }
        shelf.copyCoefficients (left.shelf, right.shelf);
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
        for (size_t k = 0; k < (size_t) numDiffusers; ++k)
        {
            const xLanes2 g = coefficients[k];
            const xLanes2 y = g * x * -1.0f + feedbacks[k];
            const xLanes2 w = g * y + x;
            const xLanes2 d = runLines<mayPassThrough> (left.diffusers[k].delay, right.diffusers[k].delay, w);
            feedbacks[k] = diffuserShelves[k].run (d);
            x = y;
        }
        const xLanes2 y = shelf.run (x);
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

    std::array<xLanes2, numDiffusers> coefficients {};
    std::array<xLanes2, numDiffusers> feedbacks {};
    std::array<xShelfLanes, numDiffusers> diffuserShelves {};
    xShelfLanes shelf;
    xLanes2 feedback;
};
