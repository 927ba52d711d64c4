// Nanoseconds per sample (per frame for stereo stages) of every engine stage,
// printed as a table. Build in Release; the numbers are for review, not pass
// or fail. Also runs the long stability sweep over every settings corner.

#include "xDelay.h"
#include "xDelay4p.h"
#include "xEarlyDiff.h"
#include "xLateDiff.h"
#include "xNote.h"
#include "xReverb.h"
#include "xShelf.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace
{
constexpr int rate = 44100;            // frames per second
constexpr int benchSamples = 4 * rate; // samples timed per stage
volatile float sink = 0.0f;

struct Lcg
{
    uint32_t state = 12345u;
    float next()
    {
        state = state * 1664525u + 1013904223u;
        return (float) (state >> 8) * (2.0f / 16777216.0f) - 1.0f;
    }
};

constexpr int repetitions = 5; // the fastest run is reported

template <class Body>
double nsPer (int count, Body&& body)
{
    double best = 1e300;
    for (int r = 0; r < repetitions; ++r)
    {
        const auto start = std::chrono::steady_clock::now();
        body();
        const auto end = std::chrono::steady_clock::now();
        best = std::fmin (best, std::chrono::duration<double, std::nano> (end - start).count() / count);
    }
    return best;
}

template <class Stage>
double monoStage (Stage& s)
{
    Lcg noise;
    return nsPer (benchSamples,
                  [&]
                  {
                      float acc = 0.0f;
                      for (int i = 0; i < benchSamples; ++i)
                          acc += s.processSample (noise.next() * 0.5f);
                      sink = acc;
                  });
}

/** ns per stereo frame of a stage that takes a frame in place. */
template <class Stage>
double stereoStage (Stage& s)
{
    Lcg noise;
    return nsPer (benchSamples,
                  [&]
                  {
                      float acc = 0.0f;
                      for (int i = 0; i < benchSamples; ++i)
                      {
                          float frame[2] = { noise.next() * 0.5f, noise.next() * 0.5f };
                          s.processFrame (frame, 2);
                          acc += frame[0] + frame[1];
                      }
                      sink = acc;
                  });
}

template <class Stage>
void engineShelves (Stage& s)
{
    s.setHighShelfFrequency (noteToFrequency (97.0f));
    s.initHighShelfGain();
    s.setLowShelfFrequency (noteToFrequency (36.0f));
    s.initLowShelfGain();
}

void applyCorner (xReverb& r, int corner)
{
    const float p[4] = { (float) (corner & 1), (float) ((corner >> 1) & 1), (float) ((corner >> 2) & 1),
                         (float) ((corner >> 3) & 1) };
    r.setEarlySize (60.0f - 72.0f * p[0]);
    r.setLateSize (48.0f - 72.0f * p[1]);
    r.setDiffusion (p[2]);
    r.setDecay (60.0f);
    r.setListener (p[3]);
}

// 120 s of noise, then 120 s of silence, at the longest decay.
bool stabilityCorner (int corner, float& peak, float& lastSecond)
{
    xReverb r;
    applyCorner (r, corner);
    Lcg noise;
    peak = 0.0f;
    lastSecond = 0.0f;
    bool ok = true;
    for (int n = 0; n < 240 * rate; ++n)
    {
        const bool loud = n < 120 * rate;
        float frame[2] = { loud ? noise.next() : 0.0f, loud ? noise.next() : 0.0f };
        r.processFrame (frame, 2);
        for (float v : frame)
        {
            if (! std::isfinite (v) || (v != 0.0f && std::fpclassify (v) != FP_NORMAL))
                ok = false;
            peak = std::fmax (peak, std::fabs (v));
            if (n >= 239 * rate)
                lastSecond = std::fmax (lastSecond, std::fabs (v));
        }
    }
    return ok;
}
}

