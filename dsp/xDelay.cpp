#include "xDelay.h"

xDelay::xDelay()
    : buffer (std::make_unique<float[]> ((size_t) bufferLength))
{
}

xDelay::~xDelay() = default;

int xDelay::getDelaySamples() const noexcept
{
    // Clamped while still a float: converting NaN, infinity or anything past
    // the int range would be undefined. For every finite delay inside the
    // buffer this equals truncating first and clamping afterwards.
    const float t = sampleRate * delayTime;
    if (! (t > 0.0f))
        return 0;
    if (t >= (float) maxDelay)
        return maxDelay;
    return (int) t;
}

float xDelay::processSample (float x) noexcept
{
    if (bypass)
        return x;

    if (++writeIndex >= bufferLength)
        writeIndex = 0;

    const int d = getDelaySamples();
    buffer[writeIndex] = x;

    int r = writeIndex - d;
    if (r < 0)
        r += bufferLength;
    return buffer[r];
}
