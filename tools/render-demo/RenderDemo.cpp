// Renders a generated test phrase through the plug-in filter and writes the
// dry and the processed signal as WAV files, so a new user hears the reverb
// without a host:  build/render-demo OUT_FOLDER
#include "DemoJuceFilter.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>
#include <iostream>

namespace
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;
constexpr double phraseSeconds = 6.0;
constexpr double tailSeconds = 5.0;

/** A short phrase: plucked notes of a chord, a hand clap, a last low note. */
juce::AudioBuffer<float> makePhrase()
{
    const int frames = (int) ((phraseSeconds + tailSeconds) * sampleRate);
    juce::AudioBuffer<float> b (2, frames);
    b.clear();

    struct Note { double start, hz, pan; };
    const Note notes[] = { { 0.0, 220.0, 0.3 }, { 0.5, 277.18, 0.6 }, { 1.0, 329.63, 0.4 }, { 1.5, 440.0, 0.7 },
                           { 3.0, 196.0, 0.5 }, { 3.25, 293.66, 0.2 }, { 3.5, 392.0, 0.8 }, { 5.0, 110.0, 0.5 } };
    for (const auto& n : notes)
    {
        const int first = (int) (n.start * sampleRate);
        for (int i = 0; i < (int) (0.9 * sampleRate) && first + i < frames; ++i)
        {
            const double t = i / sampleRate;
            const double env = std::exp (-t * 6.0) * std::min (1.0, t * 400.0);
            const double s = 0.3 * env * (std::sin (2.0 * juce::MathConstants<double>::pi * n.hz * t)
                                          + 0.3 * std::sin (4.0 * juce::MathConstants<double>::pi * n.hz * t));
            b.addSample (0, first + i, (float) (s * (1.0 - n.pan)));
            b.addSample (1, first + i, (float) (s * n.pan));
        }
    }

    juce::Random noise (1234);
    for (double clap : { 2.25, 4.5 })
    {
        const int first = (int) (clap * sampleRate);
        for (int i = 0; i < 4000; ++i)
        {
            const float s = 0.4f * (noise.nextFloat() * 2.0f - 1.0f) * std::exp (-(float) i / 600.0f);
            b.addSample (0, first + i, s);
            b.addSample (1, first + i, s * 0.8f);
        }
    }
    return b;
}

bool writeWav (const juce::File& file, const juce::AudioBuffer<float>& audio)
{
    file.deleteFile();
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (new juce::FileOutputStream (file), sampleRate, 2, 24, {}, 0));
    return writer != nullptr && writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
}
}

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juceRuntime;
    const juce::File folder = juce::File::getCurrentWorkingDirectory().getChildFile (argc > 1 ? argv[1] : "out");
    if (! folder.createDirectory())
    {
        std::cerr << "cannot create " << folder.getFullPathName() << "\n";
        return 1;
    }

    const auto dry = makePhrase();
    juce::AudioBuffer<float> wet (2, dry.getNumSamples());

    DemoJuceFilter filter;
    filter.setParameterValue (ParameterIndex::lateSize, 0.6f);
    filter.setParameterValue (ParameterIndex::decay, 0.55f);
    filter.setParameterValue (ParameterIndex::dryWet, 0.35f);
    filter.prepare (sampleRate, blockSize);

    juce::MidiBuffer midi;
    for (int start = 0; start < dry.getNumSamples(); start += blockSize)
    {
        const int n = juce::jmin (blockSize, dry.getNumSamples() - start);
        const juce::AudioBuffer<float> in (const_cast<float* const*> (dry.getArrayOfReadPointers()), 2, start, n);
        juce::AudioBuffer<float> out (wet.getArrayOfWritePointers(), 2, start, n);
        filter.renderBlock (in, out, false, midi);
    }

    const auto dryFile = folder.getChildFile ("demo-dry.wav");
    const auto wetFile = folder.getChildFile ("demo-lumidor.wav");
    if (! writeWav (dryFile, dry) || ! writeWav (wetFile, wet))
    {
        std::cerr << "cannot write the WAV files in " << folder.getFullPathName() << "\n";
        return 1;
    }

    std::cout << "wrote " << dryFile.getFullPathName() << " (input)\n"
              << "wrote " << wetFile.getFullPathName() << " (through Lumidor: LateSize 0.60, Decay 0.55, Dry-Wet 0.35)\n"
              << "peak " << juce::Decibels::gainToDecibels (wet.getMagnitude (0, wet.getNumSamples())) << " dBFS\n";
    return 0;
}
