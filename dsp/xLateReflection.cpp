#include "xLateReflection.h"
#include "xNote.h"

namespace
{
constexpr double minDecayTime = 0.001; // seconds, at decay exponent 0
}

void xLateReflection::setSize (float note) noexcept
{
    size = note;
    pushOffsets(); // the chains retune with the offsets of the last step
    left.setSize (note - spread);
    right.setSize (note + spread);
}

void xLateReflection::setDiffusion (float d) noexcept
{
    diffusion = d;
    left.setDiffusion (d);
    right.setDiffusion (d);
    copyCoefficientsToLanes();
}

void xLateReflection::setDecay (float v) noexcept
{
    // Pushed at every block, mostly unchanged: the power is taken again only
    // when the exponent changes.
    if (! sameBits (v, decayExponent))
    {
        decayExponent = v;
        decayTime = (float) (minDecayTime * (double) decayPower (v));
    }
    left.setDecayTime (decayTime);
    right.setDecayTime (decayTime);
}

void xLateReflection::initSpread() noexcept
{
    spread = 1.5f;
    pushOffsets();
    left.setSize (size - spread);
    right.setSize (size + spread);
}

void xLateReflection::initHighShelfFrequency() noexcept
{
    const float f = noteToFrequency (97.0f);
    left.setHighShelfFrequency (f);
    right.setHighShelfFrequency (f);
    copyCoefficientsToLanes();
}

void xLateReflection::initHighShelfGain() noexcept
{
    left.initHighShelfGain();
    right.initHighShelfGain();
    copyCoefficientsToLanes();
}

void xLateReflection::initLowShelfFrequency() noexcept
{
    const float f = noteToFrequency (36.0f);
    left.setLowShelfFrequency (f);
    right.setLowShelfFrequency (f);
    copyCoefficientsToLanes();
}

void xLateReflection::initLowShelfGain() noexcept
{
    left.initLowShelfGain();
    right.initLowShelfGain();
    copyCoefficientsToLanes();
}

void xLateReflection::initModulationRate() noexcept
{
    modulationRate = 0.37f;
    updateSteps();
    modulationStep();
}

void xLateReflection::initModulationDepth() noexcept
{
    modulationDepth = 0.00039f;
    modulationStep();
}

void xLateReflection::initDiffusionSpread() noexcept
{
    left.setDiffusionSpread (0.0f);
    right.setDiffusionSpread (0.0f);
    left.setDiffusion (diffusion);
    right.setDiffusion (diffusion);
    copyCoefficientsToLanes();
}
