#pragma once

#include "xDelay.h"

#include <memory>

// Stereo pre-delay: two whole-sample delay lines whose times come from one
// base time and a left/right spread and glide towards their targets, halving
// the distance every 50 ms, instead of jumping. The glide starts from 0 at
// construction and is never reset. Audio thread only.
class xPreDelay : public xEffect
{
public:
    xPreDelay();
    ~xPreDelay() override;

    /** Base delay time: 0.006 s. */
    void initTime() noexcept;
    /** Left/right split: left gets (1 - spread) and right (1 + spread) times the base. */
    void initSpread() noexcept;

    float* processFrame (float* frame, int numChannels) noexcept override;
    /** Mono use: the left line only. */
    float processSample (float x) noexcept override;

    float getTime() const noexcept { return time; }
    float getSpread() const noexcept { return spread; }
    float getGlideLeft() const noexcept { return glideLeft; }
    float getGlideRight() const noexcept { return glideRight; }
    const xDelay& getLeftLine() const noexcept { return *left; }
    const xDelay& getRightLine() const noexcept { return *right; }

private:
    bool isOff() const noexcept { return bypass || time == 0.0f; }
    void glide() noexcept;

    std::unique_ptr<xDelay> left;
    std::unique_ptr<xDelay> right;
    float time = 0.0f;        // seconds
    float spread = 0.0f;
    float glideLeft = 0.0f;   // seconds
    float glideRight = 0.0f;  // seconds
};
