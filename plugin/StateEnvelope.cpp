#include "StateEnvelope.h"

#include <algorithm>
#include <vector>

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

juce::String decodeText (const char* text, size_t length)
{
    if (length == 0)
        return {};

    if (juce::CharPointer_UTF8::isValidString (text, (int) length))
        return juce::String::fromUTF8 (text, (int) length);

    // Not UTF-8: every byte stands for the character of the same code, so no
    // byte is dropped and no decoder reads past the text.
    std::vector<juce::juce_wchar> wide (length + 1, 0);
    for (size_t i = 0; i < length; ++i)
        wide[i] = (juce::juce_wchar) (std::uint8_t) text[i];
    return juce::String (juce::CharPointer_UTF32 (wide.data()));
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
    return decodeText (text, (size_t) (end - text));
}
