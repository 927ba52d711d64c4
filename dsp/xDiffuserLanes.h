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
            coefficients[(size_t) k] = { left.getDiffuser (k).getCoefficient(), right.getDiffuser (k).getCoefficient() };
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
        // The shelves in the first two diffusers' loops feed only the next
        // frame, so they run side by side, both stereo pairs in one register.
        std::array<xLanes2, numDiffusers> d;
        for (size_t k = 0; k < (size_t) numDiffusers; ++k)
        {
            const xLanes2 g = coefficients[k];
            const xLanes2 y = g * x * -1.0f + feedbacks[k];
            const xLanes2 w = g * y + x;
            d[k] = runLines (k, w);
            x = y;
        }
        const xLanes4 first = firstShelves.run ({ d[0], d[1] });
        feedbacks[0] = first.low();
        feedbacks[1] = first.high();
        feedbacks[2] = lastShelves.run (d[2]);
        return shelf.run (x);
    }

private:
    static_assert (numDiffusers == 3, "the loop shelves run as diffusers 0 and 1, then diffuser 2");

    std::array<xLanes2, numDiffusers> coefficients {};
    std::array<xLanes2, numDiffusers> feedbacks {};
    xShelfLanes4 firstShelves; // in the loops of diffusers 0 and 1
    xShelfLanes lastShelves;   // in the loop of diffuser 2
    xShelfLanes shelf;         // the chains' own
};
