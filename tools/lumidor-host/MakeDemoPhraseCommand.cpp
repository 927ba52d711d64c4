// make-demo-phrase: the dry phrase of the demo, made in code so the demo
// ships no sample files and sounds the same on every machine.
#include "AudioFiles.h"
#include "Commands.h"
#include "OutputCheck.h"

#include <cmath>
#include <cstdio>
#include <iostream>

namespace
{
constexpr double sampleRate = 44100.0;
constexpr double phraseSeconds = 4.5;
constexpr double pi = 3.14159265358979323846;

/** The same pseudo-random numbers on every machine, -1 to 1. */
class Noise
{
public:
    explicit Noise (unsigned start)
        : state (start)
    {
    }
    float next()
    {
        state = state * 1664525u + 1013904223u;
        return (float) (state >> 8) / 8388608.0f - 1.0f;
    }

private:
    unsigned state;
};

/** A plucked string: a noise burst circulating in a delay line one period
    long, averaged (a gentle low-pass) and slightly damped on every pass. */
void addPluck (juce::AudioBuffer<float>& out, double start, double hz, float pan, float gain, unsigned seed)
{
    Noise noise (seed);
    const int period = std::max (2, (int) std::lround (sampleRate / hz));
    std::vector<float> line ((size_t) period);
    float previous = 0.0f;
    for (auto& v : line)
    {
        const float x = noise.next();
        v = 0.5f * (x + previous);
        previous = x;
    }

    const int first = (int) (start * sampleRate);
    const int length = (int) (1.6 * sampleRate);
    const int fade = (int) (0.05 * sampleRate);
    size_t at = 0;
    for (int i = 0; i < length && first + i < out.getNumSamples(); ++i)
    {
        const size_t next = (at + 1) % line.size();
        const float y = line[at];
        line[at] = 0.996f * 0.5f * (line[at] + line[next]);
        at = next;
        const float envelope = i > length - fade ? (float) (length - i) / (float) fade : 1.0f;
        out.addSample (0, first + i, gain * envelope * y * (1.0f - pan));
        out.addSample (1, first + i, gain * envelope * y * pan);
    }
}

/** A snare-like hit: a short falling tone under a band-limited noise burst. */
void addSnare (juce::AudioBuffer<float>& out, double start, float gain, unsigned seed)
{
    Noise noise (seed);
    const int first = (int) (start * sampleRate);
    float low = 0.0f, band = 0.0f;
    for (int i = 0; i < (int) (0.35 * sampleRate) && first + i < out.getNumSamples(); ++i)
    {
        const double t = i / sampleRate;
        // A state-variable band-pass around 3 kHz shapes the rattle.
        const float x = noise.next();
        const float f = 2.0f * (float) std::sin (pi * 3000.0 / sampleRate);
        low += f * band;
        band += f * (x - low - 0.7f * band);
        const float rattle = band * (float) std::exp (-t / 0.07);
        const float body = (float) (std::sin (2.0 * pi * (190.0 * t - 150.0 * t * t)) * std::exp (-t / 0.04));
        const float s = gain * (0.8f * rattle + 0.6f * body);
        out.addSample (0, first + i, s);
        out.addSample (1, first + i, 0.9f * s);
    }
}
}

int runMakeDemoPhrase (const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return usageError ("usage: make-demo-phrase OUT.wav");
    std::string error;
    if (const int status = OutputCheck::check (args[0], OutputCheck::Content::sound, {}, error))
    {
        std::cerr << "lumidor-host: " << error << "\n";
        return status;
    }

    AudioFiles::Sound phrase;
    phrase.sampleRate = sampleRate;
    phrase.samples.setSize (2, (int) (phraseSeconds * sampleRate));
    phrase.samples.clear();

    struct Pluck
    {
        double start, hz;
        float pan;
    };
    const Pluck plucks[] = { { 0.00, 164.81, 0.35f }, { 0.30, 207.65, 0.55f }, { 0.60, 246.94, 0.45f },
                             { 0.90, 329.63, 0.65f }, { 2.20, 220.00, 0.40f }, { 2.45, 277.18, 0.60f },
                             { 2.70, 329.63, 0.50f }, { 2.95, 440.00, 0.70f } };
    unsigned seed = 7;
    for (const auto& p : plucks)
        addPluck (phrase.samples, p.start, p.hz, p.pan, 0.5f, seed++);
    addSnare (phrase.samples, 1.60, 0.6f, 101);
    addSnare (phrase.samples, 3.60, 0.6f, 202);

    const float peak = phrase.samples.getMagnitude (0, phrase.samples.getNumSamples());
    if (peak > 0.0f)
        phrase.samples.applyGain (0.5f / peak);

    if (! AudioFiles::write (args[0], phrase, error))
    {
        std::cerr << "lumidor-host: " << error << "\n";
        return 1;
    }
    std::printf ("wrote %s: %.1f s at %g Hz, 32-bit float\n", args[0].c_str(), phraseSeconds, sampleRate);
    return 0;
}
