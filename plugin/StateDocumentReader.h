#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <unordered_map>

/** Reads one state document: parses the text with the framework's XML parser,
    checks the root tag, and answers attribute look-ups by name without regard
    to case, the first attribute in document order winning.

    A document is usable only when it is complete: well-formed as the parser
    sees it and ending with the '>' that closes the root element, so a
    truncated chunk is refused rather than read in part. It must also hold at
    most maximumElementCount start tags and no DTD: the parser recurses once
    per nested element, so a crafted chunk of deeply nested tags would run it
    off the end of the thread's stack, and DTD entities could stand for
    elements that the count does not see.

    Case is folded for ASCII letters only, so the look-up does not depend on
    the process locale. Any thread; the reader owns a copy of what it read. */
class StateDocumentReader
{
public:
    /** Parses the text; isValid() says whether it is a usable document whose
        root tag matches requiredTag without regard to case. */
    StateDocumentReader (const juce::String& text, const char* requiredTag);

    bool isValid() const noexcept { return valid; }

    /** The attribute parsed as a number and made a finite float, or the
        fallback when the document has no attribute of that name. */
    float getValue (const std::string& name, float fallback) const;

    /** The attribute's text, or the fallback when it is absent. */
    juce::String getText (const std::string& name, const juce::String& fallback) const;

    /** The number at the start of the text: white space skipped, then the
        longest prefix of the form [sign] digits [. digits] [e [sign] digits]
        (digits on at least one side of the point); 0.0 when there is none
        or when it does not fit a double. Independent of the locale. */
    static double parseNumber (const juce::String& text);

    /** The double as a float, or 0.0 when it is not finite or rounds to an
        infinite float: a state value is always finite. */
    static float toFiniteFloat (double value) noexcept;

    /** A parsed attribute value: parseNumber, then toFiniteFloat. */
    static float parseValue (const juce::String& text);

    /** ASCII letters in lower case, everything else as it is. */
    static std::string foldCase (const std::string& name);

    /** More start tags than this and a document is refused unparsed. Ours
        have one. */
    static constexpr int maximumElementCount = 64;

private:
    static bool isSafeToParse (const juce::String& text);

    std::unordered_map<std::string, juce::String> attributes;
    bool valid = false;
};
