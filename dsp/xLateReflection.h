#pragma once

#include "xGlide.h"
#include "xLateDiff.h"
#include "xLateLanes.h"

#include <array>
#include <cmath>

// Stereo late field: two late diffuser chains closed into one figure-eight
// loop, each chain's loop-delay output entering the other channel's input one
// frame later. The left chain runs at size - 1.5 and the right at size + 1.5;
// a slow parabolic oscillator moves all delay times, the right chain's by
// exactly the opposite of the left's. Size 48 exactly switches the stage off:
// frames pass through and every state (chains, feedback, phase, depth glide)
// stays frozen. Audio thread only.
class xLateReflection final : public xEffect
{
public:
    static constexpr float offSize = 48.0f; // note number that switches the stage off
    static constexpr int numOffsets = xLateDiff::numOffsets;

    static constexpr float tapSpacing = 0.125f; // cycles between the four oscillator taps
    static constexpr float maxPhaseStep = 0.5f; // cycles per frame

    xLateReflection() = default;

    float* processFrame (float* frame, int) noexcept override
    {
        if (! isOff())
            run (frame);
        return frame;
    }

    /** One frame through both chains, for an owner that has checked isOff
        once for its block. */
    void run (float* frame) noexcept
    {
        const xLanes2 y = run (xLanes2 { frame[0], frame[1] });
        frame[0] = y.left();
        frame[1] = y.right();
    }

    /** The same frame step on a frame held in two lanes, left in lane 0. */
    xLanes2 run (xLanes2 frame) noexcept
    {
        const bool ahead = steppedAhead;
        steppedAhead = false;
        countedAhead = false;
        if (! ahead)
            beginFrame();
        // Both chains in one step: the chains' own feedbackOut is not kept
        // up to date here, the two members below are.
        const xLanes2 y = lanes.run (left, right, chainsInput (frame), ahead);
        takeCrossFeedback();
        return y;
    }

    /** Stretches of frames on which the lines keep their positions in step
        and no periodic update falls (see xLateLanes::Spans): the owner asks
        spanLength, takes spans, runs that many frames through them and then
        counts them with skip. */
    using Spans = xLateLanes::Spans;
    int spanLength() const noexcept { return xLateLanes::spanLength (left, right, countedAhead); }
    Spans spans() noexcept { return xLateLanes::spans (left, right); }
    void skip (int n) noexcept
    {
        xLateLanes::skip (left, right, n, countedAhead);
        countedAhead = false;
    }

    /** True when the next frame runs a chain's periodic update. */
    bool updateIsDue() const noexcept { return left.updateIsDue() || right.updateIsDue(); }

    /** For an owner that steps frames in stretches, which end before a
        periodic update: runs the first part of the next frame's step (the
        oscillator step and the updates that frame brings) ahead of it, so
        that a stretch can start with that frame. The frame, whichever way
        it runs, then skips that part. */
    void runUpdatesAhead() noexcept
    {
        beginFrame();
        xLateLanes::stepCounters (left, right);
        steppedAhead = true;
        countedAhead = true;
    }

    /** Frame i of a stretch: the same step as run, except for the shelves
        in the last diffusers' loops, which the owner runs on lastLoopInput
        (see xDiffuserLanes::runLeavingLastLoop, and diffuserLanes). */
    xLanes2 run (const Spans& s, int i, xLanes2 frame, xLanes2& lastLoopInput) noexcept
    {
        // No periodic update falls inside a stretch, so the oscillator step
        // is all of the frame's first part here.
        if (steppedAhead)
            steppedAhead = false;
        else
            modulationStep();
        const xLanes2 y = lanes.run (s, i, chainsInput (frame), lastLoopInput);
        takeCrossFeedback();
        return y;
    }
    xDiffuserLanes<xLateDiff>& diffuserLanes() noexcept { return lanes.diffuserLanes(); }

    /** True while bypassed or at size 48 exactly: frames pass through and
        nothing in the stage moves. */
    bool isOff() const noexcept { return bypass || size == offSize; }

    /** Rate in Hz of the oscillator and the depth glide; both follow at once. */
    void setSampleRate (float hz) noexcept
    {
        xEffect::setSampleRate (hz);
        updateSteps();
    }

    /** Late size as a note number; both chains retune at once. */
    void setSize (float note) noexcept;
    /** Diffusion amount, clamped to 0 to 1 by the chains. */
    void setDiffusion (float d) noexcept;
    /** Decay exponent v: decay time 0.001 * 1.2202^v seconds; reaches the
        loop gains at the chains' next periodic update. */
    void setDecay (float v) noexcept;

    /** Size offset between the chains: 1.5 notes; retunes both at once. */
    void initSpread() noexcept;
    /** Diffuser high-shelf corner: note 97, about 2217 Hz. */
    void initHighShelfFrequency() noexcept;
    void initHighShelfGain() noexcept;
    /** Diffuser low-shelf corner: note 36, about 65 Hz. */
    void initLowShelfFrequency() noexcept;
    void initLowShelfGain() noexcept;
    /** Oscillator rate 0.37 Hz, then one modulation step. */
    void initModulationRate() noexcept;
    /** Oscillator depth target 0.39 ms, then one modulation step. */
    void initModulationDepth() noexcept;
    /** Zero coefficient spread on both chains, then the stored diffusion again. */
    void initDiffusionSpread() noexcept;

