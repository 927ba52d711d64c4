#pragma once

#include "xDiffDelay.h"
#include "xNote.h"

#include <array>

// Mono early-field chain: three whole-sample all-pass diffusers in series,
// four semitones apart (shortest delay first), followed by a shelf pair. A
// larger size note means shorter delays. Audio thread only.
class xEarlyDiff final : public xEffect
{
public:
    static constexpr int numDiffusers = 3;
    static constexpr float noteStep = 4.0f; // semitones between diffusers

    xEarlyDiff() = default;

    float processSample (float x) noexcept override { return bypass ? x : run (x); }

    /** The chain step for an owner that never bypasses the chain. */
    float run (float x) noexcept
    {
        for (auto& d : diffusers)
            x = d.run (x);
        return shelf.run (x);
    }

    /** Size as a note number; the delays follow at once: the periods of
        size + 8, size + 4 and size, in processing order. */
    void setSize (float note) noexcept;
    /** Diffusion amount; sets the three coefficients (clamped to 0 to 1). */
    void setDiffusion (float d) noexcept;
    /** Coefficient spread; used from the next setDiffusion on. */
    void setDiffusionSpread (float m) noexcept { diffusionSpread = m; }

    void setHighShelfFrequency (float hz) noexcept;
    void initHighShelfGain() noexcept;
    void setLowShelfFrequency (float hz) noexcept;
    void initLowShelfGain() noexcept;

    float getSize() const noexcept { return size; }
    const xDiffDelay& getDiffuser (int k) const noexcept { return diffusers[(size_t) k]; }
    const xShelf& getShelf() const noexcept { return shelf; }

private:
    friend class xEarlyLanes; // steps two chains at once on their lines

    std::array<xDiffDelay, numDiffusers> diffusers;
    xShelf shelf;
    float size = 0.0f;           // note number
    float tunedSize = notAValue; // size the delay times were set for
    float diffusionSpread = 0.0f;
};
