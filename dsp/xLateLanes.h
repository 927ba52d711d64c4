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
            coefficients[k] = { left.diffusers[k].getCoefficient(), right.diffusers[k].getCoefficient() };
        firstShelves.copyCoefficients (left.diffusers[0].getShelf(), right.diffusers[0].getShelf(),
                                       left.diffusers[1].getShelf(), right.diffusers[1].getShelf());
        lastShelves.copyCoefficients (left.diffusers[2].getShelf(), right.diffusers[2].getShelf());
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
        // The shelves in the first two diffusers' loops feed only the next
        // frame, so they run side by side, both stereo pairs in one register.
        std::array<xLanes2, numDiffusers> d;
        for (size_t k = 0; k < (size_t) numDiffusers; ++k)
        {
            const xLanes2 g = coefficients[k];
            const xLanes2 y = g * x * -1.0f + feedbacks[k];
            const xLanes2 w = g * y + x;
            d[k] = runLines<mayPassThrough> (left.diffusers[k].delay, right.diffusers[k].delay, w);
            x = y;
        }
        const xLanes4 first = firstShelves.run ({ d[0], d[1] });
        feedbacks[0] = first.low();
        feedbacks[1] = first.high();
        feedbacks[2] = lastShelves.run (d[2]);
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
    xShelfLanes4 firstShelves; // in the loops of diffusers 0 and 1
    xShelfLanes lastShelves;   // in the loop of diffuser 2
    xShelfLanes shelf;         // the chain's own

    static_assert (numDiffusers == 3, "the loop shelves run as diffusers 0 and 1, then diffuser 2");
    xLanes2 feedback;
};
