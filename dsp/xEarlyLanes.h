#pragma once

#include "xDiffuserLanes.h"
#include "xEarlyDiff.h"
#include "xLanes2.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>

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
        return chains.run (
            x,
            [&left, &right] (size_t k, xLanes2 w) {
                return xLanes2 { left.diffusers[k].delay.run (w.left()), right.diffusers[k].delay.run (w.right()) };
            });
    }

    /** Both chains' lines as stretches of runs (see xDelay::Span). */
    struct Spans
    {
        std::array<xDelay::Span, xEarlyDiff::numDiffusers> left, right;
    };

    /** How many of the next frames one Spans can take. */
    static int spanLength (const xEarlyDiff& left, const xEarlyDiff& right) noexcept
    {
        int n = std::numeric_limits<int>::max();
        for (size_t k = 0; k < (size_t) xEarlyDiff::numDiffusers; ++k)
        {
            n = std::min (n, left.diffusers[k].delay.spanLength());
            n = std::min (n, right.diffusers[k].delay.spanLength());
        }
        return n;
    }

    static Spans spans (const xEarlyDiff& left, const xEarlyDiff& right) noexcept
    {
        Spans s;
        for (size_t k = 0; k < (size_t) xEarlyDiff::numDiffusers; ++k)
        {
            s.left[k] = left.diffusers[k].delay.span();
            s.right[k] = right.diffusers[k].delay.span();
        }
        return s;
    }

    /** Frame i of a stretch: the same step as run, the lines read and
        written through their spans, except for the shelves in the last
        diffusers' loops: their inputs go to lastLoopInput, and the owner
        runs them (see xDiffuserLanes::runLeavingLastLoop). */
    xLanes2 run (const Spans& s, int i, xLanes2 x, xLanes2& lastLoopInput) noexcept
    {
        return chains.runLeavingLastLoop (
            x,
            [&s, i] (size_t k, xLanes2 w) {
                return xLanes2 { s.left[k].run (i, w.left()), s.right[k].run (i, w.right()) };
            },
            lastLoopInput);
    }

    xDiffuserLanes<xEarlyDiff>& diffuserLanes() noexcept { return chains; }

    /** Counts n frames made through spans. */
    static void skip (xEarlyDiff& left, xEarlyDiff& right, int n) noexcept
    {
        for (size_t k = 0; k < (size_t) xEarlyDiff::numDiffusers; ++k)
        {
            left.diffusers[k].delay.skip (n);
            right.diffusers[k].delay.skip (n);
        }
    }

private:
    xDiffuserLanes<xEarlyDiff> chains;
};
