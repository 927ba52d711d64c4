#pragma once

#include <cstdint>
#include <string>
#include <vector>

/** A VST 2 program file (.fxp, form "FPCh") or bank file (.fxb, form "FBCh")
    holding an opaque plug-in chunk. Every integer of the header is stored
    big-endian:

        chunkMagic "CcnK", byteSize (bytes after this field), fxMagic,
        version 1, fxID, fxVersion, numPrograms,
        prgName[28] (program) or future[128] (bank), chunkSize, chunk. */
class FxpFile
{
public:
    enum class Kind
    {
        program,
        bank
    };

    Kind kind = Kind::program;
    int32_t fxID = 0;
    int32_t fxVersion = 0;
    int32_t numPrograms = 0;
    /** Program files only; cut to 27 characters on writing. */
    std::string programName;
    std::vector<uint8_t> chunk;

    std::vector<uint8_t> toBytes() const;
    /** Parses a whole file. Returns false with a reason in `error` when the
        bytes are not a chunk-based program or bank file or are cut short. */
    bool fromBytes (const std::vector<uint8_t>& bytes, std::string& error);

    bool load (const std::string& path, std::string& error);

    /** True when the bytes begin like a chunk-based program or bank file. */
    static bool isFile (const uint8_t* bytes, size_t size) noexcept;

    /** The kind a file name asks for: .fxb is a bank, anything else a program. */
    static Kind kindForPath (const std::string& path);

    static constexpr size_t programHeaderSize = 60;
    static constexpr size_t bankHeaderSize = 160;
};
