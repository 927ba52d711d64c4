#pragma once

#include "xBiLin1pHS.h"
#include "xBiLin1pLS.h"

// A high shelf followed by a low shelf, always in that order. Used on each
// engine output channel and inside every diffuser loop. The bypass flag is
// not consulted. Audio thread only.
class xShelf final : public xEffect
{
public:
    xShelf() = default;

    void setHighShelfFrequency (float hz) noexcept { high.setFrequency (hz); }
    void setHighShelfGain (float dB) noexcept { high.setGain (dB); }
    void setLowShelfFrequency (float hz) noexcept { low.setFrequency (hz); }
    void setLowShelfGain (float dB) noexcept { low.setGain (dB); }

    const xBiLin1pHS& getHighShelf() const noexcept { return high; }
    const xBiLin1pLS& getLowShelf() const noexcept { return low; }

    float processSample (float x) noexcept override { return run (x); }

    /** The same step, called directly by the owners. */
    float run (float x) noexcept { return low.run (high.run (x)); }

private:
    xBiLin1pHS high;
    xBiLin1pLS low;
};
