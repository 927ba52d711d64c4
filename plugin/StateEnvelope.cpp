#include "StateEnvelope.h"

#include "HostText.h"

#include <algorithm>

namespace
{
void writeLittleEndian32 (std::uint8_t* destination, std::uint32_t value) noexcept
{
    for (int i = 0; i < 4; ++i)
        destination[i] = (std::uint8_t) (value >> (8 * i));
}

std::uint32_t readLittleEndian32 (const std::uint8_t* source) noexcept
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | source[i];
    return value;
}
}

void StateEnvelope::wrap (const std::string& text, juce::MemoryBlock& destination)
{
    const size_t length = text.size();
    destination.setSize (length + (size_t) (headerSize + trailerSize), false);

    auto* bytes = static_cast<std::uint8_t*> (destination.getData());
    writeLittleEndian32 (bytes, magic);
    writeLittleEndian32 (bytes + 4, (std::uint32_t) length);
    std::copy (text.begin(), text.end(), bytes + headerSize);
    bytes[headerSize + length] = 0;
    bytes[headerSize + length + 1] = 0;
}

juce::String StateEnvelope::unwrap (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= headerSize)
        return {};

    const auto* bytes = static_cast<const std::uint8_t*> (data);

    if (readLittleEndian32 (bytes) != magic)
        return {};

    const std::uint32_t storedLength = readLittleEndian32 (bytes + 4);

    if (storedLength == 0)
        return {};

    // Both sizes are unsigned: a stored length with its top bit set is a very
    // large length, limited like any other to the bytes actually present.
    const size_t available = (size_t) sizeInBytes - (size_t) headerSize;
    const size_t limit = std::min ((size_t) storedLength, available);

    const auto* text = reinterpret_cast<const char*> (bytes + headerSize);
    const auto* end = std::find (text, text + limit, '\0');
    return HostText::decode (text, (size_t) (end - text));
}
