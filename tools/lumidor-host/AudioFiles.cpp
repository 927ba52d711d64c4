// What the reader and the writer share, and whole files in one call.
#include "AudioFiles.h"

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace AudioFiles
{
namespace
{
std::string lowerExtension (const std::string& path)
{
    const auto slash = path.rfind ('/');
    const auto dot = path.rfind ('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    auto e = path.substr (dot);
    for (auto& c : e)
        c = (char) std::tolower ((unsigned char) c);
    return e;
}
}

int containerFor (const std::string& path)
{
    const auto extension = lowerExtension (path);
    if (extension == ".wav")
        return SF_FORMAT_WAV;
    if (extension == ".rf64")
        return SF_FORMAT_RF64;
    if (extension == ".w64")
        return SF_FORMAT_W64;
    if (extension == ".aif" || extension == ".aiff" || extension == ".aifc")
        return SF_FORMAT_AIFF;
    if (extension == ".flac")
        return SF_FORMAT_FLAC;
    return 0;
}

std::string extensionList() { return ".wav, .aiff, .aif, .aifc, .flac, .w64 or .rf64"; }

std::string formatText (int bits, bool floatingPoint)
{
    return std::to_string (bits) + "-bit" + (floatingPoint ? " float" : "");
}

bool read (const std::string& path, Sound& sound, std::string& error)
{
    Reader reader;
    if (! reader.open (path, error))
        return false;
    if (reader.frames() > (int64_t) std::numeric_limits<int>::max())
    {
        error = path + " is too long to hold in memory";
        return false;
    }
    sound.sampleRate = reader.sampleRate();
    sound.bitsPerSample = reader.bitsPerSample();
    sound.floatingPoint = reader.floatingPoint();

    // A file that does not say its length grows the buffer as it goes.
    int capacity = reader.lengthKnown() ? (int) reader.frames() : 65536;
    sound.samples.setSize (reader.channels(), capacity);
    int done = 0;
    std::vector<float*> pointers ((size_t) reader.channels());
    for (;;)
    {
        if (done == capacity)
        {
            if (reader.lengthKnown() || capacity > std::numeric_limits<int>::max() / 2)
                break;
            capacity *= 2;
            sound.samples.setSize (reader.channels(), capacity, true);
        }
        for (int c = 0; c < reader.channels(); ++c)
            pointers[(size_t) c] = sound.samples.getWritePointer (c, done);
        const int got = reader.read (pointers.data(), std::min (65536, capacity - done), error);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        done += got;
    }
    sound.samples.setSize (reader.channels(), done, true);
    return true;
}

bool write (const std::string& path, const Sound& sound, std::string& error)
{
    Writer writer;
    const int channels = sound.samples.getNumChannels();
    const int frames = sound.samples.getNumSamples();
    if (! writer.open (path, sound.sampleRate, channels, sound.bitsPerSample, sound.floatingPoint, error, {}, frames))
        return false;
    std::vector<const float*> pointers ((size_t) channels);
    for (int done = 0; done < frames;)
    {
        const int n = std::min (65536, frames - done);
        for (int c = 0; c < channels; ++c)
            pointers[(size_t) c] = sound.samples.getReadPointer (c, done);
        if (! writer.write (pointers.data(), n, error))
            return false;
        done += n;
    }
    return writer.close (error);
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
    LevelMeter meter;
    meter.add (samples.getReadPointer (channel), samples.getNumSamples());
    return meter.level();
}

void LevelMeter::add (const float* x, int n) noexcept
{
    for (int i = 0; i < n; ++i)
    {
        if (! std::isfinite (x[i]))
        {
            ++nonFinite;
            continue;
        }
        peak = std::max (peak, std::abs (x[i]));
        sum += (double) x[i] * x[i];
        ++count;
    }
}

Level LevelMeter::level() const noexcept { return { peak, count > 0 ? std::sqrt (sum / (double) count) : 0.0 }; }

std::string decibels (double amplitude)
{
    if (! (amplitude > 0.0))
        return "-inf dBFS";
    char text[32];
    std::snprintf (text, sizeof (text), "%.2f dBFS", 20.0 * std::log10 (amplitude));
    return text;
}
}
