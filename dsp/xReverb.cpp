#include "xReverb.h"
#include "xNote.h"

xReverb::xReverb()
{
    bypass = false;
    setListener (0.5f);
    initFixedSettings();
}

void xReverb::initFixedSettings() noexcept
{
    // The order matters: the late stage's spread retunes its chains, each
    // modulation init runs one oscillator step, and the diffusion spread is
    // zeroed before the stored diffusion is applied again.
    preDelay.initTime();
    preDelay.initSpread();
    early.initSpread();
    late.initSpread();
    early.initHighShelfFrequency();
    late.initHighShelfFrequency();
    early.initHighShelfGain();
    late.initHighShelfGain();
    early.initLowShelfFrequency();
    late.initLowShelfFrequency();
    early.initLowShelfGain();
    late.initLowShelfGain();
    late.initModulationRate();
    late.initModulationDepth();
    late.initDiffusionSpread();
    early.initDiffusionSpread();

    // Output tone: 2 dB less at the top above about 3 kHz, 5.5 dB less at
    // the bottom below about 230 Hz.
    const float highCorner = noteToFrequency (102.0f);
    shelfLeft.setHighShelfFrequency (highCorner);
    shelfRight.setHighShelfFrequency (highCorner);
    shelfLeft.setHighShelfGain (-2.0f);
    shelfRight.setHighShelfGain (-2.0f);
    const float lowCorner = noteToFrequency (58.0f);
    shelfLeft.setLowShelfFrequency (lowCorner);
    shelfRight.setLowShelfFrequency (lowCorner);
    shelfLeft.setLowShelfGain (-5.5f);
    shelfRight.setLowShelfGain (-5.5f);
    shelves.copyCoefficients (shelfLeft, shelfRight);
}

void xReverb::setEarlySize (float note) noexcept { early.setSize (note); }
void xReverb::setLateSize (float note) noexcept { late.setSize (note); }

void xReverb::setDiffusion (float d) noexcept
{
    early.setDiffusion (d);
    late.setDiffusion (d);
}

void xReverb::setDecay (float v) noexcept { late.setDecay (v); }
void xReverb::setListener (float position) noexcept
{
    listener = position;
    const float a = 1.0f - listener;
    earlyWeight = (2.0f - a) * a;
    lateWeight = (2.0f - listener) * listener;
}
