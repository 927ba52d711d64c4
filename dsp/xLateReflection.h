#pragma once

#include "xLateDiff.h"

#include <array>
#include <memory>

// Stereo late field: two late diffuser chains closed into one figure-eight
// loop, each chain's loop-delay output entering the other channel's input one
// frame later. The left chain runs at size - 1.5 and the right at size + 1.5;
// a slow parabolic oscillator moves all delay times, the right chain's by
// exactly the opposite of the left's. Size 48 exactly switches the stage off:
// frames pass through and every state (chains, feedback, phase, depth glide)
// stays frozen. Audio thread only.
class xLateReflection : public xEffect
{
public:
    static constexpr float offSize = 48.0f;          // note number that switches the stage off
    static constexpr int numOffsets = xLateDiff::numOffsets;

    xLateReflection();
    ~xLateReflection() override;

    float* processFrame (float* frame, int numChannels) noexcept override;

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
    float getOffsetLeft (int k) const noexcept { return offsetsLeft[(size_t) k]; }
    float getOffsetRight (int k) const noexcept { return offsetsRight[(size_t) k]; }
    float getFeedbackToLeft() const noexcept { return feedbackToLeft; }
    float getFeedbackToRight() const noexcept { return feedbackToRight; }
    const xLateDiff& getLeft() const noexcept { return *left; }
    const xLateDiff& getRight() const noexcept { return *right; }

private:
    void modulationStep() noexcept;

    std::unique_ptr<xLateDiff> left;
    std::unique_ptr<xLateDiff> right;
    float diffusion = 0.0f;
    float size = 0.0f;             // note number
    float spread = 0.0f;           // notes
    float modulationRate = 0.0f;   // Hz
    float modulationDepth = 0.0f;  // seconds
    std::array<float, numOffsets> offsetsLeft {};  // seconds
    std::array<float, numOffsets> offsetsRight {}; // seconds
    float smoothedDepth = 0.0f;    // seconds
    float phase = 0.0f;            // cycles
    float feedbackToRight = 0.0f;
    float feedbackToLeft = 0.0f;
};
