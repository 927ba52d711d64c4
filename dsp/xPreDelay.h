#pragma once

#include "xDelay.h"
#include "xGlide.h"
#include "xNote.h"

#include <algorithm>

// Stereo pre-delay: two whole-sample delay lines whose times come from one
// base time and a left/right spread and glide towards their targets, halving
// the distance every 50 ms, instead of jumping. The glide starts from 0 at
// construction and is never reset. Audio thread only.
class xPreDelay final : public xEffect
{
public:
    static constexpr float baseTime = 0.006f; // seconds
    static constexpr float baseSpread = -0.32f;
    // The glide never passes its targets, and the longer one, 7.92 ms, is
    // 349.27 samples at the lines' rate of 44100 Hz: the lines need hold no
    // more than that, instead of the 192000 samples of a general line.
    static constexpr int lineLength = 352; // samples
    static_assert ((1.0f - baseSpread) * baseTime * defaultSampleRate < (float) (lineLength - 1));

    xPreDelay() = default;

    /** Base delay time: 0.006 s. */
    void initTime() noexcept;
    /** Left/right split: left gets (1 - spread) and right (1 + spread) times the base. */
    void initSpread() noexcept;

    float* processFrame (float* frame, int) noexcept override
    {
        if (! isOff())
            run (frame);
        return frame;
    }

    /** Mono use: the left line only. */
    float processSample (float x) noexcept override
    {
        if (isOff())
            return x;

        glide();
        return left.run (x);
    }

    /** One frame through both lines, for an owner that has checked isOff
        once for its block. */
    void run (float* frame) noexcept
    {
        glide();
        frame[0] = left.run (frame[0]);
        frame[1] = right.run (frame[1]);
    }

    /** Stretches of frames on which the lines keep their positions in step
        (see xDelay::Span), for an owner that steps many frames at a time:
        only once the glide has settled, since until then every frame moves
        the delays. The owner asks spanLength, takes spans, runs that many
        frames through them and then counts them with skip. */
    struct Spans
    {
        xDelay::Span left, right;
    };
    bool isSettled() const noexcept { return settled; }
    int spanLength() const noexcept { return std::min (left.spanLength(), right.spanLength()); }
    Spans spans() const noexcept { return { left.span(), right.span() }; }
    void run (const Spans& s, int i, float* frame) noexcept
    {
        frame[0] = s.left.run (i, frame[0]);
        frame[1] = s.right.run (i, frame[1]);
    }
    void skip (int n) noexcept
    {
        left.skip (n);
        right.skip (n);
    }

    /** True while bypassed or at a base time of 0 exactly. */
    bool isOff() const noexcept { return bypass || time == 0.0f; }

    /** Rate in Hz of the glide; its share per frame follows at once. */
    void setSampleRate (float hz) noexcept
    {
        xEffect::setSampleRate (hz);
        glideShare = glideFactor (sampleRate);
        settled = false;
    }

    float getTime() const noexcept { return time; }
    float getSpread() const noexcept { return spread; }
    float getGlideLeft() const noexcept { return glideLeft; }
    float getGlideRight() const noexcept { return glideRight; }
    const xDelay& getLeftLine() const noexcept { return left; }
    const xDelay& getRightLine() const noexcept { return right; }

private:
    // Added to the stored glide values only, never to what the lines
    // receive, so a glide from 0 never sits on a denormal.
    static constexpr float glideOffset = 1e-13f; // seconds

    void glide() noexcept
    {
        // A step that leaves both glide values as they were repeats itself
        // for ever after (about half a second after start-up): from then on
        // the lines keep their delays and the step is not run.
        if (settled)
            return;

        const float gl = (targetLeft - glideLeft) * glideShare + glideLeft;
        const float nextLeft = gl + glideOffset;
        const float gr = (targetRight - glideRight) * glideShare + glideRight;
        const float nextRight = gr + glideOffset;
        settled = sameBits (nextLeft, glideLeft) && sameBits (nextRight, glideRight);
        glideLeft = nextLeft;
        glideRight = nextRight;

        left.setDelayTime (gl);
        right.setDelayTime (gr);
    }

    /** The targets depend on the base time and the spread alone. */
    void updateTargets() noexcept
    {
        targetLeft = (1.0f - spread) * time;
        targetRight = (spread + 1.0f) * time;
        settled = false;
    }

    xDelay left { lineLength };
    xDelay right { lineLength };
    float time = 0.0f; // seconds
    float spread = 0.0f;
    float glideLeft = 0.0f;   // seconds
    float glideRight = 0.0f;  // seconds
    float targetLeft = 0.0f;  // seconds
    float targetRight = 0.0f; // seconds
    float glideShare = glideFactor (defaultSampleRate);
    bool settled = false; // the last glide step changed nothing
};
