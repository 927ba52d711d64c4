#include "StateDocumentWriter.h"

#include <charconv>
#include <cstring>

namespace
{
bool isWrittenAsItIs (juce::juce_wchar c) noexcept
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;

    return c != 0 && c < 128 && std::strchr (" @.,;:-()_+=?!'#[]/\\*%~{}", (int) c) != nullptr;
}
}

StateDocumentWriter::StateDocumentWriter (const char* tagName, size_t expectedLength)
{
    text.reserve (expectedLength);
    text += '<';
    text += tagName;
}

void StateDocumentWriter::appendAttributeStart (const std::string& name)
{
    text += ' ';
    text += name;
    text += "=\"";
}

void StateDocumentWriter::addText (const std::string& name, const juce::String& value)
{
    appendAttributeStart (name);
    appendEscaped (text, value);
    text += '"';
}

void StateDocumentWriter::addValue (const std::string& name, float value)
{
    appendAttributeStart (name);
    text += formatValue (value);
    text += '"';
}

std::string StateDocumentWriter::toText() const { return text + "/>"; }

std::string StateDocumentWriter::formatValue (float value)
{
    // to_chars with a precision is printf's %g in the C locale, so a host
    // that switched the locale to a decimal comma still gets a '.'.
    char buffer[32];
    const auto result = std::to_chars (buffer, buffer + sizeof (buffer), (double) value, std::chars_format::general, 9);
    return std::string (buffer, result.ptr);
}

void StateDocumentWriter::appendEscaped (std::string& destination, const juce::String& value)
{
    for (auto p = value.getCharPointer(); ! p.isEmpty();)
    {
        const auto c = p.getAndAdvance();

        if (isWrittenAsItIs (c))
        {
            destination += (char) c;
            continue;
        }

        switch (c)
        {
            case '"': destination += "&quot;"; break;
            case '&': destination += "&amp;"; break;
            case '<': destination += "&lt;"; break;
            case '>': destination += "&gt;"; break;
            default:
                destination += "&#";
                destination += std::to_string ((std::uint32_t) c);
                destination += ';';
                break;
        }
    }
}
