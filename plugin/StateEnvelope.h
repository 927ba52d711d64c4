#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <string>

/** The binary envelope in which a state document travels to the host:

    offset 0      4 bytes  magic 0x21324356, little-endian ("VC2!")
    offset 4      4 bytes  L, unsigned little-endian: characters of the text
    offset 8      L bytes  the document text, one byte per character
    offset 8 + L  1 byte   zero
    offset 9 + L  1 byte   spare, zero

    Knows nothing about the documents themselves. Any thread; no state. */
class StateEnvelope
{
public:
    static constexpr std::uint32_t magic = 0x21324356u;
    static constexpr int headerSize = 8;
    static constexpr int trailerSize = 2;

    /** Replaces the block's contents with the envelope around the text, which
        is copied byte for byte (L + 10 bytes in all). */
    static void wrap (const std::string& text, juce::MemoryBlock& destination);

    /** The document text of a chunk, or an empty string when the chunk cannot
        hold one: a null pointer, 8 bytes or fewer, a wrong magic or a stored
        length of 0. The text stops at the stored length, at the end of the
        bytes present, or at the first zero byte, whichever comes first. Bytes
        that are not valid UTF-8 are taken one character each (Latin-1). */
    static juce::String unwrap (const void* data, int sizeInBytes);
};
