#include "xEarlyDiff.h"
#include "xDiffusionSpread.h"
#include "xNote.h"

xEarlyDiff::xEarlyDiff()
{
    for (auto& d : diffusers)
        d = std::make_unique<xDiffDelay>();
    shelf = std::make_unique<xShelf>();
}

xEarlyDiff::~xEarlyDiff()
{
    for (auto& d : diffusers)
        d.reset();
    shelf.reset();
}

void xEarlyDiff::setSize (float note) noexcept
{
    size = note;
    diffusers[0]->setDelayTime (noteToPeriod (size + 2.0f * noteStep));
    diffusers[1]->setDelayTime (noteToPeriod (size + noteStep));
    diffusers[2]->setDelayTime (noteToPeriod (size));
}

void xEarlyDiff::setDiffusion (float d) noexcept
{
    for (int k = 0; k < numDiffusers; ++k)
        diffusers[(size_t) k]->setCoefficient (spreadCoefficient (k, d, diffusionSpread));
}

void xEarlyDiff::setHighShelfFrequency (float hz) noexcept
{
    for (auto& d : diffusers)
        d->setHighShelfFrequency (hz);
    shelf->setHighShelfFrequency (hz);
}

void xEarlyDiff::initHighShelfGain() noexcept
{
    for (auto& d : diffusers)
        d->initHighShelfGain();
    shelf->setHighShelfGain (xDiffDelay::highShelfGain);
}

void xEarlyDiff::setLowShelfFrequency (float hz) noexcept
{
    for (auto& d : diffusers)
        d->setLowShelfFrequency (hz);
    shelf->setLowShelfFrequency (hz);
}

void xEarlyDiff::initLowShelfGain() noexcept
{
    for (auto& d : diffusers)
        d->initLowShelfGain();
    shelf->setLowShelfGain (xDiffDelay::lowShelfGain);
}
