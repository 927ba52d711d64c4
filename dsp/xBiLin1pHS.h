#pragma once

#include "xBiLin1p.h"

// First-order high shelf: gain 1 at 0 Hz, the set gain at half the sample
// rate, with the set frequency near the half-gain point. Outputs 0 until it
// is given a frequency or a gain.
class xBiLin1pHS : public xBiLin1p
{
public:
    static constexpr double inputOffset = 1e-12; // keeps silence out of denormals

    xBiLin1pHS() = default;

    float processSample (float x) noexcept override { return run (x); }

    /** The same step, called directly by the owners. */
    float run (float x) noexcept { return step ((float) ((double) x + inputOffset)); }

private:
    void design() noexcept override;
};
