#pragma once

#include "xBiLin1pHS.h"
#include "xBiLin1pLS.h"
#include "xLanes2.h"
#include "xShelf.h"

// The step of two shelf pairs (high then low shelf) in the two lanes of one
// register: lane 0 runs the left channel's shelf, lane 1 the right's. The
// coefficients are designed by two ordinary xShelf objects, which keep the
// settings and hand them out; copyCoefficients takes them over whenever
// their owner has changed them. The filter memory lives here. Audio thread
// only.
class xShelfLanes final
{
public:
    void copyCoefficients (const xShelf& left, const xShelf& right) noexcept
    {
        high.copy (left.getHighShelf(), right.getHighShelf());
        low.copy (left.getLowShelf(), right.getLowShelf());
    }

    xLanes2 run (xLanes2 x) noexcept
    {
        return low.step (high.step (x.plusDouble (xBiLin1pHS::inputOffset)).plusDouble (xBiLin1pLS::inputOffset));
    }

private:
    struct FirstOrder
    {
        void copy (const xBiLin1p& l, const xBiLin1p& r) noexcept
        {
            a1 = { l.getA1(), r.getA1() };
            b0 = { l.getB0(), r.getB0() };
            b1 = { l.getB1(), r.getB1() };
        }

        /** y = b0 x' + b1 x'[n-1] + a1 y[n-1], as xBiLin1p computes it. */
        xLanes2 step (xLanes2 offsetInput) noexcept
        {
            const xLanes2 y = (offsetInput * b0 + lastInput * b1) + lastOutput * a1;
            lastInput = offsetInput;
            lastOutput = y;
            return y;
        }

        xLanes2 a1, b0, b1, lastInput, lastOutput;
    };

    FirstOrder high;
    FirstOrder low;
};
