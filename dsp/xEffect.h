#pragma once

// Base of every engine stage. A stage processes one mono sample or one stereo
// frame at a time, in place, on the audio thread. Every stage keeps its own
// sample rate, which stays at 44100 Hz: only the engine object is told the
// host's rate, and it passes it to no stage, so delay lengths in samples are
// the same at every host rate.
class xEffect
{
public:
    static constexpr float defaultSampleRate = 44100.0f; // Hz

    xEffect() = default;
    virtual ~xEffect() = default;

    xEffect (const xEffect&) = delete;
    xEffect& operator= (const xEffect&) = delete;

    /** Processes a frame of two floats in place and returns the same pointer.
        numChannels is never read: every stereo stage treats the frame as two
        channels. The base hands the frame back untouched. */
    virtual float* processFrame (float* frame, int numChannels) noexcept
    {
        (void) numChannels;
        return frame;
    }

    /** Processes one mono sample; the base returns it unchanged. */
    virtual float processSample (float x) noexcept { return x; }

    void setBypass (bool on) noexcept { bypass = on; }
    bool isBypassed() const noexcept { return bypass; }

    /** Stores the rate in Hz; nothing is recomputed. */
    void setSampleRate (float hz) noexcept { sampleRate = hz; }
    float getSampleRate() const noexcept { return sampleRate; }

protected:
    bool bypass = false;
    float sampleRate = defaultSampleRate;
};
