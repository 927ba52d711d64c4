#pragma once

#include "xEarlyReflection.h"
#include "xLateReflection.h"
#include "xPreDelay.h"
#include "xShelf.h"
#include "xShelfLanes.h"

#include <algorithm>

// The reverb engine as the plug-in filter sees it: one object that turns a
// stereo frame into a stereo wet frame in place. A pre-delay, an early field
// and a late field run in series; the early and late outputs are blended by
// the listener position and each channel passes its own fixed output shelf.
// Every stage computes at 44100 Hz whatever the host rate; the host rate is
// stored here and read by nothing. There is no reset: bypass and the off
// sizes freeze state, they never clear it.
//
// The filter calls the setters at the start of every block, in the order
// early size, late size, diffusion, decay, listener, bypass, and then
// processFrame once per frame, all on the audio thread. The setters accept
// any float, allocate nothing and take no lock.
class xReverb final : public xEffect
{
public:
    xReverb();

    /** Early-field size as a note number; 60 exactly switches it off. */
    void setEarlySize (float note) noexcept;
    /** Late-field size as a note number; 48 exactly switches it off. */
    void setLateSize (float note) noexcept;
    /** All-pass coefficient of every diffuser, 0 to 1. */
    void setDiffusion (float d) noexcept;
    /** Decay exponent, 0 to 60: decay time 0.001 * 1.2202^v seconds. */
    void setDecay (float v) noexcept;
    /** Listener position, 0 (early only) to 1 (late only). */
    void setListener (float position) noexcept;

    /** Processes frame[0] and frame[1] in place; numChannels is not read. */
    float* processFrame (float* frame, int) noexcept override
    {
        if (! bypass)
            run (frame);
        return frame;
    }

    /** One frame through the whole chain, for a caller that has checked
        isBypassed once for its block. */
    void run (float* frame) noexcept { run (frame, stagesOn()); }

    /** n frames of left and right (two separate arrays) in place, with the
        bits of run frame by frame, for a caller that has checked isBypassed
        once for its block. Which stages pass through is settled by the
        setters, so it is asked once here. */
    void run (float* left, float* right, int n) noexcept;

    float getListener() const noexcept { return listener; }
    const xPreDelay& getPreDelay() const noexcept { return preDelay; }
    const xEarlyReflection& getEarlyReflection() const noexcept { return early; }
    const xLateReflection& getLateReflection() const noexcept { return late; }
    const xShelf& getShelfLeft() const noexcept { return shelfLeft; }
    const xShelf& getShelfRight() const noexcept { return shelfRight; }

private:
    void initFixedSettings() noexcept;

    struct StagesOn
    {
        bool preDelay, early, late;
    };

    StagesOn stagesOn() const noexcept { return { ! preDelay.isOff(), ! early.isOff(), ! late.isOff() }; }

    void run (float* frame, StagesOn on) noexcept
    {
        if (on.preDelay)
            preDelay.run (frame);
        // From here on the frame is held in two lanes, left in lane 0.
        xLanes2 x { frame[0], frame[1] };
        if (on.early)
            x = early.run (x);
        const xLanes2 earlyOut = x;
        if (on.late)
            x = late.run (x);

        const xLanes2 mixed = earlyWeight * earlyOut + lateWeight * x;
        const xLanes2 y = shelves.run (mixed);
        frame[0] = y.left();
        frame[1] = y.right();
    }

    void runFrame (float* left, float* right, StagesOn on) noexcept
    {
        float frame[2] = { *left, *right };
        run (frame, on);
        *left = frame[0];
        *right = frame[1];
    }

    enum class PreDelayStep
    {
        off,   // the pre-delay passes frames through
        frame, // its glide moves the delays at every frame
        span   // settled: its lines go in stretches too
    };

    /** m frames with both fields running, their lines stepped through
        spans; the same steps as run frame by frame. */
    void runSpans (float* left, float* right, int m, PreDelayStep pre) noexcept
    {
        const xPreDelay::Spans preDelaySpans = pre == PreDelayStep::span ? preDelay.spans() : xPreDelay::Spans {};
        const xEarlyReflection::Spans earlySpans = early.spans();
        const xLateReflection::Spans lateSpans = late.spans();
        xDiffuserLanes<xEarlyDiff>& earlyDiffusers = early.diffuserLanes();
        xDiffuserLanes<xLateDiff>& lateDiffusers = late.diffuserLanes();
        const auto input = [&] (int i)
        {
            float frame[2] = { left[i], right[i] };
            if (pre == PreDelayStep::span)
                preDelay.run (preDelaySpans, i, frame);
            else if (pre == PreDelayStep::frame)
                preDelay.run (frame);
            return xLanes2 { frame[0], frame[1] };
        };
        const auto output = [&] (int i, xLanes2 earlyOut, xLanes2 lateOut)
        {
            const xLanes2 y = shelves.run (earlyWeight * earlyOut + lateWeight * lateOut);
            left[i] = y.left();
            right[i] = y.right();
        };

        // Nothing the late field or the output computes feeds the early
        // field, so frame i + 1's early step is taken before frame i's late
        // step: the processor then works on both paths side by side instead
        // of waiting for one frame's whole path before the next begins.
        // Every stage still sees its frames in order. Both fields' last loop
        // shelves take their lines' outputs, which do not wait for the
        // frame, and feed only the next frame: in between they run side by
        // side in the four lanes of one register (the early field's for
        // frame i + 1, the late field's for frame i), and on the fields' own
        // two lanes for the first frame's early step and the last frame's
        // late step.
        xLanes2 loopInput;
        xLanes2 earlyOut = early.run (earlySpans, 0, input (0), loopInput);
        earlyDiffusers.setLastLoopFeedback (earlyDiffusers.lastLoopShelves().run (loopInput));
        xShelfLanes4 lastLoops = xShelfLanes4::join (earlyDiffusers.lastLoopShelves(), lateDiffusers.lastLoopShelves());
        for (int i = 0; i + 1 < m; ++i)
        {
            xLanes2 earlyLoop, lateLoop;
            const xLanes2 nextEarlyOut = early.run (earlySpans, i + 1, input (i + 1), earlyLoop);
            const xLanes2 lateOut = late.run (lateSpans, i, earlyOut, lateLoop);
            const xLanes4 loopFeedbacks = lastLoops.run ({ earlyLoop, lateLoop });
            earlyDiffusers.setLastLoopFeedback (loopFeedbacks.low());
            lateDiffusers.setLastLoopFeedback (loopFeedbacks.high());
            output (i, earlyOut, lateOut);
            earlyOut = nextEarlyOut;
        }
        lastLoops.split (earlyDiffusers.lastLoopShelves(), lateDiffusers.lastLoopShelves());
        const xLanes2 lateOut = late.run (lateSpans, m - 1, earlyOut, loopInput);
        lateDiffusers.setLastLoopFeedback (lateDiffusers.lastLoopShelves().run (loopInput));
        output (m - 1, earlyOut, lateOut);

        if (pre == PreDelayStep::span)
            preDelay.skip (m);
        early.skip (m);
        late.skip (m);
    }

    xPreDelay preDelay;
    xEarlyReflection early;
    xLateReflection late;
    xShelf shelfLeft;    // designs the left output shelf
    xShelf shelfRight;   // designs the right output shelf
    xShelfLanes shelves; // runs both with their memory
    float listener = 0.5f;
    // Early weight 1 - L^2 and late weight L (2 - L), worked out when the
    // position is set: the ends hear one field only, the middle both at 0.75.
    float earlyWeight = 0.75f;
    float lateWeight = 0.75f;
};
