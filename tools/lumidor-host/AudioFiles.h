#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <string>

/** Reading and writing sound files through JUCE's audio formats: WAV, AIFF
    and FLAC (and Ogg Vorbis for reading), integer or floating-point samples. */
namespace AudioFiles
{
struct Sound
{
    juce::AudioBuffer<float> samples;
    double sampleRate = 44100.0;
    int bitsPerSample = 32;
    bool floatingPoint = true;
};

/** Reads the whole file. Returns false with a reason in `error`. */
bool read (const std::string& path, Sound& sound, std::string& error);

/** Writes by the file name's extension (.wav, .aif/.aiff, .flac). WAV keeps
    32-bit samples as floats; a floating-point request for AIFF or FLAC, and
    more than 24 bits for FLAC, give 24-bit integers. */
bool write (const std::string& path, const Sound& sound, std::string& error);

/** Parses "16", "24", "32" (integer) or "float" (32-bit float). */
bool parseBits (const std::string& text, int& bits, bool& floatingPoint);

/** Peak and RMS of one channel, as linear amplitudes. */
struct Level
{
    float peak = 0.0f;
    double rms = 0.0;
};
Level measure (const juce::AudioBuffer<float>& samples, int channel);

/** A level in dBFS as text, "-inf" for silence. */
std::string decibels (double amplitude);
}
