#include "AudioFiles.h"

#include <cmath>
#include <cstdio>

namespace AudioFiles
{
bool read (const std::string& path, Sound& sound, std::string& error)
{
    const juce::File file (juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (path)));
    if (! file.existsAsFile())
    {
        error = "no such file: " + path;
        return false;
    }

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
    if (reader == nullptr)
    {
        error = "cannot read " + path + " as WAV, AIFF, FLAC or Ogg";
        return false;
    }
    if (reader->lengthInSamples > (juce::int64) std::numeric_limits<int>::max() || reader->numChannels == 0)
    {
        error = path + " is empty or too long";
        return false;
    }

    const int frames = (int) reader->lengthInSamples;
    const int channels = (int) reader->numChannels;
    sound.samples.setSize (channels, frames);
    if (! reader->read (&sound.samples, 0, frames, 0, true, true))
    {
        error = "cannot decode " + path;
        return false;
    }
    sound.sampleRate = reader->sampleRate;
    sound.bitsPerSample = (int) reader->bitsPerSample;
    sound.floatingPoint = reader->usesFloatingPointData;
    return true;
}

bool write (const std::string& path, const Sound& sound, std::string& error)
{
    const juce::File file (juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (path)));
    const auto extension = file.getFileExtension().toLowerCase();

    std::unique_ptr<juce::AudioFormat> format;
    bool floatAllowed = false;
    if (extension == ".wav")
    {
        format = std::make_unique<juce::WavAudioFormat>();
        floatAllowed = true;
    }
    else if (extension == ".aif" || extension == ".aiff")
        format = std::make_unique<juce::AiffAudioFormat>();
    else if (extension == ".flac")
        format = std::make_unique<juce::FlacAudioFormat>();
    else
    {
        error = "cannot tell the format of " + path + " (use .wav, .aiff or .flac)";
        return false;
    }

    // JUCE's WAV writer stores 32-bit samples as floats.
    int bits = sound.floatingPoint ? 32 : sound.bitsPerSample;
    if (sound.floatingPoint && ! floatAllowed)
        bits = 24;
    if (extension == ".flac" && bits > 24)
        bits = 24;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        bits = 24;

    file.deleteFile();
    auto stream = std::make_unique<juce::FileOutputStream> (file);
    if (stream->failedToOpen())
    {
        error = "cannot write " + path;
        return false;
    }

    juce::StringPairArray metadata;
    std::unique_ptr<juce::AudioFormatWriter> writer (format->createWriterFor (
        stream.get(), sound.sampleRate, (unsigned int) sound.samples.getNumChannels(), bits, metadata, 0));
    if (writer == nullptr)
    {
        error = "cannot write " + std::to_string (bits) + "-bit audio at " + std::to_string ((int) sound.sampleRate)
                + " Hz to " + path;
        return false;
    }
    stream.release();

    if (! writer->writeFromAudioSampleBuffer (sound.samples, 0, sound.samples.getNumSamples()))
    {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool parseBits (const std::string& text, int& bits, bool& floatingPoint)
{
    if (text == "float")
    {
        bits = 32;
        floatingPoint = true;
        return true;
    }
    if (text == "16" || text == "24" || text == "32")
    {
        bits = std::stoi (text);
        floatingPoint = false;
        return true;
    }
    return false;
}

Level measure (const juce::AudioBuffer<float>& samples, int channel)
{
    Level level;
    const int n = samples.getNumSamples();
    const float* x = samples.getReadPointer (channel);
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
    {
        level.peak = std::max (level.peak, std::abs (x[i]));
        sum += (double) x[i] * x[i];
    }
    level.rms = n > 0 ? std::sqrt (sum / n) : 0.0;
    return level;
}

std::string decibels (double amplitude)
{
    if (! (amplitude > 0.0))
        return "-inf dBFS";
    char text[32];
    std::snprintf (text, sizeof (text), "%.2f dBFS", 20.0 * std::log10 (amplitude));
    return text;
}
}
