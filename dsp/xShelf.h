#pragma once

#include "xBiLin1pHS.h"
#include "xBiLin1pLS.h"

#include <memory>

// A high shelf followed by a low shelf, always in that order. Used on each
// engine output channel and inside every diffuser loop. The bypass flag is
// not consulted. Audio thread only.
class xShelf : public xEffect
{
public:
    xShelf();
    ~xShelf() override;

    void setHighShelfFrequency (float hz) noexcept { high->setFrequency (hz); }
    void setHighShelfGain (float dB) noexcept { high->setGain (dB); }
    void setLowShelfFrequency (float hz) noexcept { low->setFrequency (hz); }
    void setLowShelfGain (float dB) noexcept { low->setGain (dB); }

    const xBiLin1pHS& getHighShelf() const noexcept { return *high; }
    const xBiLin1pLS& getLowShelf() const noexcept { return *low; }

    float processSample (float x) noexcept override
    {
        return low->processSample (high->processSample (x));
    }

private:
    std::unique_ptr<xBiLin1pHS> high;
    std::unique_ptr<xBiLin1pLS> low;
};
