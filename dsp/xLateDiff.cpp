#include "xLateDiff.h"
#include "xDiffusionSpread.h"
#include "xNote.h"

xLateDiff::xLateDiff()
{
    for (auto& d : diffusers)
        d = std::make_unique<xDiffDelay4p>();
    shelf = std::make_unique<xShelf>();
    loopDelay = std::make_unique<xDelay4p>();
}

xLateDiff::~xLateDiff()
{
    for (auto& d : diffusers)
        d.reset();
    loopDelay.reset();
    shelf.reset();
}

float xLateDiff::processSample (float x) noexcept
{
    if (bypass)
        return x;

    // The first update runs on the 51st call, then on every 51st.
    if (updateCounter < updateInterval - 1)
        ++updateCounter;
    else
    {
        periodicUpdate();
        updateCounter = 0;
    }

    for (auto& d : diffusers)
        x = d->processSample (x);
    const float y = shelf->processSample (x);
    feedback = loopDelay->processSample (y) * loopGain;
    return y;
}

void xLateDiff::setSize (float note) noexcept
{
    size = note;
    periodicUpdate();
}

void xLateDiff::setModulationOffset (int k, float seconds) noexcept
{
    if (k >= 0 && k < numOffsets)
        modulationOffsets[(size_t) k] = seconds;
}

void xLateDiff::periodicUpdate() noexcept
{
    const float s = size;
    const float t1 = noteToPeriod (s + 2.0f * noteStep) + modulationOffsets[1];
    const float t2 = noteToPeriod (s + noteStep) + modulationOffsets[2];
    const float t3 = noteToPeriod (s) + modulationOffsets[3];
    const float t0 = noteToPeriod (s + 3.0f * noteStep) + modulationOffsets[0];

    diffusers[0]->setDelayTime (t0);
    diffusers[1]->setDelayTime (t1);
    diffusers[2]->setDelayTime (t2);
    loopDelay->setDelayTime (t3);

    loopTime = noteToPeriod (s);
    updateLoopGain();
}

void xLateDiff::updateLoopGain() noexcept
{
    // A decay time of 0 gives minus infinity here, which the floor turns into
    // a practically open loop; NaN takes the floor too instead of poisoning
    // the loop. A negative decay time would make the gain exceed 1 and the
    // loop grow without bound, so the exponent never rises above 0.
    float v = (loopTime / decayTime) * -1.0f;
    v = (float) ((double) v * decaySteps);
    if (! (v >= minLoopExponent))
        v = minLoopExponent;
    else if (v > maxLoopExponent)
        v = maxLoopExponent;
    loopGain = decayPower (v);
}

void xLateDiff::setDiffusion (float d) noexcept
{
    for (int k = 0; k < numDiffusers; ++k)
        diffusers[(size_t) k]->setCoefficient (spreadCoefficient (k, d, diffusionSpread));
}

void xLateDiff::setHighShelfFrequency (float hz) noexcept
{
    for (auto& d : diffusers)
        d->setHighShelfFrequency (hz);
    shelf->setHighShelfFrequency (hz);
}

void xLateDiff::initHighShelfGain() noexcept
{
    for (auto& d : diffusers)
        d->initHighShelfGain();
    shelf->setHighShelfGain (xDiffDelay4p::highShelfGain);
}

void xLateDiff::setLowShelfFrequency (float hz) noexcept
{
    for (auto& d : diffusers)
        d->setLowShelfFrequency (hz);
    shelf->setLowShelfFrequency (hz);
}

void xLateDiff::initLowShelfGain() noexcept
{
    for (auto& d : diffusers)
        d->initLowShelfGain();
    shelf->setLowShelfGain (xDiffDelay4p::lowShelfGain);
}
