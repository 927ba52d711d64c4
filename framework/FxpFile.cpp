#include "FxpFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cctype>
#include <iterator>

namespace
{
constexpr size_t nameFieldSize = 28;
constexpr size_t futureFieldSize = 128;

void putInt (std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back ((uint8_t) (v >> 24));
    out.push_back ((uint8_t) (v >> 16));
    out.push_back ((uint8_t) (v >> 8));
    out.push_back ((uint8_t) v);
}

void putTag (std::vector<uint8_t>& out, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        out.push_back ((uint8_t) tag[i]);
}

uint32_t getInt (const uint8_t* p)
{
    return ((uint32_t) p[0] << 24) | ((uint32_t) p[1] << 16) | ((uint32_t) p[2] << 8) | (uint32_t) p[3];
}

bool tagIs (const uint8_t* p, const char* tag) { return std::equal (p, p + 4, reinterpret_cast<const uint8_t*> (tag)); }
}

std::vector<uint8_t> FxpFile::toBytes() const
{
    const bool bank = kind == Kind::bank;
    const size_t header = bank ? bankHeaderSize : programHeaderSize;

    std::vector<uint8_t> out;
    out.reserve (header + chunk.size());
    putTag (out, "CcnK");
    putInt (out, (uint32_t) (header - 8 + chunk.size()));
    putTag (out, bank ? "FBCh" : "FPCh");
    putInt (out, 1);
    putInt (out, (uint32_t) fxID);
    putInt (out, (uint32_t) fxVersion);
    putInt (out, (uint32_t) numPrograms);

    if (bank)
    {
        out.insert (out.end(), futureFieldSize, 0);
    }
    else
    {
        const auto name = programName.substr (0, nameFieldSize - 1);
        out.insert (out.end(), name.begin(), name.end());
        out.insert (out.end(), nameFieldSize - name.size(), 0);
    }

    putInt (out, (uint32_t) chunk.size());
    out.insert (out.end(), chunk.begin(), chunk.end());
    return out;
}

bool FxpFile::fromBytes (const std::vector<uint8_t>& bytes, std::string& error)
{
    if (bytes.size() < programHeaderSize || ! tagIs (bytes.data(), "CcnK"))
    {
        error = "not a VST program or bank file (no CcnK header)";
        return false;
    }

    const uint8_t* p = bytes.data();
    if (tagIs (p + 8, "FPCh"))
        kind = Kind::program;
    else if (tagIs (p + 8, "FBCh"))
        kind = Kind::bank;
    else if (tagIs (p + 8, "FxCk") || tagIs (p + 8, "FxBk"))
    {
        error = "the file stores parameter values, not a plug-in chunk";
        return false;
    }
    else
    {
        error = "unknown file form \"" + std::string (p + 8, p + 12) + "\"";
        return false;
    }

    const size_t header = kind == Kind::bank ? bankHeaderSize : programHeaderSize;
    if (bytes.size() < header)
    {
        error = "the file ends inside its header";
        return false;
    }

    fxID = (int32_t) getInt (p + 16);
    fxVersion = (int32_t) getInt (p + 20);
    numPrograms = (int32_t) getInt (p + 24);
    if (kind == Kind::program)
    {
        const auto* name = p + 28;
        programName.assign (name, std::find (name, name + nameFieldSize, 0));
    }
    else
    {
        programName.clear();
    }

    const uint64_t chunkSize = getInt (p + header - 4);
    if (chunkSize > bytes.size() - header)
    {
        error = "the chunk size (" + std::to_string (chunkSize) + " bytes) runs past the end of the file";
        return false;
    }
    chunk.assign (p + header, p + header + chunkSize);
    return true;
}

bool FxpFile::load (const std::string& path, std::string& error)
{
    // Plain descriptor reads: a stream reading a folder throws from inside
    // the library instead of failing, and a device or pipe never ends.
    const int fd = ::open (path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
    {
        error = "cannot read " + path + ": " + std::strerror (errno);
        return false;
    }
    struct stat info
    {
    };
    if (::fstat (fd, &info) != 0 || ! S_ISREG (info.st_mode))
    {
        const int reason = S_ISDIR (info.st_mode) ? EISDIR : EINVAL;
        ::close (fd);
        error = "cannot read " + path + ": "
                + (reason == EISDIR ? std::string (std::strerror (EISDIR)) : "not a regular file");
        return false;
    }
    // Our chunks are a few tens of kilobytes; anything past this is not one.
    constexpr off_t largestFile = 64 << 20;
    if (info.st_size > largestFile)
    {
        ::close (fd);
        error = path + ": too large for a program or bank file";
        return false;
    }

    std::vector<uint8_t> bytes ((size_t) info.st_size);
    size_t got = 0;
    while (got < bytes.size())
    {
        const auto n = ::read (fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            error = "cannot read " + path + ": " + std::strerror (errno);
            ::close (fd);
            return false;
        }
        if (n == 0)
            break;
        got += (size_t) n;
    }
    ::close (fd);
    bytes.resize (got);

    if (! fromBytes (bytes, error))
    {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool FxpFile::isFile (const uint8_t* bytes, size_t size) noexcept
{
    return bytes != nullptr && size >= programHeaderSize && tagIs (bytes, "CcnK")
           && (tagIs (bytes + 8, "FPCh") || tagIs (bytes + 8, "FBCh"));
}

FxpFile::Kind FxpFile::kindForPath (const std::string& path)
{
    auto lower = path;
    std::transform (lower.begin(), lower.end(), lower.begin(),
                    [] (unsigned char c) { return (char) std::tolower (c); });
    return lower.size() >= 4 && lower.compare (lower.size() - 4, 4, ".fxb") == 0 ? Kind::bank : Kind::program;
}
