#pragma once

#include "xDiffDelay4p.h"
#include "xNote.h"

#include <array>

// Mono late-field chain: three interpolated all-pass diffusers three
// semitones apart (shortest first), a shelf pair and a loop delay at the
// period of the size note. The chain's output is its shelf output; the loop
// delay's output times the loop gain is offered as feedbackOut, which the
// late stage adds to the other channel's next input to close the loop.
// Decay time and modulation offsets reach the delays and the loop gain only
// at the periodic update, every 51 samples, so the power function stays off
// the per-sample path. Audio thread only.
class xLateDiff final : public xEffect
{
public:
    static constexpr int numDiffusers = 3;
    static constexpr int numOffsets = numDiffusers + 1; // three diffusers, then the loop delay
    static constexpr int updateInterval = 51;           // samples between periodic updates
    static constexpr float noteStep = 3.0f;             // semitones between delays
    static constexpr double decaySteps = 60.0;          // decay-power steps over one decay time
    static constexpr float minLoopExponent = -144.0f;   // floor of the loop-gain exponent
    static constexpr float maxLoopExponent = 0.0f;      // loop gain never above 1

    xLateDiff() = default;

    float processSample (float x) noexcept override { return bypass ? x : run (x); }

    /** The chain step for an owner that never bypasses the chain. */
    float run (float x) noexcept
    {
        stepUpdateCounter();

        for (auto& d : diffusers)
            x = d.run (x);
        const float y = shelf.run (x);
        feedback = loopDelay.run (y) * loopGain;
        return y;
    }

    /** Size as a note number; runs the periodic update at once. */
    void setSize (float note) noexcept;
    /** Decay time in seconds; reaches the loop gain at the next update. */
    void setDecayTime (float seconds) noexcept { decayTime = seconds; }
    /** Offset in seconds of delay k (0 to 2 diffusers, 3 loop delay); applied
        at the next update. Other k are ignored. */
    void setModulationOffset (int k, float seconds) noexcept
    {
        if (k >= 0 && k < numOffsets)
            modulationOffsets[(size_t) k] = seconds;
    }
    void setDiffusion (float d) noexcept;
    void setDiffusionSpread (float m) noexcept { diffusionSpread = m; }

    void setHighShelfFrequency (float hz) noexcept;
    void initHighShelfGain() noexcept;
    void setLowShelfFrequency (float hz) noexcept;
    void initLowShelfGain() noexcept;

    /** True when the next sample runs the periodic update. */
    bool updateIsDue() const noexcept { return updateCounter >= updateInterval - 1; }

    /** Loop-delay output of the last call times the loop gain. */
    float feedbackOut() const noexcept { return feedback; }

    float getSize() const noexcept { return size; }
    float getLoopGain() const noexcept { return loopGain; }
    float getLoopTime() const noexcept { return loopTime; }
    float getDecayTime() const noexcept { return decayTime; }
    float getModulationOffset (int k) const noexcept { return modulationOffsets[(size_t) k]; }
    int getUpdateCounter() const noexcept { return updateCounter; }
    const xDiffDelay4p& getDiffuser (int k) const noexcept { return diffusers[(size_t) k]; }
    const xDelay4p& getLoopDelay() const noexcept { return loopDelay; }
    const xShelf& getShelf() const noexcept { return shelf; }

private:
    friend class xLateLanes; // steps two chains at once on their lines

    /** Counts the call; every 51st runs the periodic update. */
    void stepUpdateCounter() noexcept
    {
        // The first update runs on the 51st call, then on every 51st.
        if (updateCounter < updateInterval - 1)
            ++updateCounter;
        else
        {
            periodicUpdate();
            updateCounter = 0;
        }
    }

    void periodicUpdate() noexcept;
    void updateLoopGain() noexcept;

    std::array<xDiffDelay4p, numDiffusers> diffusers;
    xShelf shelf;
    xDelay4p loopDelay;
    float feedback = 0.0f;
    float size = 0.0f; // note number
    float loopGain = 0.0f;
    float loopTime = 0.0f;                              // seconds
    float decayTime = 0.0f;                             // seconds
    std::array<float, numOffsets> modulationOffsets {}; // seconds
    std::array<float, numOffsets> periods {};           // seconds, for periodsSize
    float periodsSize = notAValue;                      // size the periods belong to
    float loopExponent = notAValue;                     // exponent loopGain belongs to
    float diffusionSpread = 0.0f;
    int updateCounter = 0;
    // A line passes through only at a delay time of 0 exactly, and the
    // delay times change only at the periodic update: it notes here whether
    // any of the four does, so the two-lane step asks once per frame.
    bool someLinePassesThrough = false;
};
