#pragma once

#include "SafeOutputFile.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

/** Reading and writing sound files, streamed block by block through
    libsndfile: WAV (also RF64 and W64), AIFF and FLAC for writing, and
    whatever libsndfile reads (also 64-bit float and Ogg) for reading.

    Integer samples become floats by dividing by 2^(bits-1) and come back
    by multiplying by the same, so 16- and 24-bit samples survive a float
    round trip exactly; values beyond full scale are clipped and counted. */
namespace AudioFiles
{
/** A whole sound in memory, for short files (impulse responses, tests). */
struct Sound
{
    juce::AudioBuffer<float> samples;
    double sampleRate = 44100.0;
    /** 8, 16, 24 or 32 for integer samples; 32 (or 64 on reading) for float. */
    int bitsPerSample = 32;
    bool floatingPoint = true;
};

/** The libsndfile container the output's extension names (.wav, .rf64,
    .w64, .aif/.aiff/.aifc, .flac), or 0 for any other. */
int containerFor (const std::string& path);
/** Those extensions, for messages. */
std::string extensionList();

/** "16-bit", "32-bit float" and so on. */
std::string formatText (int bits, bool floatingPoint);

class Reader
{
public:
    Reader();
    ~Reader();
    Reader (const Reader&) = delete;
    Reader& operator= (const Reader&) = delete;

    /** Returns false with "cannot read PATH: reason" in `error`. */
    bool open (const std::string& path, std::string& error);

    int channels() const noexcept;
    double sampleRate() const noexcept;
    /** The frames the file holds (for a cut-short file, those present, as
        far as the header tells); 0 when it does not say (lengthKnown()). */
    int64_t frames() const noexcept;
    bool lengthKnown() const noexcept { return knownLength; }
    int bitsPerSample() const noexcept { return bits; }
    bool floatingPoint() const noexcept { return isFloat; }

    /** Non-empty when the header promises more sample data than the file
        holds (which figures disagree), or when a compressed stream (FLAC,
        Ogg) cannot be decoded to its end: read() then ends where the
        decoder stopped, as at the end of the file. */
    const std::string& truncation() const noexcept { return cutShort; }
    /** NaN or infinite samples read so far (float files only hold them). */
    int64_t nonFiniteSamples() const noexcept { return nonFinite; }

    /** Reads up to `count` frames into one buffer per channel. Returns the
        frames read, 0 at the end, -1 with a reason in `error`. */
    int read (float* const* channelData, int count, std::string& error);

private:
    struct State;
    std::unique_ptr<State> state;
    std::string path, cutShort;
    int bits = 16;
    bool isFloat = false;
    bool knownLength = true, compressed = false, ended = false;
    int64_t framesRead = 0;
    int64_t nonFinite = 0;
};

class Writer
{
public:
    Writer();
    ~Writer();
    Writer (const Writer&) = delete;
    Writer& operator= (const Writer&) = delete;

    /** Chooses the container by the file name's extension (.wav, .rf64, .w64,
        .aif/.aiff/.aifc, .flac). A sample format the container cannot hold
        (float or 32 bits in FLAC) becomes 24-bit, and note() says so.
        `expectedFrames` (0 when unknown) lets a .wav beyond 4 GiB become
        RF64 (with a note) and refuses an AIFF beyond 4 GiB. `inputs` are
        refused as outputs. Nothing replaces the destination before close().
        On failure settingRefused() tells a choice of the user's (extension,
        sample format, length) from a file that cannot be written. */
    bool open (const std::string& path, double sampleRate, int channels, int bits, bool floatingPoint,
               std::string& error, const std::vector<std::string>& inputs = {}, int64_t expectedFrames = 0);

    bool write (const float* const* channelData, int count, std::string& error);

    /** Completes the file and puts it in place of the destination:
        finish(), then commit(). */
    bool close (std::string& error);
    /** Completes the file under its temporary name. */
    bool finish (std::string& error);
    /** Puts the finished file in place of the destination. */
    bool commit (std::string& error);
    /** The finished file's output, to be put in place together with another
        (SafeOutputFile::commitTogether). */
    SafeOutputFile& output();

    bool settingRefused() const noexcept { return refused; }

    /** What is stored: "16-bit", "32-bit float". */
    std::string formatText() const { return AudioFiles::formatText (bits, isFloat); }
    const std::string& note() const noexcept { return changed; }
    /** Integer samples that were beyond full scale and stored clipped. */
    int64_t clippedSamples() const noexcept { return clipped; }
    /** NaN or infinite samples (stored as 0 in integer files). */
    int64_t nonFiniteSamples() const noexcept { return nonFinite; }

private:
    struct State;
    std::unique_ptr<State> state;
    std::string changed;
    int bits = 16;
    bool isFloat = false;
    bool refused = false;
    int64_t clipped = 0, nonFinite = 0;
};

/** Reads the whole file. Returns false with a reason in `error`. */
bool read (const std::string& path, Sound& sound, std::string& error);

/** Writes the whole sound (through Writer). */
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

/** Peak and RMS gathered block by block, of the finite samples; the others
    are counted. */
class LevelMeter
{
public:
    void add (const float* samples, int count) noexcept;
    Level level() const noexcept;
    bool finite() const noexcept { return nonFinite == 0; }
    int64_t nonFiniteSamples() const noexcept { return nonFinite; }

private:
    float peak = 0.0f;
    double sum = 0.0;
    int64_t count = 0, nonFinite = 0;
};

/** A level in dBFS as text, "-inf" for silence. */
std::string decibels (double amplitude);
}
