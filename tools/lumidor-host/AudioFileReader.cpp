// Reading sound files: libsndfile's readers, with what they leave unsaid
// (a file cut short, a damaged Ogg stream) found out and reported.
#include "AudioFiles.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace AudioFiles
{
namespace
{
// Integer samples as read by sf_readf_int are left-justified in 32 bits;
// dividing by 2^31 is exact for every sample of up to 24 bits.
constexpr double intScale = 2147483648.0;

/** libsndfile's reading log holds "data : 8000 (should be 4888)" when a
    chunk claims more bytes than the file has (" SSND : ..." in AIFF); W64
    and RF64 say it of the whole file ("riff : ...", "Riff size : ..."). */
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
}

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
        nonFinite += std::count_if (state->floats.begin(), state->floats.begin() + got * c,
                                    [] (float v) { return ! std::isfinite (v); });
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

}
