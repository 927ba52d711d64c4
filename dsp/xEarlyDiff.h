#pragma once

#include "xDiffDelay.h"

#include <array>
#include <memory>

// Mono early-field chain: three whole-sample all-pass diffusers in series,
// four semitones apart (shortest delay first), followed by a shelf pair. A
// larger size note means shorter delays. Audio thread only.
class xEarlyDiff : public xEffect
{
public:
    static constexpr int numDiffusers = 3;
    static constexpr float noteStep = 4.0f; // semitones between diffusers

    xEarlyDiff();
    ~xEarlyDiff() override;

    float processSample (float x) noexcept override
    {
        if (bypass)
            return x;

        for (auto& d : diffusers)
            x = d->processSample (x);
        return shelf->processSample (x);
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
    const xDiffDelay& getDiffuser (int k) const noexcept { return *diffusers[(size_t) k]; }
    const xShelf& getShelf() const noexcept { return *shelf; }

private:
    std::array<std::unique_ptr<xDiffDelay>, numDiffusers> diffusers;
    std::unique_ptr<xShelf> shelf;
    float size = 0.0f;            // note number
    float diffusionSpread = 0.0f;
};
