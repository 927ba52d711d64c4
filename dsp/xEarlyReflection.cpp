#include "xEarlyReflection.h"
#include "xNote.h"

void xEarlyReflection::setSize (float note) noexcept
{
    size = note;
    left.setSize (note - spread);
    right.setSize (note + spread);
}

void xEarlyReflection::setDiffusion (float d) noexcept
{
    diffusion = d;
    left.setDiffusion (d);
    right.setDiffusion (d);
    copyCoefficientsToLanes();
}

void xEarlyReflection::initSpread() noexcept { spread = -2.0f; }

void xEarlyReflection::initHighShelfFrequency() noexcept
{
    const float f = noteToFrequency (97.0f);
    left.setHighShelfFrequency (f);
    right.setHighShelfFrequency (f);
    copyCoefficientsToLanes();
}

void xEarlyReflection::initHighShelfGain() noexcept
{
    left.initHighShelfGain();
    right.initHighShelfGain();
    copyCoefficientsToLanes();
}

void xEarlyReflection::initLowShelfFrequency() noexcept
{
    const float f = noteToFrequency (36.0f);
    left.setLowShelfFrequency (f);
    right.setLowShelfFrequency (f);
    copyCoefficientsToLanes();
}

void xEarlyReflection::initLowShelfGain() noexcept
{
    left.initLowShelfGain();
    right.initLowShelfGain();
    copyCoefficientsToLanes();
}

void xEarlyReflection::initDiffusionSpread() noexcept
{
    left.setDiffusionSpread (0.0f);
    right.setDiffusionSpread (0.0f);
    left.setDiffusion (diffusion);
    right.setDiffusion (diffusion);
    copyCoefficientsToLanes();
}
