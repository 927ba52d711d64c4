#include "xPreDelay.h"
#include "xGlide.h"

namespace
{
// Added to the stored glide values only, never to what the lines receive,
// so a glide from 0 never sits on a denormal.
constexpr float glideOffset = 1e-13f; // seconds
}

xPreDelay::xPreDelay()
    : left (std::make_unique<xDelay>()),
      right (std::make_unique<xDelay>())
{
}

xPreDelay::~xPreDelay()
{
    left.reset();
    right.reset();
}

void xPreDelay::initTime() noexcept
{
    time = 0.006f;
}

void xPreDelay::initSpread() noexcept
{
    spread = -0.32f;
}

void xPreDelay::glide() noexcept
{
    const float targetLeft = (1.0f - spread) * time;
    const float targetRight = (spread + 1.0f) * time;
    const float k = glideFactor (sampleRate);

    const float gl = (targetLeft - glideLeft) * k + glideLeft;
    glideLeft = gl + glideOffset;
    const float gr = (targetRight - glideRight) * k + glideRight;
    glideRight = gr + glideOffset;

    left->setDelayTime (gl);
    right->setDelayTime (gr);
}

float* xPreDelay::processFrame (float* frame, int) noexcept
{
    if (isOff())
        return frame;

    glide();
    frame[0] = left->processSample (frame[0]);
    frame[1] = right->processSample (frame[1]);
    return frame;
}

float xPreDelay::processSample (float x) noexcept
{
    if (isOff())
        return x;

    glide();
    return left->processSample (x);
}
