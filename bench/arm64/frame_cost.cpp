// Runs the reverb (both fields on, a middle decay) over the number of stereo frames
// given (noise, 512-frame blocks) and nothing else, so that the difference
// between two instruction counts of it (bench/arm64/count-instructions.sh)
// is the engine's cost per frame.
#include "xReverb.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main (int argc, char** argv)
{
    const long frames = argc > 1 ? std::atol (argv[1]) : 48000;
    constexpr int block = 512;
    static xReverb reverb;
    reverb.setEarlySize (40.0f);
    reverb.setLateSize (30.0f);
    reverb.setDiffusion (0.7f);
    reverb.setDecay (30.0f);
    reverb.setListener (0.5f);
    std::vector<float> left (block), right (block);
    uint32_t state = 12345u;
    float sum = 0.0f;
    for (long done = 0; done < frames; done += block)
    {
        const int n = (int) std::min<long> (block, frames - done);
        for (int i = 0; i < n; ++i)
        {
            state = state * 1664525u + 1013904223u;
            left[(size_t) i] = (float) (state >> 8) / 16777216.0f - 0.5f;
            right[(size_t) i] = -left[(size_t) i];
        }
        reverb.run (left.data(), right.data(), n);
        sum += left[0] + right[0];
    }
    std::printf ("%g\n", (double) sum);
}
