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
        {
            const auto& l = left.diffusers[k];
            const auto& r = right.diffusers[k];
            coefficients[k] = { l.getCoefficient(), r.getCoefficient() };
            diffuserShelves[k].copyCoefficients (l.getShelf(), r.getShelf());
        }
        shelf.copyCoefficients (left.shelf, right.shelf);
    }

    /** One sample through both chains; returns their shelf outputs. */
    xLanes2 run (xEarlyDiff& left, xEarlyDiff& right, xLanes2 x) noexcept
    {
        for (size_t k = 0; k < (size_t) numDiffusers; ++k)
        {
            const xLanes2 g = coefficients[k];
            const xLanes2 y = g * x * -1.0f + feedbacks[k];
            const xLanes2 w = g * y + x;
            const xLanes2 d { left.diffusers[k].delay.run (w.left()), right.diffusers[k].delay.run (w.right()) };
            feedbacks[k] = diffuserShelves[k].run (d);
            x = y;
        }
        return shelf.run (x);
    }

private:
    std::array<xLanes2, numDiffusers> coefficients {};
    std::array<xLanes2, numDiffusers> feedbacks {};
    std::array<xShelfLanes, numDiffusers> diffuserShelves {};
    xShelfLanes shelf;
};
