#pragma once

#include "xLanes2.h"
#include "xShelfLanes.h"

#include <array>
#include <cstddef>

// What the early and the late field's two-lane steps share: the three
// all-pass diffusers of two chains and the chains' own shelf pair, left in
// lane 0 and right in lane 1, with the feedback and shelf memory they need.
// The delay lines stay with the chains (a whole-sample or an interpolated
// line), so the owner runs each diffuser's pair of lines. Each lane computes
// exactly the steps of its chain's run. Audio thread only.
template <typename Chain>
class xDiffuserLanes final
{
public:
    static constexpr int numDiffusers = Chain::numDiffusers;

    /** Takes over both chains' all-pass coefficients and shelf designs;
        called whenever their owner has changed them. */
    void copyCoefficients (const Chain& left, const Chain& right) noexcept
    {
        for (int k = 0; k < numDiffusers; ++k)
            coefficients[(size_t) k] = { left.getDiffuser (k).getCoefficient(),
                                         right.getDiffuser (k).getCoefficient() };
        firstShelves.copyCoefficients (left.getDiffuser (0).getShelf(), right.getDiffuser (0).getShelf(),
                                       left.getDiffuser (1).getShelf(), right.getDiffuser (1).getShelf());
        lastShelves.copyCoefficients (left.getDiffuser (2).getShelf(), right.getDiffuser (2).getShelf());
        shelf.copyCoefficients (left.getShelf(), right.getShelf());
    }

    /** One sample through both chains' diffusers and shelves; returns the
        shelf outputs. runLines (k, w) runs diffuser k's two lines with the
        input w and returns their outputs. */
    template <typename RunLines>
    xLanes2 run (xLanes2 x, RunLines&& runLines) noexcept
    {
        xLanes2 d2;
        const xLanes2 y = runLeavingLastLoop (x, runLines, d2);
        feedbacks[2] = lastShelves.run (d2);
        return y;
    }

    /** The same step without the shelf in the last diffuser's loop: d2
        receives that diffuser's line outputs, and the owner runs the
        shelf on them (lastLoopShelves) and hands its output back with
        setLastLoopFeedback before the next sample. An owner of two fields
        runs both fields' last loop shelves side by side in that way. */
    template <typename RunLines>
    xLanes2 runLeavingLastLoop (xLanes2 x, RunLines&& runLines, xLanes2& d2) noexcept
    {
        std::array<xLanes2, numDiffusers> d;
        for (size_t k = 0; k < (size_t) numDiffusers; ++k)
        {
            const xLanes2 w = allPass (k, x);
            d[k] = runLines (k, w);
        }
        d2 = d[2];
        return firstLoopsAndShelf (x, { d[0], d[1] });
    }

    xShelfLanes& lastLoopShelves() noexcept { return lastShelves; }
    void setLastLoopFeedback (xLanes2 f) noexcept { feedbacks[2] = f; }

    /** runLeavingLastLoop for lines that are read before they are
        written, so that their outputs are known before the sample's
        inputs: d01 holds the outputs of diffuser 0's lines in lanes 0 and 1
        and diffuser 1's in lanes 2 and 3 (diffuser 2's go straight to the
        owner's last loop shelves); storeLines (k, w) stores the input w into
        diffuser k's lines. */
    template <typename StoreLines>
    xLanes2 runReadLinesLeavingLastLoop (xLanes2 x, xLanes4 d01, StoreLines&& storeLines) noexcept
    {
        for (size_t k = 0; k < (size_t) numDiffusers; ++k)
            storeLines (k, allPass (k, x));
        return firstLoopsAndShelf (x, d01);
    }

private:
    /** Diffuser k's all-pass step: x becomes its output, and the returned
        value goes into its lines. */
    xLanes2 allPass (size_t k, xLanes2& x) noexcept
    {
        const xLanes2 g = coefficients[k];
        const xLanes2 y = g * x * -1.0f + feedbacks[k];
        const xLanes2 w = g * y + x;
        x = y;
        return w;
    }

    /** The shelves in the first two diffusers' loops, fed with their
        lines' outputs, and the chains' own shelf on the last diffuser's
        output x. The loop shelves feed only the next sample, so the two
        run side by side, both stereo pairs in one register. */
    xLanes2 firstLoopsAndShelf (xLanes2 x, xLanes4 d01) noexcept
    {
        const xLanes4 first = firstShelves.run (d01);
        feedbacks[0] = first.low();
        feedbacks[1] = first.high();
        return shelf.run (x);
    }

    static_assert (numDiffusers == 3, "the loop shelves run as diffusers 0 and 1, then diffuser 2");

    std::array<xLanes2, numDiffusers> coefficients {};
    std::array<xLanes2, numDiffusers> feedbacks {};
    xShelfLanes4 firstShelves; // in the loops of diffusers 0 and 1
    xShelfLanes lastShelves;   // in the loop of diffuser 2
    xShelfLanes shelf;         // the chains' own
};
