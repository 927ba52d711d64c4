#pragma once

#include "xBiLin1pHS.h"
#include "xBiLin1pLS.h"
#include "xLanes2.h"
#include "xShelf.h"

// First-order shelf steps in the lanes of one register, each lane the step
// of one xBiLin1p: y = b0 x' + b1 x'[n-1] + a1 y[n-1], in the same order.
// Lanes is xLanes2 (two shelves) or xLanes4 (four). Audio thread only.
template <typename Lanes>
struct xFirstOrderLanes
{
    /** y = b0 x' + b1 x'[n-1] + a1 y[n-1], as xBiLin1p computes it. */
    Lanes step (Lanes offsetInput) noexcept
    {
        const Lanes y = (offsetInput * b0 + lastInput * b1) + lastOutput * a1;
        lastInput = offsetInput;
        lastOutput = y;
        return y;
    }

    Lanes a1, b0, b1, lastInput, lastOutput;
};

// The step of two shelf pairs (high then low shelf) in the two lanes of one
// register: lane 0 runs the left channel's shelf, lane 1 the right's. The
// coefficients are designed by two ordinary xShelf objects, which keep the
// settings and hand them out; copyCoefficients takes them over whenever
// their owner has changed them. The filter memory lives here. Audio thread
// only.
class xShelfLanes final
{
public:
    friend class xShelfLanes4; // joins two pairs into four lanes for a stretch
    void copyCoefficients (const xShelf& left, const xShelf& right) noexcept
    {
        copy (high, left.getHighShelf(), right.getHighShelf());
        copy (low, left.getLowShelf(), right.getLowShelf());
    }

    xLanes2 run (xLanes2 x) noexcept
    {
        return low.step (high.step (x.plusDouble (xBiLin1pHS::inputOffset)).plusDouble (xBiLin1pLS::inputOffset));
    }

private:
    static void copy (xFirstOrderLanes<xLanes2>& f, const xBiLin1p& l, const xBiLin1p& r) noexcept
    {
        f.a1 = { l.getA1(), r.getA1() };
        f.b0 = { l.getB0(), r.getB0() };
        f.b1 = { l.getB1(), r.getB1() };
    }

    xFirstOrderLanes<xLanes2> high;
    xFirstOrderLanes<xLanes2> low;
};

// Four shelf pairs in the four lanes of one register: two stereo pairs that
// do not feed each other (say the shelves of two diffusers of one chain),
// the first pair's left and right in lanes 0 and 1, the second's in lanes 2
// and 3. Each lane gives the bits of its own xShelf. Audio thread only.
class xShelfLanes4 final
{
public:
    void copyCoefficients (const xShelf& left0, const xShelf& right0, const xShelf& left1,
                           const xShelf& right1) noexcept
    {
        copy (high, left0.getHighShelf(), right0.getHighShelf(), left1.getHighShelf(), right1.getHighShelf());
        copy (low, left0.getLowShelf(), right0.getLowShelf(), left1.getLowShelf(), right1.getLowShelf());
    }

    xLanes4 run (xLanes4 x) noexcept
    {
        return low.step (high.step (x.plusDouble (xBiLin1pHS::inputOffset)).plusDouble (xBiLin1pLS::inputOffset));
    }

    /** Takes over the coefficients and memory of two two-lane pairs: a's
        into lanes 0 and 1, b's into lanes 2 and 3. */
    static xShelfLanes4 join (const xShelfLanes& a, const xShelfLanes& b) noexcept
    {
        xShelfLanes4 s;
        s.high = join (a.high, b.high);
        s.low = join (a.low, b.low);
        return s;
    }

    /** Hands the memory back to the two pairs join took it from. */
    void split (xShelfLanes& a, xShelfLanes& b) const noexcept
    {
        split (high, a.high, b.high);
        split (low, a.low, b.low);
    }

private:
    static xFirstOrderLanes<xLanes4> join (const xFirstOrderLanes<xLanes2>& a,
                                           const xFirstOrderLanes<xLanes2>& b) noexcept
    {
        return {
            { a.a1, b.a1 }, { a.b0, b.b0 }, { a.b1, b.b1 }, { a.lastInput, b.lastInput }, { a.lastOutput, b.lastOutput }
        };
    }

    static void split (const xFirstOrderLanes<xLanes4>& f, xFirstOrderLanes<xLanes2>& a,
                       xFirstOrderLanes<xLanes2>& b) noexcept
    {
        a.lastInput = f.lastInput.low();
        a.lastOutput = f.lastOutput.low();
        b.lastInput = f.lastInput.high();
        b.lastOutput = f.lastOutput.high();
    }

    static void copy (xFirstOrderLanes<xLanes4>& f, const xBiLin1p& l0, const xBiLin1p& r0, const xBiLin1p& l1,
                      const xBiLin1p& r1) noexcept
    {
        f.a1 = { l0.getA1(), r0.getA1(), l1.getA1(), r1.getA1() };
        f.b0 = { l0.getB0(), r0.getB0(), l1.getB0(), r1.getB0() };
        f.b1 = { l0.getB1(), r0.getB1(), l1.getB1(), r1.getB1() };
    }

    xFirstOrderLanes<xLanes4> high;
    xFirstOrderLanes<xLanes4> low;
};