    float getSize() const noexcept { return size; }
    float getSpread() const noexcept { return spread; }
    float getDiffusion() const noexcept { return diffusion; }
    /** Oscillator phase in cycles, in (-0.5, 0.5]. */
    float getPhase() const noexcept { return phase; }
    /** Depth in seconds actually applied, gliding towards the target. */
    float getSmoothedDepth() const noexcept { return smoothedDepth; }
    float getModulationRate() const noexcept { return modulationRate; }
    float getModulationDepth() const noexcept { return modulationDepth; }
    /** Delay-time offset k (0 to 3) in seconds last given to a chain. */
    float getOffsetLeft (int k) const noexcept { return offsetsStale ? offsetAt (k) : offsetsLeft[(size_t) k]; }
    float getOffsetRight (int k) const noexcept { return offsetsStale ? -offsetAt (k) : offsetsRight[(size_t) k]; }
    float getFeedbackToLeft() const noexcept { return feedbackToLeft; }
    float getFeedbackToRight() const noexcept { return feedbackToRight; }
    const xLateDiff& getLeft() const noexcept { return left; }
    const xLateDiff& getRight() const noexcept { return right; }

private:
    /** The first part of a frame's step: the oscillator moves, and the
        chains get its offsets when one of them updates in this frame. */
    void beginFrame() noexcept
    {
        modulationStep();
        if (updateIsDue())
            pushOffsets();
    }

    /** The chains' input: the frame plus the other chain's loop output of
        the frame before, times its gain. */
    xLanes2 chainsInput (xLanes2 frame) const noexcept { return frame + xLanes2 { feedbackToLeft, feedbackToRight }; }

    /** Takes the loop outputs times gains of the frame just run: each goes
        to the other chain's next input. */
    void takeCrossFeedback() noexcept
    {
        const xLanes2 f = lanes.feedbackOut();
        feedbackToRight = f.left();
        feedbackToLeft = f.right();
    }

    /** Folds a phase in (-0.5, 1] back into (-0.5, 0.5]. */
    static float wrapPhase (float p) noexcept { return p > 0.5f ? p - 1.0f : p; }

    /** Two parabolas through 0, +1, 0, -1: sin (2 pi p) without a sine. */
    static float parabolicSine (float p) noexcept { return (8.0f - 16.0f * std::fabs (p)) * p; }

    /** The oscillator moves every frame, but the chains read its offsets
        only at their periodic updates and when they are retuned: the
        offsets are worked out from the phase and depth of the last step
        when one of those comes (pushOffsets), not at every step. */
    void modulationStep() noexcept
    {
        smoothedDepth = (modulationDepth - smoothedDepth) * depthGlide + smoothedDepth;
        phase = wrapPhase (phase + phaseIncrement);
        offsetsStale = true;
    }

    /** Offset k of the left chain for the phase and depth of the last step. */
    float offsetAt (int k) const noexcept
    {
        const float p = wrapPhase (phase + (float) (k + 1) * tapSpacing);
        return parabolicSine (p) * smoothedDepth;
    }

    /** Hands both chains the offsets of the last modulation step. */
    void pushOffsets() noexcept
    {
        if (! offsetsStale)
            return;
        offsetsStale = false;
        for (int k = 0; k < numOffsets; ++k)
        {
            offsetsLeft[(size_t) k] = offsetAt (k);
            offsetsRight[(size_t) k] = -offsetsLeft[(size_t) k];
        }
        for (int k = 0; k < numOffsets; ++k)
            left.setModulationOffset (k, offsetsLeft[(size_t) k]);
        for (int k = 0; k < numOffsets; ++k)
            right.setModulationOffset (k, offsetsRight[(size_t) k]);
    }

    /** The glide share and the phase step depend on the rates alone. */
    void updateSteps() noexcept
    {
        depthGlide = glideFactor (sampleRate);
        float increment = (1.0f / sampleRate) * modulationRate;
        if (increment < 0.0f)
            increment = 0.0f;
        else if (increment > maxPhaseStep)
            increment = maxPhaseStep;
        phaseIncrement = increment;
    }

    /** Hands the chains' all-pass coefficients and shelf designs to the
        two-lane step; every setter that changes them calls it. */
    void copyCoefficientsToLanes() noexcept { lanes.copyCoefficients (left, right); }

    xLateDiff left;
    xLateDiff right;
    xLateLanes lanes;
    float diffusion = 0.0f;
    float size = 0.0f;                             // note number
    float spread = 0.0f;                           // notes
    float modulationRate = 0.0f;                   // Hz
    float modulationDepth = 0.0f;                  // seconds
    std::array<float, numOffsets> offsetsLeft {};  // seconds
    std::array<float, numOffsets> offsetsRight {}; // seconds
    float smoothedDepth = 0.0f;                    // seconds
    float phase = 0.0f;                            // cycles
    float feedbackToRight = 0.0f;
    float feedbackToLeft = 0.0f;
    float depthGlide = glideFactor (defaultSampleRate); // share per frame
    float phaseIncrement = 0.0f;                        // cycles per frame
    bool offsetsStale = false;                          // a modulation step ran since the last pushOffsets
    bool steppedAhead = false;                          // runUpdatesAhead ran the next frame's first part
    bool countedAhead = false;                          // ... and its update counters, which skip counts
    float decayExponent = notAValue;                    // exponent the decay time belongs to
    float decayTime = 0.0f;                             // seconds
};
