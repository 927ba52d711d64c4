#pragma once

#include "xEarlyReflection.h"
#include "xLateReflection.h"
#include "xPreDelay.h"
#include "xShelf.h"

#include <memory>

// The reverb engine as the plug-in filter sees it: one object that turns a
// stereo frame into a stereo wet frame in place. A pre-delay, an early field
// and a late field run in series; the early and late outputs are blended by
// the listener position and each channel passes its own fixed output shelf.
// Every stage computes at 44100 Hz whatever the host rate; the host rate is
// stored here and read by nothing. There is no reset: bypass and the off
// sizes freeze state, they never clear it.
//
// The filter calls the setters at the start of every block, in the order
// early size, late size, diffusion, decay, listener, bypass, and then
// processFrame once per frame, all on the audio thread. The setters accept
// any float, allocate nothing and take no lock.
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

    float getListener() const noexcept { return listener; }
    const xPreDelay& getPreDelay() const noexcept { return *preDelay; }
    const xEarlyReflection& getEarlyReflection() const noexcept { return *early; }
    const xLateReflection& getLateReflection() const noexcept { return *late; }
    const xShelf& getShelfLeft() const noexcept { return *shelfLeft; }
    const xShelf& getShelfRight() const noexcept { return *shelfRight; }

private:
    static constexpr int stageChannels = 2; // every stage treats a frame as stereo

    void initFixedSettings() noexcept;

    std::unique_ptr<xPreDelay> preDelay;
    std::unique_ptr<xEarlyReflection> early;
    std::unique_ptr<xLateReflection> late;
    std::unique_ptr<xShelf> shelfLeft;
    std::unique_ptr<xShelf> shelfRight;
    float listener = 0.5f;
};
