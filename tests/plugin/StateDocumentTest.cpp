#include "StateDocumentReader.h"
#include "StateDocumentWriter.h"
#include "StateEnvelope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
std::vector<unsigned char> bytesOf (const juce::MemoryBlock& block)
{
    const auto* p = static_cast<const unsigned char*> (block.getData());
    return std::vector<unsigned char> (p, p + block.getSize());
}

std::vector<unsigned char> chunk (std::uint32_t storedLength, const std::string& body)
{
    std::vector<unsigned char> c { 0x56, 0x43, 0x32, 0x21 };
    for (int i = 0; i < 4; ++i)
        c.push_back ((unsigned char) (storedLength >> (8 * i)));
    c.insert (c.end(), body.begin(), body.end());
    return c;
}

juce::String unwrap (const std::vector<unsigned char>& c) { return StateEnvelope::unwrap (c.data(), (int) c.size()); }

std::uint32_t bitsOf (float f)
{
    std::uint32_t u;
    std::memcpy (&u, &f, sizeof (u));
    return u;
}

std::string escaped (const juce::String& s)
{
    std::string out;
    StateDocumentWriter::appendEscaped (out, s);
    return out;
}
}

TEST (StateValueText, IsPercentNineGOfTheWidenedFloat)
{
    EXPECT_EQ (StateDocumentWriter::formatValue (0.5f), "0.5");
    EXPECT_EQ (StateDocumentWriter::formatValue (1.0f), "1");
    EXPECT_EQ (StateDocumentWriter::formatValue (0.0f), "0");
    EXPECT_EQ (StateDocumentWriter::formatValue (-0.0f), "-0");
    EXPECT_EQ (StateDocumentWriter::formatValue (0.1f), "0.100000001");
    EXPECT_EQ (StateDocumentWriter::formatValue (0.3f), "0.300000012");
    EXPECT_EQ (StateDocumentWriter::formatValue (1e-30f), "1e-30");
    EXPECT_EQ (StateDocumentWriter::formatValue (3e38f), "3.00000001e+38");
    EXPECT_EQ (StateDocumentWriter::formatValue (std::numeric_limits<float>::max()), "3.40282347e+38");
    EXPECT_EQ (StateDocumentWriter::formatValue (std::numeric_limits<float>::denorm_min()), "1.40129846e-45");
    EXPECT_EQ (StateDocumentWriter::formatValue (-1234.5f), "-1234.5");
    EXPECT_EQ (StateDocumentWriter::formatValue (123456789.0f), "123456792");
    EXPECT_EQ (StateDocumentWriter::formatValue (1e9f), "1e+09");
}

TEST (StateValueText, ReadsBackAsTheIdenticalFloat)
{
    const float awkward[] = { 0.1f,
                              1e-30f,
                              -0.0f,
                              3e38f,
                              1.0f / 3.0f,
                              0.999999f,
                              -2.5e-7f,
                              std::numeric_limits<float>::max(),
                              std::numeric_limits<float>::lowest(),
                              std::numeric_limits<float>::min(),
                              std::numeric_limits<float>::denorm_min() };
    for (float v : awkward)
        EXPECT_EQ (bitsOf (StateDocumentReader::parseValue (StateDocumentWriter::formatValue (v))), bitsOf (v)) << v;
}

TEST (StateEscaping, KeepsTheSafeCharactersAsTheyAre)
{
    const juce::String safe ("AZaz09 @.,;:-()_+=?!'#[]/\\*%~{}");
    EXPECT_EQ (escaped (safe), safe.toStdString());
}

TEST (StateEscaping, ReplacesMarkupAndLineBreaksByEntities)
{
    EXPECT_EQ (escaped ("\"&<>"), "&quot;&amp;&lt;&gt;");
    EXPECT_EQ (escaped ("a\nb\rc\td"), "a&#10;b&#13;c&#9;d");
}

TEST (StateEscaping, WritesEveryOtherCharacterAsItsDecimalCode)
{
    EXPECT_EQ (escaped ("$^`|"), "&#36;&#94;&#96;&#124;");
    EXPECT_EQ (escaped (juce::String::fromUTF8 ("\xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80")),
               "&#233;t&#233; &#8364; &#128512;");
    EXPECT_EQ (escaped (juce::String::charToString (0x7f)), "&#127;");
}

TEST (StateDocumentText, IsOneLineWithNoDeclaration)
{
    StateDocumentWriter w ("TAG");
    w.addText ("Version", "1.1.0");
    w.addValue ("x", 0.25f);
    w.addText ("name", "a\"b");
    EXPECT_EQ (w.toText(), "<TAG Version=\"1.1.0\" x=\"0.25\" name=\"a&quot;b\"/>");
    EXPECT_EQ (StateDocumentWriter ("EMPTY").toText(), "<EMPTY/>");
}

