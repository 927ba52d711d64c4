#include "xReverb.h"

xReverb::xReverb()
{
    bypass = false;
    listener = 0.5f;
}

xReverb::~xReverb() = default;

void xReverb::setEarlySize (float note) noexcept { earlySize = note; }
void xReverb::setLateSize (float note) noexcept { lateSize = note; }
void xReverb::setDiffusion (float d) noexcept { diffusion = d; }
void xReverb::setDecay (float v) noexcept { decay = v; }
void xReverb::setListener (float position) noexcept { listener = position; }

float* xReverb::processFrame (float* frame, int) noexcept
{
    return frame;
}