int main (int argc, char** argv)
{
    std::printf ("%-28s %10s\n", "stage", "ns/sample");

    {
        xDelay d;
        d.setDelayTime (0.01f);
        std::printf ("%-28s %10.2f\n", "xDelay", monoStage (d));
    }
    {
        xDelay4p d;
        d.setDelayTime (0.0101f);
        std::printf ("%-28s %10.2f\n", "xDelay4p", monoStage (d));
    }
    {
        xBiLin1pHS f;
        f.setFrequency (2959.67f);
        f.setGain (-2.0f);
        std::printf ("%-28s %10.2f\n", "xBiLin1pHS", monoStage (f));
    }
    {
        xBiLin1pLS f;
        f.setFrequency (233.09f);
        f.setGain (-5.5f);
        std::printf ("%-28s %10.2f\n", "xBiLin1pLS", monoStage (f));
    }
    {
        xShelf s;
        s.setHighShelfFrequency (noteToFrequency (97.0f));
        s.setHighShelfGain (-1.2f);
        s.setLowShelfFrequency (noteToFrequency (36.0f));
        s.setLowShelfGain (-0.7f);
        std::printf ("%-28s %10.2f\n", "xShelf", monoStage (s));
    }
    {
        xEarlyDiff e;
        engineShelves (e);
        e.setDiffusion (0.5f);
        e.setSize (26.0f);
        std::printf ("%-28s %10.2f\n", "xEarlyDiff (chain)", monoStage (e));
    }
    {
        xLateDiff l;
        engineShelves (l);
        l.setDiffusion (0.5f);
        l.setDecayTime (0.39168f);
        l.setSize (10.5f);
        std::printf ("%-28s %10.2f\n", "xLateDiff (chain)", monoStage (l));
    }
    {
        xEarlyReflection e;
        e.initSpread();
        e.initHighShelfFrequency();
        e.initHighShelfGain();
        e.initLowShelfFrequency();
        e.initLowShelfGain();
        e.setDiffusion (0.5f);
        e.setSize (24.0f);
        std::printf ("%-28s %10.2f  (stereo frame, both chains in two lanes)\n", "xEarlyReflection", stereoStage (e));
    }
    {
        xLateReflection l;
        l.initSpread();
        l.initHighShelfFrequency();
        l.initHighShelfGain();
        l.initLowShelfFrequency();
        l.initLowShelfGain();
        l.initModulationRate();
        l.initModulationDepth();
        l.initDiffusionSpread();
        l.setDiffusion (0.5f);
        l.setDecay (30.0f);
        l.setSize (12.0f);
        std::printf ("%-28s %10.2f  (stereo frame, both chains in two lanes)\n", "xLateReflection", stereoStage (l));
    }
    {
        xReverb r;
        r.setEarlySize (24.0f);
        r.setLateSize (12.0f);
        r.setDiffusion (0.5f);
        r.setDecay (30.0f);
        r.setListener (0.5f);
        const double ns = stereoStage (r);
        std::printf ("%-28s %10.2f  (%.2f%% of one core at 44.1 kHz)\n", "xReverb (stereo frame)", ns, ns * rate / 1e7);
    }

    // The full stability sweep takes a while; ask for it explicitly.
    if (argc > 1 && std::strcmp (argv[1], "--stability") == 0)
    {
        int failures = 0;
        for (int corner = 0; corner < 16; ++corner)
        {
            float peak = 0.0f, lastSecond = 0.0f;
            const bool ok = stabilityCorner (corner, peak, lastSecond);
            failures += ok && lastSecond < peak ? 0 : 1;
            std::printf ("corner %2d  early %d late %d diffusion %d listener %d  peak %.4g  last second %.4g  %s\n",
                         corner, corner & 1, (corner >> 1) & 1, (corner >> 2) & 1, (corner >> 3) & 1, peak, lastSecond,
                         ok ? "ok" : "FAIL");
        }
        return failures == 0 ? 0 : 1;
    }
    return 0;
}
