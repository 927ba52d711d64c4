#pragma once

#include <juce_core/juce_core.h>

#include <string>

/** Writes one state document: a single XML element with attributes and no
    content, on one line, with no declaration and no trailing newline:

        <TAG name="value" name="value"/>

    The bytes are fixed so that every build writes the same chunk for the same
    state: values are "%.9g" of the float widened to double (always with a
    '.', whatever the process locale), and attribute values escape every
    character outside a small safe set, so the text is plain ASCII.
    Attribute names are written as given. Any thread; one writer per document. */
class StateDocumentWriter
{
public:
    explicit StateDocumentWriter (const char* tagName, size_t expectedLength = 256);

    /** Appends a text attribute, escaped. */
    void addText (const std::string& name, const juce::String& value);

    /** Appends a number attribute in "%.9g" form. */
    void addValue (const std::string& name, float value);

    /** The finished document. */
    std::string toText() const;

    /** "%.9g" of the value widened to double: 0.5, 1, 0, 0.100000001, 1e-30,
        -0, 3.40282347e+38. Nine significant digits read back as the same float. */
    static std::string formatValue (float value);

    /** Appends the escaped form of an attribute value: safe characters as
        they are, &quot; &amp; &lt; &gt; &#10; &#13; for those, and &#N; with
        the decimal code for any other character. */
    static void appendEscaped (std::string& destination, const juce::String& value);

private:
    void appendAttributeStart (const std::string& name);

    std::string text;
};
