#include "xLateDiff.h"
#include "xDiffusionSpread.h"
#include "xNote.h"

void xLateDiff::setSize (float note) noexcept
{
    size = note;
    periodicUpdate();
}

void xLateDiff::periodicUpdate() noexcept
{
    // The four periods depend on the size alone and are worked out again
    // only when it changes; the offsets move them at every update.
    const float s = size;
    if (! sameBits (s, periodsSize))
    {
        periodsSize = s;
        periods[1] = noteToPeriod (s + 2.0f * noteStep);
        periods[2] = noteToPeriod (s + noteStep);
        periods[3] = noteToPeriod (s);
        periods[0] = noteToPeriod (s + 3.0f * noteStep);
    }
    const float t1 = periods[1] + modulationOffsets[1];
    const float t2 = periods[2] + modulationOffsets[2];
    const float t3 = periods[3] + modulationOffsets[3];
    const float t0 = periods[0] + modulationOffsets[0];

    diffusers[0].setDelayTime (t0);
    diffusers[1].setDelayTime (t1);
    diffusers[2].setDelayTime (t2);
    loopDelay.setDelayTime (t3);
    someLinePassesThrough = diffusers[0].getDelay().passesThrough() || diffusers[1].getDelay().passesThrough()
                            || diffusers[2].getDelay().passesThrough() || loopDelay.passesThrough();

    loopTime = periods[3];
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
    if (! sameBits (v, loopExponent))
    {
        loopExponent = v;
        loopGain = decayPower (v);
    }
}

void xLateDiff::setDiffusion (float d) noexcept
{
    for (int k = 0; k < numDiffusers; ++k)
        diffusers[(size_t) k].setCoefficient (spreadCoefficient (k, d, diffusionSpread));
}

void xLateDiff::setHighShelfFrequency (float hz) noexcept
{
    for (auto& d : diffusers)
        d.setHighShelfFrequency (hz);
    shelf.setHighShelfFrequency (hz);
}

void xLateDiff::initHighShelfGain() noexcept
{
    for (auto& d : diffusers)
        d.initHighShelfGain();
    shelf.setHighShelfGain (xDiffDelay4p::highShelfGain);
}

void xLateDiff::setLowShelfFrequency (float hz) noexcept
{
    for (auto& d : diffusers)
        d.setLowShelfFrequency (hz);
    shelf.setLowShelfFrequency (hz);
}

void xLateDiff::initLowShelfGain() noexcept
{
    for (auto& d : diffusers)
        d.initLowShelfGain();
    shelf.setLowShelfGain (xDiffDelay4p::lowShelfGain);
}
