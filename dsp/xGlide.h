#pragma once

/** Share of its remaining distance that a gliding value moves per frame at
    the given rate in Hz, so that the distance halves every 50 ms. */
inline float glideFactor (float sampleRate) noexcept
{
    constexpr float ln2 = 0.693147f;       // halving per glide time
    constexpr float glideTime = 0.05f;     // seconds
    constexpr float minGlideFrames = 1.0f; // frames
    const float frames = glideTime * sampleRate;
    return ln2 / (frames > minGlideFrames ? frames : minGlideFrames);
}