TEST (StateEnvelopeWrap, PutsMagicLengthTextAndTwoZeroBytes)
{
    juce::MemoryBlock block (3, true);
    StateEnvelope::wrap ("<A/>", block);
    const std::vector<unsigned char> expected { 0x56, 0x43, 0x32, 0x21, 4, 0, 0, 0, '<', 'A', '/', '>', 0, 0 };
    EXPECT_EQ (bytesOf (block), expected);
}

TEST (StateEnvelopeUnwrap, RefusesChunksThatHoldNoText)
{
    const auto good = chunk (4, std::string ("<A/>\0\0", 6));
    EXPECT_EQ (unwrap (good), "<A/>");

    EXPECT_EQ (StateEnvelope::unwrap (nullptr, 100), "");
    EXPECT_EQ (StateEnvelope::unwrap (good.data(), -5), "");
    EXPECT_EQ (StateEnvelope::unwrap (good.data(), 8), "");
    EXPECT_EQ (unwrap (chunk (0, "<A/>")), "");

    auto wrongMagic = good;
    wrongMagic[3] = 0x22;
    EXPECT_EQ (unwrap (wrongMagic), "");
}

TEST (StateEnvelopeUnwrap, LimitsTheTextToTheStoredLengthAndTheBytesPresent)
{
    EXPECT_EQ (unwrap (chunk (2, "<A/>")), "<A");
    EXPECT_EQ (unwrap (chunk (1000, "<A/>")), "<A/>");
    EXPECT_EQ (unwrap (chunk (4, std::string ("<A\0/>", 5))), "<A");
}

TEST (StateEnvelopeUnwrap, TakesALengthWithTheTopBitSetAsLargeNotNegative)
{
    EXPECT_EQ (unwrap (chunk (0x80000000u, "<A/>")), "<A/>");
    EXPECT_EQ (unwrap (chunk (0xffffffffu, "<A/>")), "<A/>");
}

TEST (StateEnvelopeUnwrap, ReadsUtf8AndKeepsOtherBytesOneCharacterEach)
{
    EXPECT_EQ (unwrap (chunk (3, "a\xc3\xa9")), juce::String::fromUTF8 ("a\xc3\xa9"));
    const auto latin = unwrap (chunk (3, "a\xe9z"));
    ASSERT_EQ (latin.length(), 3);
    EXPECT_EQ ((int) latin[1], 0xe9);
    EXPECT_EQ (unwrap (chunk (2, "\xf0\x9f")).length(), 2);
}

