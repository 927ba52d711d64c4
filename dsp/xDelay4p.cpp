#include "xDelay4p.h"
#include "xHermite4.h"

xDelay4p::xDelay4p()
    : buffer (std::make_unique<float[]> ((size_t) bufferLength))
{
}

xDelay4p::~xDelay4p() = default;

float xDelay4p::getDelaySamples() const noexcept
{
    // NaN fails both comparisons and would reach the int conversion below, so
    // it reads as no delay.
    const float t = sampleRate * delayTime;
    if (! (t >= 0.0f))
        return 0.0f;
    if (t >= maxDelay)
        return maxDelay;
    return t;
}

float xDelay4p::tap (int k) const noexcept
{
    // k runs from -1 (one slot ahead of the write position, used only below
    // 1.5 samples of delay) to bufferLength, so one wrap either way suffices.
    int i = writeIndex - k;
    if (i < 0)
        i += bufferLength;
    else if (i >= bufferLength)
        i -= bufferLength;
    return buffer[i];
}

float xDelay4p::processSample (float x) noexcept
{
    if (bypass || delayTime == 0.0f)
        return x;

    if (++writeIndex >= bufferLength)
        writeIndex = 0;

    const float t = getDelaySamples();
    const int n = (int) (t - tapCentre);
    fraction = t - (float) n;

    const float y = hermite4 (fraction, tap (n - 1), tap (n), tap (n + 1), tap (n + 2));
    buffer[writeIndex] = x;
    return y;
}
