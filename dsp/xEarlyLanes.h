#pragma once

#include "xEarlyDiff.h"
#include "xLanes2.h"
#include "xShelfLanes.h"

#include <array>

// The early field's two chains stepped together, the left chain in lane 0
// and the right in lane 1. The chains (two xEarlyDiff) keep their settings
// and their delay lines, read one lane at a time; the all-pass and shelf
// arithmetic between the lines runs here on both lanes at once, with the
// diffuser and shelf memory it needs. Each lane computes exactly the steps
// of xEarlyDiff::run. copyCoefficients takes over the chains' all-pass
// coefficients and shelf designs whenever their owner has changed them.
// Audio thread only.
class xEarlyLanes final
{
public:
    static constexpr int numDiffusers = xEarlyDiff::numDiffusers;

    void copyCoefficients (const xEarlyDiff& left, const xEarlyDiff& right) noexcept
    {
        for (size_t k = 0; k < (size_t) numDiffusers; ++k)
            coefficients[k] = { left.diffusers[k].getCoefficient(), right.diffusers[k].getCoefficient() };
        firstShelves.copyCoefficients (left.diffusers[0].getShelf(), right.diffusers[0].getShelf(),
                                       left.diffusers[1].getShelf(), right.diffusers[1].getShelf());
        lastShelves.copyCoefficients (left.diffusers[2].getShelf(), right.diffusers[2].getShelf());
        shelf.copyCoefficients (left.shelf, right.shelf);
    }

    /** One sample through both chains; returns their shelf outputs. */
    xLanes2 run (xEarlyDiff& left, xEarlyDiff& right, xLanes2 x) noexcept
    {
        // The shelves in the first two diffusers' loops feed only the next
        // frame, so they run side by side, both stereo pairs in one register.
        std::array<xLanes2, numDiffusers> d;
        for (size_t k = 0; k < (size_t) numDiffusers; ++k)
        {
            const xLanes2 g = coefficients[k];
            const xLanes2 y = g * x * -1.0f + feedbacks[k];
            const xLanes2 w = g * y + x;
            d[k] = { left.diffusers[k].delay.run (w.left()), right.diffusers[k].delay.run (w.right()) };
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
    xShelfLanes shelf;         // the chain's own
};
