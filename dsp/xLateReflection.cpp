#include "xLateReflection.h"
#include "xNote.h"
#include "xGlide.h"

#include <cmath>

namespace
{
constexpr double minDecayTime = 0.001; // seconds, at decay exponent 0
constexpr float tapSpacing = 0.125f;   // cycles between the four oscillator taps
constexpr float maxPhaseStep = 0.5f;   // cycles per frame

/** Folds a phase in (-0.5, 1] back into (-0.5, 0.5]. */
float wrapPhase (float p) noexcept
{
    return p > 0.5f ? p - 1.0f : p;
}

/** Two parabolas through 0, +1, 0, -1: sin (2 pi p) without a sine. */
float parabolicSine (float p) noexcept
{
    return (8.0f - 16.0f * std::fabs (p)) * p;
}
}

xLateReflection::xLateReflection()
    : left (std::make_unique<xLateDiff>()),
      right (std::make_unique<xLateDiff>())
{
}

xLateReflection::~xLateReflection()
{
    left.reset();
    right.reset();
}

float* xLateReflection::processFrame (float* frame, int) noexcept
{
    if (bypass || size == offSize)
        return frame;

    modulationStep();
    frame[0] = left->processSample (frame[0] + feedbackToLeft);
    frame[1] = right->processSample (frame[1] + feedbackToRight);
    feedbackToRight = left->feedbackOut();
    feedbackToLeft = right->feedbackOut();
    return frame;
}

void xLateReflection::modulationStep() noexcept
{
    smoothedDepth = (modulationDepth - smoothedDepth) * glideFactor (sampleRate) + smoothedDepth;

    float increment = (1.0f / sampleRate) * modulationRate;
    if (increment < 0.0f)
        increment = 0.0f;
    else if (increment > maxPhaseStep)
        increment = maxPhaseStep;
    phase = wrapPhase (phase + increment);

    for (int k = 0; k < numOffsets; ++k)
    {
        const float p = wrapPhase (phase + (float) (k + 1) * tapSpacing);
        offsetsLeft[(size_t) k] = parabolicSine (p) * smoothedDepth;
        offsetsRight[(size_t) k] = -offsetsLeft[(size_t) k];
    }
    for (int k = 0; k < numOffsets; ++k)
        left->setModulationOffset (k, offsetsLeft[(size_t) k]);
    for (int k = 0; k < numOffsets; ++k)
        right->setModulationOffset (k, offsetsRight[(size_t) k]);
}

void xLateReflection::setSize (float note) noexcept
{
    size = note;
    left->setSize (note - spread);
    right->setSize (note + spread);
}

void xLateReflection::setDiffusion (float d) noexcept
{
    diffusion = d;
    left->setDiffusion (d);
    right->setDiffusion (d);
}

void xLateReflection::setDecay (float v) noexcept
{
    const auto t = (float) (minDecayTime * (double) decayPower (v));
    left->setDecayTime (t);
    right->setDecayTime (t);
}

void xLateReflection::initSpread() noexcept
{
    spread = 1.5f;
    left->setSize (size - spread);
    right->setSize (size + spread);
}

void xLateReflection::initHighShelfFrequency() noexcept
{
    const float f = noteToFrequency (97.0f);
    left->setHighShelfFrequency (f);
    right->setHighShelfFrequency (f);
}

void xLateReflection::initHighShelfGain() noexcept
{
    left->initHighShelfGain();
    right->initHighShelfGain();
}

void xLateReflection::initLowShelfFrequency() noexcept
{
    const float f = noteToFrequency (36.0f);
    left->setLowShelfFrequency (f);
    right->setLowShelfFrequency (f);
}

void xLateReflection::initLowShelfGain() noexcept
{
    left->initLowShelfGain();
    right->initLowShelfGain();
}

void xLateReflection::initModulationRate() noexcept
{
    modulationRate = 0.37f;
    modulationStep();
}

void xLateReflection::initModulationDepth() noexcept
{
    modulationDepth = 0.00039f;
    modulationStep();
}

void xLateReflection::initDiffusionSpread() noexcept
{
    left->setDiffusionSpread (0.0f);
    right->setDiffusionSpread (0.0f);
    left->setDiffusion (diffusion);
    right->setDiffusion (diffusion);
}
