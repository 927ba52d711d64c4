#pragma once

#include "xDiffuserLanes.h"
#include "xEarlyDiff.h"
#include "xLanes2.h"

#include <cstddef>

// The early field's two chains stepped together, the left chain in lane 0
// and the right in lane 1. The chains (two xEarlyDiff) keep their settings
// and their delay lines, read one lane at a time; the all-pass and shelf
// arithmetic between the lines runs on both lanes at once in xDiffuserLanes,
// which holds the diffuser and shelf memory. Each lane computes exactly the steps
// of xEarlyDiff::run. copyCoefficients takes over the chains' all-pass
// coefficients and shelf designs whenever their owner has changed them.
// Audio thread only.
class xEarlyLanes final
{
public:
    void copyCoefficients (const xEarlyDiff& left, const xEarlyDiff& right) noexcept
    {
        chains.copyCoefficients (left, right);
    }

    /** One sample through both chains; returns their shelf outputs. */
    xLanes2 run (xEarlyDiff& left, xEarlyDiff& right, xLanes2 x) noexcept
    {
        return chains.run (x, [&left, &right] (size_t k, xLanes2 w) {
            return xLanes2 { left.diffusers[k].delay.run (w.left()), right.diffusers[k].delay.run (w.right()) };
        });
    }

private:
    xDiffuserLanes<xEarlyDiff> chains;
};
