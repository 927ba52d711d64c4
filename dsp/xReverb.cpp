#include "xReverb.h"
#include "xNote.h"

xReverb::xReverb()
    : preDelay (std::make_unique<xPreDelay>()),
      early (std::make_unique<xEarlyReflection>()),
      late (std::make_unique<xLateReflection>()),
      shelfLeft (std::make_unique<xShelf>()),
      shelfRight (std::make_unique<xShelf>())
{
    bypass = false;
    listener = 0.5f;
    initFixedSettings();
}

xReverb::~xReverb()
{
    preDelay.reset();
    early.reset();
    late.reset();
    shelfLeft.reset();
    shelfRight.reset();
}

void xReverb::initFixedSettings() noexcept
{
    // The order matters: the late stage's spread retunes its chains, each
    // modulation init runs one oscillator step, and the diffusion spread is
    // zeroed before the stored diffusion is applied again.
    preDelay->initTime();
    preDelay->initSpread();
    early->initSpread();
    late->initSpread();
    early->initHighShelfFrequency();
    late->initHighShelfFrequency();
    early->initHighShelfGain();
    late->initHighShelfGain();
    early->initLowShelfFrequency();
    late->initLowShelfFrequency();
    early->initLowShelfGain();
    late->initLowShelfGain();
    late->initModulationRate();
    late->initModulationDepth();
    late->initDiffusionSpread();
    early->initDiffusionSpread();

    // Output tone: 2 dB less at the top above about 3 kHz, 5.5 dB less at
    // the bottom below about 230 Hz.
    const float highCorner = noteToFrequency (102.0f);
    shelfLeft->setHighShelfFrequency (highCorner);
    shelfRight->setHighShelfFrequency (highCorner);
    shelfLeft->setHighShelfGain (-2.0f);
    shelfRight->setHighShelfGain (-2.0f);
    const float lowCorner = noteToFrequency (58.0f);
    shelfLeft->setLowShelfFrequency (lowCorner);
    shelfRight->setLowShelfFrequency (lowCorner);
    shelfLeft->setLowShelfGain (-5.5f);
    shelfRight->setLowShelfGain (-5.5f);
}

void xReverb::setEarlySize (float note) noexcept { early->setSize (note); }
void xReverb::setLateSize (float note) noexcept { late->setSize (note); }

void xReverb::setDiffusion (float d) noexcept
{
    early->setDiffusion (d);
    late->setDiffusion (d);
}

void xReverb::setDecay (float v) noexcept { late->setDecay (v); }
void xReverb::setListener (float position) noexcept { listener = position; }

float* xReverb::processFrame (float* frame, int) noexcept
{
    if (bypass)
        return frame;

    preDelay->processFrame (frame, stageChannels);
    early->processFrame (frame, stageChannels);
    const float earlyLeft = frame[0];
    const float earlyRight = frame[1];
    late->processFrame (frame, stageChannels);

    // Early weight 1 - L^2 and late weight L (2 - L): the ends hear one field
    // only, the middle both at 0.75.
    const float a = 1.0f - listener;
    const float earlyWeight = (2.0f - a) * a;
    const float lateWeight = (2.0f - listener) * listener;
    const float left = earlyWeight * earlyLeft + lateWeight * frame[0];
    const float right = earlyWeight * earlyRight + lateWeight * frame[1];

    frame[0] = shelfLeft->processSample (left);
    frame[1] = shelfRight->processSample (right);
    return frame;
}
