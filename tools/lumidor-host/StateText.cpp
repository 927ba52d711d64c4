#include "StateText.h"

#include "HostText.h"

#include <algorithm>

namespace
{
constexpr uint32_t magic = 0x21324356u;
constexpr size_t headerSize = 8;
// The plug-in reads no document with more start tags: its XML parser
// recurses once per nested element, and so does ours.
constexpr int maximumElementCount = 64;

uint32_t readLittleEndian32 (const uint8_t* bytes) noexcept
{
    return (uint32_t) bytes[0] | (uint32_t) bytes[1] << 8 | (uint32_t) bytes[2] << 16 | (uint32_t) bytes[3] << 24;
}

/** The document text, or empty when the chunk is not one of ours. */
juce::String unwrap (const std::vector<uint8_t>& chunk)
{
    if (chunk.size() <= headerSize || readLittleEndian32 (chunk.data()) != magic)
        return {};
    const auto* text = reinterpret_cast<const char*> (chunk.data() + headerSize);
    const size_t limit = std::min ((size_t) readLittleEndian32 (chunk.data() + 4), chunk.size() - headerSize);
    const auto* end = std::find (text, text + limit, '\0');
    return HostText::decode (text, (size_t) (end - text));
}

bool isSafeToParse (const juce::String& text)
{
    if (text.contains ("<!DOCTYPE"))
        return false;
    int elements = 0;
    for (const char* p = text.toRawUTF8(); *p != 0; ++p)
        if (p[0] == '<' && p[1] != '/' && p[1] != '!' && p[1] != '?')
            if (++elements > maximumElementCount)
                return false;
    return true;
}
}

namespace StateText
{
std::optional<Attributes> attributes (const std::vector<uint8_t>& chunk)
{
    const auto text = unwrap (chunk);
    if (text.isEmpty() || ! isSafeToParse (text) || ! text.trimEnd().endsWithChar ('>'))
        return std::nullopt;
    juce::XmlDocument document (text);
    const auto root = document.getDocumentElement();
    if (root == nullptr)
        return std::nullopt;

    // Through a NamedValueSet, as the plug-in reads them, so that a name
    // given twice resolves to the same text.
    juce::NamedValueSet set;
    set.setFromXmlAttributes (*root);
    Attributes result;
    for (int i = 0; i < set.size(); ++i)
    {
        const auto* value = set.getVarPointerAt (i);
        if (! value->isBinaryData())
            result.emplace (foldCase (set.getName (i).toString().toStdString()), value->toString().toStdString());
    }
    return result;
}

std::string foldCase (std::string name)
{
    for (auto& c : name)
        if (c >= 'A' && c <= 'Z')
            c = (char) (c - 'A' + 'a');
    return name;
}
}
