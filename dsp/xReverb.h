#pragma once

#include "xEffect.h"

// The reverb engine as the plug-in filter sees it: one object that turns a
// stereo frame into a stereo wet frame in place. The filter calls the setters
// at the start of every block, in the order early size, late size, diffusion,
// decay, listener, bypass, and then processFrame once per frame, all on the
// audio thread. The setters accept any float, allocate nothing and take no
// lock.
class xReverb : public xEffect
{
public:
    xReverb();
    ~xReverb() override;

    /** Early-field size as a note number; 60 exactly switches it off. */
    void setEarlySize (float note) noexcept;
    /** Late-field size as a note number; 48 exactly switches it off. */
    void setLateSize (float note) noexcept;
    /** All-pass coefficient of every diffuser, 0 to 1. */
    void setDiffusion (float d) noexcept;
    /** Decay exponent, 0 to 60: decay time 0.001 * 1.2202^v seconds. */
    void setDecay (float v) noexcept;
    /** Listener position, 0 (early only) to 1 (late only). */
    void setListener (float position) noexcept;

    /** Processes frame[0] and frame[1] in place; numChannels is not read. */
    float* processFrame (float* frame, int numChannels) noexcept override;

private:
    // Until the stages exist the engine only stores its settings and hands
    // every frame back unchanged.
    float earlySize = 0.0f;
    float lateSize = 0.0f;
    float diffusion = 0.0f;
    float decay = 0.0f;
    float listener = 0.5f;
};
