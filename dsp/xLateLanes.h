#pragma once

#include "xDiffuserLanes.h"
#include "xLanes2.h"
#include "xLateDiff.h"

#include <algorithm>
#include <array>
#include <cstddef>

// The late field's two chains stepped together, the left chain in lane 0 and
// the right in lane 1. The chains (two xLateDiff) keep their settings, their
// periodic updates and their delay lines, read one lane at a time; the
// all-pass and shelf arithmetic between the lines runs on both lanes at once
// in xDiffuserLanes, which holds the diffuser and shelf memory. Each lane computes
// exactly the steps of xLateDiff::run. copyCoefficients takes over the
// chains' all-pass coefficients and shelf designs whenever their owner has
// changed them. Audio thread only.
class xLateLanes final
{
public:
    void copyCoefficients (const xLateDiff& left, const xLateDiff& right) noexcept
    {
        chains.copyCoefficients (left, right);
    }

    /** One sample through both chains; returns their shelf outputs. With
        countersStepped, stepCounters has already run for this sample. */
    xLanes2 run (xLateDiff& left, xLateDiff& right, xLanes2 x, bool countersStepped = false) noexcept
    {
        if (! countersStepped)
            stepCounters (left, right);
        if (left.someLinePassesThrough || right.someLinePassesThrough)
            return step<true> (left, right, x);
        return step<false> (left, right, x);
    }

    /** Counts a sample on both chains' update counters, running the
        periodic update of each that is due. */
    static void stepCounters (xLateDiff& left, xLateDiff& right) noexcept
    {
        left.stepUpdateCounter();
        right.stepUpdateCounter();
    }

    /** Both chains' lines as stretches of runs (see xDelay4p::Span): the
        diffusers' lines, then the loop delay's. */
    struct Spans
    {
        std::array<xDelay4p::Span, xLateDiff::numDiffusers + 1> left, right;
        xLanes2 loopGains; // the chains' loop gains, which only an update moves
    };

    /** How many of the next frames one Spans can take: none of them may
        run a chain's periodic update, which moves the delays. With
        firstCounted, the first frame's counters have been stepped already
        (see stepCounters). */
    static int spanLength (const xLateDiff& left, const xLateDiff& right, bool firstCounted) noexcept
    {
        int n = std::min (xLateDiff::updateInterval - 1 - left.updateCounter,
                          xLateDiff::updateInterval - 1 - right.updateCounter)
                + (firstCounted ? 1 : 0);
        for (size_t k = 0; k <= (size_t) xLateDiff::numDiffusers; ++k)
        {
            n = std::min (n, line (left, k).spanLength());
            n = std::min (n, line (right, k).spanLength());
        }
        return n;
    }

    static Spans spans (xLateDiff& left, xLateDiff& right) noexcept
    {
        Spans s;
        for (size_t k = 0; k <= (size_t) xLateDiff::numDiffusers; ++k)
        {
            s.left[k] = line (left, k).span();
            s.right[k] = line (right, k).span();
        }
        s.loopGains = { left.loopGain, right.loopGain };
        return s;
    }

    /** Frame i of a stretch: the same step as run, the lines read and
        written through their spans, except for the shelves in the last
        diffusers' loops: their inputs go to lastLoopInput, and the owner
        runs them (see xDiffuserLanes::runLeavingLastLoop). */
    xLanes2 run (const Spans& s, int i, xLanes2 x, xLanes2& lastLoopInput) noexcept
    {
        // Each line reads only its own buffer, before its own input is
        // stored, so all eight are read first: two lines' pairs at a time,
        // interpolated in the four lanes of one register.
        const xLanes4 first = readSpans (s, 0, 1, i);  // diffusers 0 and 1
        const xLanes4 second = readSpans (s, 2, 3, i); // diffuser 2, loop delay
        lastLoopInput = second.low();
        const xLanes2 y =
            chains.runReadLinesLeavingLastLoop (x, first, [&s, i] (size_t k, xLanes2 w) { storeSpans (s, k, i, w); });
        storeSpans (s, (size_t) xLateDiff::numDiffusers, i, y);
        feedback = second.high() * s.loopGains;
        return y;
    }

    /** Counts n frames made through spans: the lines move on, the update
        counters count (all but the first with firstCounted). */
    static void skip (xLateDiff& left, xLateDiff& right, int n, bool firstCounted) noexcept
    {
        for (size_t k = 0; k <= (size_t) xLateDiff::numDiffusers; ++k)
        {
            line (left, k).skip (n);
            line (right, k).skip (n);
        }
        const int counted = firstCounted ? n - 1 : n;
        left.updateCounter += counted;
        right.updateCounter += counted;
    }

    xDiffuserLanes<xLateDiff>& diffuserLanes() noexcept { return chains; }

    /** Loop-delay outputs of the last call times the loop gains. */
    xLanes2 feedbackOut() const noexcept { return feedback; }

private:
    /** Line k of a chain: the diffusers' lines, then the loop delay. */
    static xDelay4p& line (xLateDiff& chain, size_t k) noexcept
    {
        return k < (size_t) xLateDiff::numDiffusers ? chain.diffusers[k].delay : chain.loopDelay;
    }
    static const xDelay4p& line (const xLateDiff& chain, size_t k) noexcept
    {
        return k < (size_t) xLateDiff::numDiffusers ? chain.diffusers[k].delay : chain.loopDelay;
    }

    /** Frame i of lines a's and b's stretches, both chains' (line k of a
        chain as in line): the outputs of a's lines in lanes 0 and 1, b's in
        lanes 2 and 3, each interpolated as xDelay4p::run does. */
    static xLanes4 readSpans (const Spans& s, size_t a, size_t b, int i) noexcept
    {
        xLanes4 taps[4];
        loadLanes4 (s.left[a].taps + i, s.right[a].taps + i, s.left[b].taps + i, s.right[b].taps + i, taps);
        const xLanes4 f { s.left[a].fraction, s.right[a].fraction, s.left[b].fraction, s.right[b].fraction };
        return hermite4 (f, taps[3], taps[2], taps[1], taps[0]);
    }

    /** Frame i's inputs x of both chains' line k, after its read. */
    static void storeSpans (const Spans& s, size_t k, int i, xLanes2 x) noexcept
    {
        s.left[k].write[i] = x.left();
        s.right[k].write[i] = x.right();
    }

    /** The frame step after the periodic updates; mayPassThrough false
        when no line of either chain passes through. */
    template <bool mayPassThrough>
    xLanes2 step (xLateDiff& left, xLateDiff& right, xLanes2 x) noexcept
    {
        const xLanes2 y =
            chains.run (x, [&left, &right] (size_t k, xLanes2 w)
                        { return runLines<mayPassThrough> (left.diffusers[k].delay, right.diffusers[k].delay, w); });
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
        const xLanes2 y =
            hermite4 (xLanes2 { left.getFraction(), right.getFraction() }, taps[3], taps[2], taps[1], taps[0]);
        left.store (x.left());
        right.store (x.right());
        return y;
    }

    xDiffuserLanes<xLateDiff> chains;
    xLanes2 feedback;
};
