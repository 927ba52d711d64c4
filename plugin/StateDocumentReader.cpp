#include "StateDocumentReader.h"

#include <charconv>
#include <cmath>

namespace
{
bool isDigit (char c) noexcept { return c >= '0' && c <= '9'; }
bool isSpace (char c) noexcept { return c == ' ' || (c >= '\t' && c <= '\r'); }

const char* skipDigits (const char* p) noexcept
{
    while (isDigit (*p))
        ++p;
    return p;
}
}

StateDocumentReader::StateDocumentReader (const juce::String& text, const char* requiredTag)
{
    if (! isSafeToParse (text) || ! text.trimEnd().endsWithChar ('>'))
        return;

    juce::XmlDocument document (text);
    const auto root = document.getDocumentElement();

    if (root == nullptr || foldCase (root->getTagName().toStdString()) != foldCase (requiredTag))
        return;

    // The attribute set copies the element's attributes in document order in
    // one pass; the element itself can only be indexed from its first one.
    juce::NamedValueSet set;
    set.setFromXmlAttributes (*root);
    attributes.reserve ((size_t) set.size());

    for (int i = 0; i < set.size(); ++i)
    {
        const auto* value = set.getVarPointerAt (i);

        // Attributes named "base64:..." arrive decoded under a shortened
        // name; no state attribute is written that way.
        if (value->isBinaryData())
            continue;

        attributes.emplace (foldCase (set.getName (i).toString().toStdString()), value->toString());
    }

    valid = true;
}

float StateDocumentReader::getValue (const std::string& name, float fallback) const
{
    const auto found = attributes.find (foldCase (name));
    return found != attributes.end() ? parseValue (found->second) : fallback;
}

juce::String StateDocumentReader::getText (const std::string& name, const juce::String& fallback) const
{
    const auto found = attributes.find (foldCase (name));
    return found != attributes.end() ? found->second : fallback;
}

double StateDocumentReader::parseNumber (const juce::String& text)
{
    const char* p = text.toRawUTF8();

    while (isSpace (*p))
        ++p;

    const char* const start = p;

    if (*p == '+' || *p == '-')
        ++p;

    const char* const integerStart = p;
    p = skipDigits (p);
    bool hasDigits = p != integerStart;

    if (*p == '.')
    {
        const char* const fractionEnd = skipDigits (p + 1);

        if (hasDigits || fractionEnd != p + 1)
        {
            hasDigits = true;
            p = fractionEnd;
        }
    }

    if (! hasDigits)
        return 0.0;

    if (*p == 'e' || *p == 'E')
    {
        const char* exponent = p + 1;

        if (*exponent == '+' || *exponent == '-')
            ++exponent;

        const char* const exponentEnd = skipDigits (exponent);

        if (exponentEnd != exponent)
            p = exponentEnd;
    }

    // from_chars is correctly rounded and ignores the locale; it takes no
    // leading '+'. Out of range (overflow, or underflow past the smallest
    // denormal) it reports an error and leaves the 0.0 in place.
    double value = 0.0;
    const char* const first = *start == '+' ? start + 1 : start;
    const auto result = std::from_chars (first, p, value, std::chars_format::general);
    return result.ec == std::errc() ? value : 0.0;
}

float StateDocumentReader::toFiniteFloat (double value) noexcept
{
    // FLT_MAX plus half its last step: from here on a float rounds to infinity.
    constexpr double firstInfiniteMagnitude = 0x1.ffffffp127;

    if (! std::isfinite (value) || std::abs (value) >= firstInfiniteMagnitude)
        return 0.0f;

    return (float) value;
}

float StateDocumentReader::parseValue (const juce::String& text) { return toFiniteFloat (parseNumber (text)); }

std::string StateDocumentReader::foldCase (const std::string& name)
{
    std::string folded (name);

    for (auto& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = (char) (c - 'A' + 'a');

    return folded;
}

bool StateDocumentReader::isSafeToParse (const juce::String& text)
{
    if (text.contains ("<!DOCTYPE"))
        return false;

    // Every '<' that could open an element counts, wherever it stands: an
    // over-count only refuses documents that no writer of ours produces.
    int elements = 0;

    for (const char* p = text.toRawUTF8(); *p != 0; ++p)
        if (p[0] == '<' && p[1] != '/' && p[1] != '!' && p[1] != '?')
            if (++elements > maximumElementCount)
                return false;

    return true;
}
