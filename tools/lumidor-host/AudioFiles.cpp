#include "AudioFiles.h"

#include "SafeOutputFile.h"

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>

static_assert (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the float WAV writer stores samples in host order");

namespace AudioFiles
{
namespace
{
// Integer samples as read by sf_readf_int are left-justified in 32 bits;
// dividing by 2^31 is exact for every sample of up to 24 bits.
constexpr double intScale = 2147483648.0;

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

/** libsndfile's reading log holds "data : 8000 (should be 4888)" when a
    chunk claims more bytes than the file has (" SSND : ..." in AIFF); W64
    and RF64 say it of the whole file ("riff : ...", "Riff size : ..."). */
/** Why an Ogg file is cut short, or empty when it is whole: a complete
    stream ends with a page marked as its last (end of stream) that reaches
    exactly to the end of the file. libsndfile's decoder stops quietly where
    the data stops, having taken the length from the last page it found. */
std::string oggTruncation (const std::string& path)
{
    std::ifstream file (path, std::ios::binary | std::ios::ate);
    const auto size = (int64_t) file.tellg();
    if (size <= 0)
        return {};
    const int64_t start = std::max<int64_t> (0, size - 65536 - 282); // the largest page and its header
    std::vector<unsigned char> tail ((size_t) (size - start));
    file.seekg (start);
    if (! file.read (reinterpret_cast<char*> (tail.data()), (std::streamsize) tail.size()))
        return {};
    for (int64_t at = (int64_t) tail.size() - 27; at >= 0; --at)
    {
        const auto* page = tail.data() + at;
        if (std::memcmp (page, "OggS", 4) != 0 || page[4] != 0)
            continue;
        const int segments = page[26];
        if (at + 27 + segments > (int64_t) tail.size())
            break;
        int64_t length = 27 + segments;
        for (int i = 0; i < segments; ++i)
            length += page[27 + i];
        if (at + length != (int64_t) tail.size())
            return "its last Ogg page is incomplete (" + std::to_string ((int64_t) tail.size() - at) + " of "
                   + std::to_string (length) + " bytes)";
        if ((page[5] & 0x04) == 0)
            return "its Ogg stream has no end (no page is marked as its last)";
        return {};
    }
    return "no Ogg page ends it";
}

std::string truncationFromLog (SNDFILE* file)
{
    char log[16384] = {};
    sf_command (file, SFC_GET_LOG_INFO, log, sizeof (log));
    std::string samples, container;
    const char* line = log;
    while (line != nullptr && *line != 0)
    {
        const char* end = std::strchr (line, '\n');
        std::string text (line, end != nullptr ? (size_t) (end - line) : std::strlen (line));
        text.erase (0, text.find_first_not_of (" \t"));
        const auto colon = text.find (" : ");
        long long claimed = 0, present = 0;
        if (colon != std::string::npos && text.find ("should be") != std::string::npos
            && std::sscanf (text.c_str() + colon, " : %lld (should be %lld)", &claimed, &present) == 2
            && claimed > present)
        {
            const auto name = text.substr (0, colon);
            if (name == "data" || name == "SSND")
                samples = "its header promises " + std::to_string (claimed) + " bytes of samples, the file holds "
                          + std::to_string (present);
            else if (name == "RIFF" || name == "FORM" || name == "riff" || name == "Riff size")
                container = "its header promises a file of " + std::to_string (claimed) + " bytes, it holds "
                            + std::to_string (present);
        }
        line = end != nullptr ? end + 1 : nullptr;
    }
    return samples.empty() ? container : samples;
}

/** Containers whose size fields hold 32 bits: past this many bytes of
    samples (with room for the header) they cannot describe the file. */
constexpr uint64_t maxClassicBytes = 0xFFFFFFFFull - 4096;

/** libsndfile writes through these calls onto the temporary's descriptor,
    so the first system error is kept with its errno for the message. */
struct Descriptor
{
    int fd = -1;
    int error = 0;
};

sf_count_t fileLength (void* user)
{
    struct stat info
    {
    };
    return ::fstat (static_cast<Descriptor*> (user)->fd, &info) == 0 ? (sf_count_t) info.st_size : -1;
}

sf_count_t seekTo (sf_count_t offset, int whence, void* user)
{
    return (sf_count_t)::lseek (static_cast<Descriptor*> (user)->fd, (off_t) offset, whence);
}

sf_count_t readFrom (void* data, sf_count_t count, void* user)
{
    const auto n = ::read (static_cast<Descriptor*> (user)->fd, data, (size_t) count);
    return n < 0 ? 0 : (sf_count_t) n;
}

sf_count_t writeTo (const void* data, sf_count_t count, void* user)
{
    auto* d = static_cast<Descriptor*> (user);
    const auto* bytes = static_cast<const char*> (data);
    sf_count_t done = 0;
    while (done < count)
    {
        const auto n = ::write (d->fd, bytes + done, (size_t) (count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
        {
            if (d->error == 0)
                d->error = n < 0 ? errno : ENOSPC;
            break;
        }
        done += n;
    }
    return done;
}

sf_count_t tellPosition (void* user) { return (sf_count_t)::lseek (static_cast<Descriptor*> (user)->fd, 0, SEEK_CUR); }
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

//==============================================================================
struct Reader::State
{
    SNDFILE* file = nullptr;
    SF_INFO info {};
    std::vector<int> integers;
    std::vector<float> floats;
};

Reader::Reader()
    : state (std::make_unique<State>())
{
}

Reader::~Reader()
{
    if (state->file != nullptr)
        sf_close (state->file);
}

bool Reader::open (const std::string& name, std::string& error)
{
    path = name;
    struct stat info
    {
    };
    if (::stat (name.c_str(), &info) != 0)
    {
        error = "cannot read " + name + ": " + std::strerror (errno);
        return false;
    }
    if (S_ISDIR (info.st_mode))
    {
        error = "cannot read " + name + ": " + std::strerror (EISDIR);
        return false;
    }
    if (! S_ISREG (info.st_mode))
    {
        error = "cannot read " + name + ": not a regular file";
        return false;
    }
    if (::access (name.c_str(), R_OK) != 0)
    {
        error = "cannot read " + name + ": " + std::strerror (errno);
        return false;
    }

    state->file = sf_open (name.c_str(), SFM_READ, &state->info);
    if (state->file == nullptr)
    {
        error = "cannot read " + name + " as a sound file: " + sf_strerror (nullptr);
        return false;
    }
    if (state->info.channels <= 0 || state->info.samplerate <= 0)
    {
        error = "cannot read " + name + ": the file names no channels or no sample rate";
        return false;
    }

    switch (state->info.format & SF_FORMAT_SUBMASK)
    {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8:
            bits = 8;
            isFloat = false;
            break;
        case SF_FORMAT_PCM_24:
            bits = 24;
            isFloat = false;
            break;
        case SF_FORMAT_PCM_32:
            bits = 32;
            isFloat = false;
            break;
        case SF_FORMAT_FLOAT:
            bits = 32;
            isFloat = true;
            break;
        case SF_FORMAT_DOUBLE:
            bits = 64;
            isFloat = true;
            break;
        case SF_FORMAT_VORBIS:
        case SF_FORMAT_OPUS:
        case SF_FORMAT_MPEG_LAYER_I:
        case SF_FORMAT_MPEG_LAYER_II:
        case SF_FORMAT_MPEG_LAYER_III:
            bits = 32;
            isFloat = true;
            break;
        default:
            bits = 16;
            isFloat = false;
            break;
    }
    cutShort = truncationFromLog (state->file);
    if (cutShort.empty() && (state->info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_OGG)
        cutShort = oggTruncation (path);
    // A stream that does not say its length (FLAC with no count, some Ogg)
    // is read to its end.
    if (state->info.frames == SF_COUNT_MAX || state->info.frames < 0)
    {
        state->info.frames = 0;
        knownLength = false;
    }
    const int container = state->info.format & SF_FORMAT_TYPEMASK;
    compressed = container == SF_FORMAT_FLAC || container == SF_FORMAT_OGG || container == SF_FORMAT_MPEG;
    return true;
}

int Reader::channels() const noexcept { return state->info.channels; }
double Reader::sampleRate() const noexcept { return state->info.samplerate; }
int64_t Reader::frames() const noexcept { return state->info.frames; }

int Reader::read (float* const* channelData, int count, std::string& error)
{
    const int c = state->info.channels;
    sf_count_t got = 0;
    if (isFloat)
    {
        state->floats.resize ((size_t) count * (size_t) c);
        got = sf_readf_float (state->file, state->floats.data(), count);
        for (int ch = 0; ch < c; ++ch)
            for (sf_count_t i = 0; i < got; ++i)
                channelData[ch][i] = state->floats[(size_t) i * (size_t) c + (size_t) ch];
    }
    else
    {
        state->integers.resize ((size_t) count * (size_t) c);
        got = sf_readf_int (state->file, state->integers.data(), count);
        for (int ch = 0; ch < c; ++ch)
            for (sf_count_t i = 0; i < got; ++i)
                channelData[ch][i] = (float) (state->integers[(size_t) i * (size_t) c + (size_t) ch] / intScale);
    }
    if (ended)
        return 0;
    if (got < count && sf_error (state->file) != SF_ERR_NO_ERROR)
    {
        // A compressed stream cut short ends in a frame the decoder cannot
        // finish: what came before it is good, and is used as a cut-short
        // file's samples are.
        if (compressed)
        {
            framesRead += got;
            ended = true;
            if (cutShort.empty())
                cutShort = "it cannot be decoded past frame " + std::to_string (framesRead) + " ("
                           + sf_strerror (state->file) + ")";
            return (int) got;
        }
        error = "cannot read " + path + ": " + sf_strerror (state->file);
        return -1;
    }
    framesRead += got;
    return (int) got;
}

//==============================================================================
struct Writer::State
{
    SafeOutputFile file;
    Descriptor descriptor;
    SNDFILE* sound = nullptr;
    // The float WAV is written here rather than by libsndfile, whose fmt
    // chunk of 16 bytes for float data makes some readers warn; this one
    // has the 18-byte form with its (empty) extension.
    bool ownWav = false;
    int container = 0;
    int64_t framesWritten = 0;
    uint64_t frameBytes = 4;
    int channels = 2;
    uint32_t rate = 44100;
    uint64_t dataBytes = 0;
    std::vector<float> floats;
    std::vector<int> integers;
    std::vector<char> bytes;
    std::string path;

    std::vector<char> wavHeader() const
    {
        std::vector<char> h;
        auto tag = [&h] (const char* t)
        {
            h.insert (h.end(), t, t + 4);
        };
        auto u32 = [&h] (uint32_t v)
        {
            for (int i = 0; i < 4; ++i)
                h.push_back ((char) (v >> (8 * i)));
        };
        auto u16 = [&h] (uint32_t v)
        {
            h.push_back ((char) v);
            h.push_back ((char) (v >> 8));
        };
        const uint32_t frameBytes = 4u * (uint32_t) channels;
        tag ("RIFF");
        u32 ((uint32_t) (4 + 26 + 12 + 8 + dataBytes));
        tag ("WAVE");
        tag ("fmt ");
        u32 (18);
        u16 (3); // IEEE float
        u16 ((uint32_t) channels);
        u32 (rate);
        u32 (rate * frameBytes);
        u16 (frameBytes);
        u16 (32);
        u16 (0);
        tag ("fact");
        u32 (4);
        u32 ((uint32_t) (dataBytes / frameBytes));
        tag ("data");
        u32 ((uint32_t) dataBytes);
        return h;
    }
};

Writer::Writer()
    : state (std::make_unique<State>())
{
}

Writer::~Writer()
{
    if (state->sound != nullptr)
        sf_close (state->sound);
}

bool Writer::open (const std::string& path, double sampleRate, int channels, int wantedBits, bool floatingPoint,
                   std::string& error, const std::vector<std::string>& inputs, int64_t expectedFrames)
{
    state->path = path;
    state->channels = channels;
    bits = floatingPoint ? 32 : wantedBits;
    isFloat = floatingPoint;
    if (! (sampleRate >= 1.0 && sampleRate <= (double) std::numeric_limits<int>::max()) || channels < 1)
    {
        error = "cannot write " + path + ": no sound file has " + std::to_string (channels) + " channels at "
                + std::to_string (sampleRate) + " Hz";
        return false;
    }
    state->rate = (uint32_t) std::lround (sampleRate);

    int container = containerFor (path);
    if (container == 0)
    {
        error = "cannot tell the format of " + path + " (use " + extensionList() + ")";
        refused = true;
        return false;
    }
    if (container == SF_FORMAT_FLAC && (isFloat || bits > 24))
    {
        changed = "FLAC holds at most 24-bit integers: " + path + " is written as 24-bit";
        bits = 24;
        isFloat = false;
    }

    // WAV and AIFF size fields hold 32 bits. A .wav that would pass them is
    // written as RF64, WAV's own 64-bit form that readers of long WAVs
    // know; AIFF has no such form, so a long one is refused before work.
    state->frameBytes = (uint64_t) channels * (uint64_t) (isFloat ? 4 : (bits + 7) / 8);
    const auto expectedBytes = (uint64_t) std::max<int64_t> (expectedFrames, 0) * state->frameBytes;
    if (container == SF_FORMAT_WAV && expectedBytes > maxClassicBytes)
    {
        container = SF_FORMAT_RF64;
        changed = path + " would hold " + std::to_string (expectedBytes) + " bytes of samples, past the 4 GiB a WAV"
                  + " header can describe: it is written as RF64 (a WAV with 64-bit sizes)";
    }
    if (container == SF_FORMAT_AIFF && expectedBytes > maxClassicBytes)
    {
        error = "cannot write " + path + ": it would hold " + std::to_string (expectedBytes)
                + " bytes of samples, past the 4 GiB an AIFF file can describe (use .w64, .rf64, .flac or .wav)";
        refused = true;
        return false;
    }
    state->container = container;

    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
    {
        error = "cannot write " + std::to_string (bits) + "-bit samples (use 16, 24, 32 or float)";
        refused = true;
        return false;
    }

    if (! state->file.open (path, error, inputs))
        return false;

    if (container == SF_FORMAT_WAV && isFloat)
    {
        state->ownWav = true;
        const auto header = state->wavHeader();
        return state->file.write (header.data(), header.size(), error);
    }

    int subtype = SF_FORMAT_PCM_16;
    if (isFloat)
        subtype = SF_FORMAT_FLOAT;
    else if (bits == 8)
        subtype = container == SF_FORMAT_AIFF || container == SF_FORMAT_FLAC ? SF_FORMAT_PCM_S8 : SF_FORMAT_PCM_U8;
    else if (bits == 24)
        subtype = SF_FORMAT_PCM_24;
    else if (bits == 32)
        subtype = SF_FORMAT_PCM_32;

    SF_INFO info {};
    info.samplerate = (int) state->rate;
    info.channels = channels;
    info.format = container | subtype;
    if (! sf_format_check (&info))
    {
        error = "cannot write " + formatText() + " samples, " + std::to_string (channels) + " channels at "
                + std::to_string (state->rate) + " Hz to " + path;
        return false;
    }

    SF_VIRTUAL_IO io { fileLength, seekTo, readFrom, writeTo, tellPosition };
    state->descriptor.fd = state->file.descriptor();
    state->sound = sf_open_virtual (&io, SFM_WRITE, &info, &state->descriptor);
    if (state->sound == nullptr)
    {
        error = state->descriptor.error != 0 ? state->file.failure (state->descriptor.error)
                                             : "cannot write " + path + ": " + sf_strerror (nullptr);
        return false;
    }
    // Our own conversion decides clipping and rounding; libsndfile only
    // packs the integers.
    sf_command (state->sound, SFC_SET_CLIPPING, nullptr, SF_FALSE);
    return true;
}

bool Writer::write (const float* const* channelData, int count, std::string& error)
{
    const int c = state->channels;
    const size_t n = (size_t) count * (size_t) c;

    if (isFloat)
    {
        state->floats.resize (n);
        for (int ch = 0; ch < c; ++ch)
            for (int i = 0; i < count; ++i)
            {
                const float x = channelData[ch][i];
                nonFinite += std::isfinite (x) ? 0 : 1;
                state->floats[(size_t) i * (size_t) c + (size_t) ch] = x;
            }
    }
    else
    {
        // Multiply by 2^(bits-1), round, clip, then left-justify: the exact
        // inverse of the reading scale, so untouched samples come back as
        // the same integers.
        const double scale = std::ldexp (1.0, bits - 1);
        const double highest = scale - 1.0, lowest = -scale;
        const int shift = 32 - bits;
        state->integers.resize (n);
        for (int ch = 0; ch < c; ++ch)
            for (int i = 0; i < count; ++i)
            {
                const float x = channelData[ch][i];
                double v = 0.0;
                if (! std::isfinite (x))
                    ++nonFinite;
                else
                {
                    v = std::nearbyint ((double) x * scale);
                    if (v > highest || v < lowest)
                    {
                        ++clipped;
                        v = std::clamp (v, lowest, highest);
                    }
                }
                const auto sample = (uint32_t) (int32_t) v;
                state->integers[(size_t) i * (size_t) c + (size_t) ch] = (int) (int32_t) (sample << shift);
            }
    }

    if (state->ownWav)
    {
        const size_t size = n * sizeof (float);
        if (state->dataBytes + size > 0xFFFFFFFFull - 64)
        {
            error = "cannot write " + state->path + ": too long for a WAV file (use .w64 or .rf64)";
            return false;
        }
        state->dataBytes += size;
        return state->file.write (state->floats.data(), size, error);
    }

    if ((state->container == SF_FORMAT_WAV || state->container == SF_FORMAT_AIFF)
        && (uint64_t) (state->framesWritten + count) * state->frameBytes > maxClassicBytes)
    {
        error = "cannot write " + state->path + ": longer than its header can describe (4 GiB; use .w64 or .rf64)";
        return false;
    }
    state->framesWritten += count;
    const sf_count_t written = isFloat ? sf_writef_float (state->sound, state->floats.data(), count)
                                       : sf_writef_int (state->sound, state->integers.data(), count);
    if (written != count)
    {
        error = state->descriptor.error != 0 ? state->file.failure (state->descriptor.error)
                                             : "cannot write " + state->path + ": " + sf_strerror (state->sound);
        return false;
    }
    return true;
}

bool Writer::close (std::string& error) { return finish (error) && commit (error); }

bool Writer::commit (std::string& error) { return state->file.commit (error); }

SafeOutputFile& Writer::output() { return state->file; }

bool Writer::finish (std::string& error)
{
    if (state->ownWav)
    {
        const auto header = state->wavHeader();
        if (::pwrite (state->file.descriptor(), header.data(), header.size(), 0) != (ssize_t) header.size())
        {
            error = state->file.failure (errno);
            state->file.discard();
            return false;
        }
    }
    else if (state->sound != nullptr)
    {
        // libsndfile's FLAC encoder starts with the first samples; with none
        // it would leave an empty file, which no reader opens.
        if (state->container == SF_FORMAT_FLAC && state->framesWritten == 0)
            sf_command (state->sound, SFC_UPDATE_HEADER_NOW, nullptr, 0);
        const int status = sf_close (state->sound);
        state->sound = nullptr;
        if (status != 0 || state->descriptor.error != 0)
        {
            error = state->descriptor.error != 0 ? state->file.failure (state->descriptor.error)
                                                 : "cannot write " + state->path + ": " + sf_error_number (status);
            state->file.discard();
            return false;
        }
    }
    return true;
}

//==============================================================================
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
