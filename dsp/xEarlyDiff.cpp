#include "xEarlyDiff.h"
#include "xDiffusionSpread.h"
#include "xNote.h"

void xEarlyDiff::setSize (float note) noexcept
{
    size = note;
    // The owner retunes at every block, mostly to the same size: the periods
    // are worked out again only when it changes.
    if (sameBits (note, tunedSize))
        return;
    tunedSize = note;
    diffusers[0].setDelayTime (noteToPeriod (size + 2.0f * noteStep));
    diffusers[1].setDelayTime (noteToPeriod (size + noteStep));
    diffusers[2].setDelayTime (noteToPeriod (size));
}

void xEarlyDiff::setDiffusion (float d) noexcept
{
    for (int k = 0; k < numDiffusers; ++k)
        diffusers[(size_t) k].setCoefficient (spreadCoefficient (k, d, diffusionSpread));
}

void xEarlyDiff::setHighShelfFrequency (float hz) noexcept
{
    for (auto& d : diffusers)
        d.setHighShelfFrequency (hz);
    shelf.setHighShelfFrequency (hz);
}

void xEarlyDiff::initHighShelfGain() noexcept
{
    for (auto& d : diffusers)
        d.initHighShelfGain();
    shelf.setHighShelfGain (xDiffDelay::highShelfGain);
}

void xEarlyDiff::setLowShelfFrequency (float hz) noexcept
{
    for (auto& d : diffusers)
        d.setLowShelfFrequency (hz);
    shelf.setLowShelfFrequency (hz);
}

void xEarlyDiff::initLowShelfGain() noexcept
{
    for (auto& d : diffusers)
        d.initLowShelfGain();
    shelf.setLowShelfGain (xDiffDelay::lowShelfGain);
}
