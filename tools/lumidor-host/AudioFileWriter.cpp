// Writing sound files: through libsndfile onto a SafeOutputFile's
// temporary, except the float WAV, whose header this file writes itself.
#include "AudioFiles.h"

#include "SafeOutputFile.h"

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

static_assert (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the float WAV writer stores samples in host order");

namespace AudioFiles
{
namespace
{
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

}
