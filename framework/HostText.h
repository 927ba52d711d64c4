#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <cstdint>
#include <vector>

/** Text that reaches a plug-in from outside (a host's program name, a stored
    state) as bytes of unknown encoding. */
namespace HostText
{
/** True when the bytes are well-formed UTF-8 as RFC 3629 defines it: no
    overlong forms, no surrogates, nothing above U+10FFFF, no sequence cut
    short by the end. The framework's own decoder is only ever handed such
    text, since it sizes and writes malformed sequences differently and then
    writes past the string it allocated. */
inline bool isStrictUtf8 (const char* text, size_t length) noexcept
{
    const auto* p = reinterpret_cast<const std::uint8_t*> (text);
    size_t i = 0;
    while (i < length)
    {
        const std::uint8_t lead = p[i];
        if (lead < 0x80)
        {
            ++i;
            continue;
        }

        size_t extra = 0;
        std::uint32_t lowest = 0, code = 0;
        if (lead >= 0xc2 && lead <= 0xdf)
        {
            extra = 1;
            lowest = 0x80;
            code = lead & 0x1fu;
        }
        else if (lead >= 0xe0 && lead <= 0xef)
        {
            extra = 2;
            lowest = 0x800;
            code = lead & 0x0fu;
        }
        else if (lead >= 0xf0 && lead <= 0xf4)
        {
            extra = 3;
            lowest = 0x10000;
            code = lead & 0x07u;
        }
        else
            return false;

        if (length - i <= extra)
            return false;
        for (size_t k = 1; k <= extra; ++k)
        {
            const std::uint8_t next = p[i + k];
            if ((next & 0xc0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3fu);
        }
        if (code < lowest || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return false;
        i += extra + 1;
    }
    return true;
}

/** Decodes `length` bytes (which must not contain a zero byte): as UTF-8
    when they are well-formed UTF-8, otherwise byte by byte as Latin-1, the
    likeliest meaning of 8-bit text from an older host, so no byte is
    dropped and nothing is read or written beyond the text. */
inline juce::String decode (const char* text, size_t length)
{
    if (text == nullptr || length == 0)
        return {};
    if (isStrictUtf8 (text, length))
        return juce::String::fromUTF8 (text, (int) length);

    std::vector<juce::juce_wchar> wide (length + 1, 0);
    for (size_t i = 0; i < length; ++i)
        wide[i] = (juce::juce_wchar) (std::uint8_t) text[i];
    return juce::String (juce::CharPointer_UTF32 (wide.data()));
}

/** A zero-terminated string from a host, read to its terminator or to
    `maxBytes`, whichever comes first. */
inline juce::String fromHost (const char* text, size_t maxBytes)
{
    if (text == nullptr)
        return {};
    size_t length = 0;
    while (length < maxBytes && text[length] != 0)
        ++length;
    return decode (text, length);
}
}