TEST (StateNumberGrammar, TakesTheLongestNumberAfterWhiteSpace)
{
    struct Case
    {
        const char* text;
        double value;
    };
    const Case cases[] = {
        { "0.5", 0.5 },        { "  \t\n1.25xyz", 1.25 },
        { "+.5e-3x", 0.0005 }, { "-7.", -7.0 },
        { "12e", 12.0 },       { "12e+", 12.0 },
        { "1E+2", 100.0 },     { "2e-1.5", 0.2 },
        { "1.5.5", 1.5 },      { "0x10", 0.0 },
        { "--1", 0.0 },        { "+-1", 0.0 },
        { ".", 0.0 },          { ".e5", 0.0 },
        { "- 1", 0.0 },        { "", 0.0 },
        { "abc", 0.0 },        { "inf", 0.0 },
        { "nan", 0.0 },        { "infinity", 0.0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ (StateDocumentReader::parseNumber (c.text), c.value) << c.text;
}

TEST (StateNumberGrammar, ReadsOutOfRangeNumbersAsZero)
{
    EXPECT_EQ (StateDocumentReader::parseNumber ("1e999"), 0.0);
    EXPECT_EQ (StateDocumentReader::parseNumber ("-1e999"), 0.0);
    EXPECT_EQ (StateDocumentReader::parseNumber ("1e-999"), 0.0);
    EXPECT_EQ (StateDocumentReader::parseNumber ("1e99999999999999999999"), 0.0);
}

TEST (StateNumberGrammar, MakesEveryValueAFiniteFloat)
{
    EXPECT_EQ (StateDocumentReader::parseValue ("1e39"), 0.0f);
    EXPECT_EQ (StateDocumentReader::parseValue ("-1e39"), 0.0f);
    EXPECT_EQ (StateDocumentReader::parseValue ("3.4028236e38"), 0.0f);
    EXPECT_EQ (StateDocumentReader::parseValue ("3.40282356e38"), std::numeric_limits<float>::max());
    EXPECT_EQ (StateDocumentReader::toFiniteFloat (std::numeric_limits<double>::infinity()), 0.0f);
    EXPECT_EQ (StateDocumentReader::toFiniteFloat (std::numeric_limits<double>::quiet_NaN()), 0.0f);
    EXPECT_EQ (StateDocumentReader::parseValue ("1e-50"), 0.0f);
}

TEST (StateDocumentLookup, IgnoresTheCaseOfTagAndAttributeNames)
{
    const StateDocumentReader r ("<Lumidor_Preset fDECAY=\"0.25\" ProgramName=\"x\"/>", "LUMIDOR_PRESET");
    ASSERT_TRUE (r.isValid());
    EXPECT_EQ (r.getValue ("fDecay", 9.0f), 0.25f);
    EXPECT_EQ (r.getText ("programName", "fallback"), "x");
}

TEST (StateDocumentLookup, LetsTheFirstMatchInDocumentOrderWin)
{
    const StateDocumentReader r ("<T a=\"1\" A=\"2\" a=\"3\"/>", "T");
    ASSERT_TRUE (r.isValid());
    EXPECT_EQ (r.getValue ("a", 9.0f), 1.0f);
}

TEST (StateDocumentLookup, FallsBackForAbsentAttributesOnly)
{
    const StateDocumentReader r ("<T empty=\"\" word=\"loud\" name=\"\"/>", "T");
    ASSERT_TRUE (r.isValid());
    EXPECT_EQ (r.getValue ("missing", 0.75f), 0.75f);
    EXPECT_EQ (r.getValue ("empty", 0.75f), 0.0f);
    EXPECT_EQ (r.getValue ("word", 0.75f), 0.0f);
    EXPECT_EQ (r.getText ("name", "fallback"), "");
    EXPECT_EQ (r.getText ("absent", "fallback"), "fallback");
}

TEST (StateDocumentLookup, DecodesEntitiesInValues)
{
    const StateDocumentReader r ("<T n=\"&quot;&amp;&lt;&gt;&#10;&#233;&#x41;\"/>", "T");
    ASSERT_TRUE (r.isValid());
    EXPECT_EQ (r.getText ("n", ""), juce::String::fromUTF8 ("\"&<>\n\xc3\xa9"
                                                            "A"));
}

TEST (StateDocumentValidity, RefusesAnotherTagOrTextThatIsNoDocument)
{
    EXPECT_TRUE (StateDocumentReader ("<?xml version=\"1.0\"?>\n<T a=\"1\"/>\n", "T").isValid());
    EXPECT_TRUE (StateDocumentReader ("<T a=\"1\"></T>", "T").isValid());
    EXPECT_FALSE (StateDocumentReader ("<U a=\"1\"/>", "T").isValid());
    EXPECT_FALSE (StateDocumentReader ("<TT/>", "T").isValid());
    EXPECT_FALSE (StateDocumentReader ("", "T").isValid());
    EXPECT_FALSE (StateDocumentReader ("T a=\"1\"/>", "T").isValid());
    EXPECT_FALSE (StateDocumentReader ("<T a=\"1/>", "T").isValid());
    EXPECT_FALSE (StateDocumentReader ("<T a\"1\"/>", "T").isValid());
    EXPECT_FALSE (StateDocumentReader ("<T a=\"1\"><U></T>", "T").isValid());
}

TEST (StateDocumentValidity, RefusesATruncatedDocument)
{
    // The parser itself accepts each of these as a complete element.
    EXPECT_FALSE (StateDocumentReader ("<T a=\"1\" b=\"2\"", "T").isValid());
    EXPECT_FALSE (StateDocumentReader ("<T a=\"1\" ", "T").isValid());
    EXPECT_FALSE (StateDocumentReader ("<T", "T").isValid());
    EXPECT_FALSE (StateDocumentReader ("<T a=", "T").isValid());
}

TEST (StateDocumentValidity, RefusesDocumentsThatWouldExhaustTheParser)
{
    std::string deep;
    for (int i = 0; i < 200000; ++i)
        deep += "<T>";
    EXPECT_FALSE (StateDocumentReader (deep + "</T>", "T").isValid());

    // Each reference to the entity would become an element.
    std::string references;
    for (int i = 0; i < 1000; ++i)
        references += "&e;";
    EXPECT_FALSE (StateDocumentReader ("<!DOCTYPE T [<!ENTITY e \"<a/>\">]><T>" + references + "</T>", "T").isValid());

    std::string children = "<T>";
    for (int i = 0; i < StateDocumentReader::maximumElementCount - 1; ++i)
        children += "<c/>";
    EXPECT_TRUE (StateDocumentReader (children + "</T>", "T").isValid());
    EXPECT_FALSE (StateDocumentReader (children + "<c/></T>", "T").isValid());
}
