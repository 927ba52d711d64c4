#include "FilterTestSupport.h"
#include "StateEnvelope.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace
{
const char* const newPresetText =
    "<LUMIDOR_PRESET Version=\"1.1.0\" fEarlySize=\"0.5\" fLateSize=\"0.5\" fDecay=\"0.5\""
    " fDiffusion=\"0.5\" fListenerPos=\"0.5\" fMix=\"0.5\" fVolume=\"0.5\" fOnButton=\"1\""
    " fLeftSelButton=\"0\" fRightSelButton=\"0\" fStereoSelButton=\"1\" programName=\"Default\"/>";

const char* const stateKeys[] = { "fEarlySize",      "fLateSize",       "fDecay",
                                  "fDiffusion",      "fListenerPos",    "fMix",
                                  "fVolume",         "fOnButton",       "fLeftSelButton",
                                  "fRightSelButton", "fStereoSelButton" };

using Values = std::array<float, 11>;

std::vector<unsigned char> chunkOfText (const std::string& text, std::uint32_t storedLength)
{
    std::vector<unsigned char> c { 0x56, 0x43, 0x32, 0x21 };
    for (int i = 0; i < 4; ++i)
        c.push_back ((unsigned char) (storedLength >> (8 * i)));
    c.insert (c.end(), text.begin(), text.end());
    c.push_back (0);
    c.push_back (0);
    return c;
}

std::vector<unsigned char> chunkOfText (const std::string& text)
{
    return chunkOfText (text, (std::uint32_t) text.size());
}

std::vector<unsigned char> bytesOf (const juce::MemoryBlock& block)
{
    const auto* p = static_cast<const unsigned char*> (block.getData());
    return std::vector<unsigned char> (p, p + block.getSize());
}

std::string textOf (const juce::MemoryBlock& chunk)
{
    const auto* p = static_cast<const char*> (chunk.getData());
    return std::string (p + 8, chunk.getSize() - 10);
}

std::vector<unsigned char> presetOf (DemoJuceFilter& f)
{
    juce::MemoryBlock b;
    f.writePresetState (b);
    return bytesOf (b);
}

std::vector<unsigned char> bankOf (DemoJuceFilter& f)
{
    juce::MemoryBlock b;
    f.writeBankState (b);
    return bytesOf (b);
}

void readPreset (DemoJuceFilter& f, const std::vector<unsigned char>& c)
{
    f.readPresetState (c.data(), (int) c.size());
}
void readBank (DemoJuceFilter& f, const std::vector<unsigned char>& c) { f.readBankState (c.data(), (int) c.size()); }

std::uint32_t bitsOf (float v)
{
    std::uint32_t u;
    std::memcpy (&u, &v, sizeof (u));
    return u;
}

Values liveValues (DemoJuceFilter& f)
{
    Values v {};
    for (int i = 0; i < 11; ++i)
        v[(size_t) i] = f.parameterValue (i);
    return v;
}

void setAll (DemoJuceFilter& f, const Values& v)
{
    for (int i = 0; i < 11; ++i)
        f.setParameterValue (i, v[(size_t) i]);
}

void expectBitIdentical (const Values& actual, const Values& expected)
{
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ (bitsOf (actual[i]), bitsOf (expected[i]))
            << "parameter " << i << ": " << actual[i] << " vs " << expected[i];
}

// Every record and name of the filter as the bank writes them, plus the live
// values and the current program and name.
struct Snapshot
{
    explicit Snapshot (DemoJuceFilter& f)
        : bank (bankOf (f))
        , live (liveValues (f))
        , current (f.currentProgramIndex())
        , name (f.getProgramName())
    {
    }

    bool operator== (const Snapshot& o) const
    {
        return bank == o.bank && current == o.current && name == o.name
               && std::memcmp (live.data(), o.live.data(), sizeof (live)) == 0;
    }

    std::vector<unsigned char> bank;
    Values live;
    int current;
    juce::String name;
};

// Parameters set apart from the defaults, spread over several programs.
void makeDistinctive (DemoJuceFilter& f)
{
    for (int p : { 0, 5, 127 })
    {
        f.selectProgram (p);
        for (int i = 0; i < 11; ++i)
            f.setParameterValue (i, 0.01f * (float) (p + i + 1));
        f.renameProgram (p, "Program " + juce::String (p));
    }
    f.selectProgram (5);
}

const Values awkwardValues { 0.1f,
                             1e-30f,
                             -0.0f,
                             3e38f,
                             0.999999f,
                             1.0f / 3.0f,
                             -2.5f,
                             std::numeric_limits<float>::denorm_min(),
                             std::numeric_limits<float>::max(),
                             0.0f,
                             1.0f };

const juce::String awkwardName = juce::String::fromUTF8 ("Hall \"A\" & <B>\n\xc3\xa9t\xc3\xa9 \xe2\x82\xac");
}

TEST (PresetChunk, OfANewInstanceIsTheExact246Bytes)
{
    DemoJuceFilter f;
    const auto chunk = presetOf (f);

    ASSERT_EQ (std::strlen (newPresetText), 236u);
    std::vector<unsigned char> expected { 0x56, 0x43, 0x32, 0x21, 236, 0, 0, 0 };
    expected.insert (expected.end(), newPresetText, newPresetText + 236);
    expected.push_back (0);
    expected.push_back (0);
    EXPECT_EQ (chunk, expected);
}

TEST (BankChunk, OfANewInstanceHoldsAllProgramsIn29303Characters)
{
    DemoJuceFilter f;
    juce::MemoryBlock chunk;
    f.writeBankState (chunk);

    std::string expected = "<LUMIDOR_BANK Version=\"1.1.0\"";
    const char* values[] = { "0.5", "0.5", "0.5", "0.5", "0.5", "0.5", "0.5", "1", "0", "0", "1" };
    for (int p = 0; p < 128; ++p)
    {
        for (int i = 0; i < 11; ++i)
            expected += " " + std::string (stateKeys[i]) + std::to_string (p) + "=\"" + values[i] + "\"";
        expected += " ProgramName" + std::to_string (p) + "=\"Default\"";
    }
    expected += "/>";

    ASSERT_EQ (expected.size(), 29303u);
    ASSERT_EQ (chunk.getSize(), 29313u);
    const auto* b = static_cast<const unsigned char*> (chunk.getData());
    EXPECT_EQ (std::vector<unsigned char> (b, b + 8),
               (std::vector<unsigned char> { 0x56, 0x43, 0x32, 0x21, 0x77, 0x72, 0, 0 }));
    EXPECT_EQ (textOf (chunk), expected);
    EXPECT_EQ (b[29311], 0);
    EXPECT_EQ (b[29312], 0);
}

TEST (PresetChunk, CarriesTheLiveValuesAndTheEscapedName)
{
    DemoJuceFilter f;
    setAll (f, awkwardValues);
    f.renameProgram (0, awkwardName);
    juce::MemoryBlock chunk;
    f.writePresetState (chunk);

    EXPECT_EQ (textOf (chunk),
               "<LUMIDOR_PRESET Version=\"1.1.0\" fEarlySize=\"0.100000001\" fLateSize=\"1e-30\" fDecay=\"-0\""
               " fDiffusion=\"3.00000001e+38\" fListenerPos=\"0.999998987\" fMix=\"0.333333343\" fVolume=\"-2.5\""
               " fOnButton=\"1.40129846e-45\" fLeftSelButton=\"3.40282347e+38\" fRightSelButton=\"0\" fStereoSelButton=\"1\""
               " programName=\"Hall &quot;A&quot; &amp; &lt;B&gt;&#10;&#233;t&#233; &#8364;\"/>");
}

TEST (PresetRoundTrip, ReproducesEveryValueBitForBitAndTheName)
{
    DemoJuceFilter source;
    setAll (source, awkwardValues);
    source.renameProgram (0, awkwardName);
    const auto chunk = presetOf (source);

    DemoJuceFilter target;
    target.selectProgram (3);
    readPreset (target, chunk);

    expectBitIdentical (liveValues (target), awkwardValues);
    EXPECT_EQ (target.getProgramName(), awkwardName);
    EXPECT_EQ (presetOf (target), chunk);
}

TEST (PresetRestore, GoesIntoTheCurrentProgramOnly)
{
    DemoJuceFilter source;
    setAll (source, awkwardValues);
    source.renameProgram (0, "Restored");
    const auto chunk = presetOf (source);

    DemoJuceFilter target;
    target.selectProgram (3);
    readPreset (target, chunk);

    EXPECT_EQ (target.currentProgramIndex(), 3);
    EXPECT_EQ (target.programNameAt (3), "Restored");
    EXPECT_EQ (target.programNameAt (2), "Default");

    target.selectProgram (2);
    expectBitIdentical (liveValues (target),
                        Values { 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 1.0f });
    target.selectProgram (3);
    expectBitIdentical (liveValues (target), awkwardValues);
}

TEST (PresetRestore, KeepsThePresentValueOfAMissingAttribute)
{
    DemoJuceFilter f;
    f.setParameterValue (2, 0.875f);
    f.renameProgram (0, "Kept");
    std::string text = newPresetText;
    text.replace (text.find (" fDecay=\"0.5\""), 13, "");
    text.replace (text.find ("fMix=\"0.5\""), 10, "fMix=\"0.25\"");
    text.replace (text.find (" programName=\"Default\""), 22, "");

    readPreset (f, chunkOfText (text));

    EXPECT_EQ (f.parameterValue (2), 0.875f);
    EXPECT_EQ (f.parameterValue (5), 0.25f);
    EXPECT_EQ (f.getProgramName(), "Kept");
    f.selectProgram (1);
    f.selectProgram (0);
    EXPECT_EQ (f.parameterValue (2), 0.875f);
    EXPECT_EQ (f.parameterValue (5), 0.25f);
}

TEST (PresetRestore, AcceptsTagAndAttributesInAnyCase)
{
    DemoJuceFilter f;
    readPreset (f, chunkOfText ("<lumidor_preset FEARLYSIZE=\"0.125\" fearlysize=\"0.75\" PROGRAMNAME=\"Lower\"/>"));
    EXPECT_EQ (f.parameterValue (0), 0.125f);
    EXPECT_EQ (f.getProgramName(), "Lower");
}

TEST (PresetRestore, ReadsValuesThatAreNoNumberOrDoNotFitAFloatAsZero)
{
    DemoJuceFilter f;
    readPreset (f, chunkOfText ("<LUMIDOR_PRESET fEarlySize=\"1e999\" fLateSize=\"1e39\" fDecay=\"nan\""
                                " fDiffusion=\"inf\" fListenerPos=\"-1e39\" fMix=\" 0.75dB\" fVolume=\"loud\"/>"));
    const Values expected { 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.75f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f };
    expectBitIdentical (liveValues (f), expected);
}

TEST (StateRestore, RefusesTheOtherDocumentAndChangesNothing)
{
    DemoJuceFilter source;
    makeDistinctive (source);
    const auto preset = presetOf (source);
    const auto bank = bankOf (source);

    DemoJuceFilter f;
    f.setParameterValue (4, 0.2f);
    const Snapshot before (f);

    readBank (f, preset);
    EXPECT_TRUE (Snapshot (f) == before);
    readPreset (f, bank);
    EXPECT_TRUE (Snapshot (f) == before);
    readPreset (f, chunkOfText ("<LUMIDOR_PRESETS fEarlySize=\"0.1\"/>"));
    EXPECT_TRUE (Snapshot (f) == before);
}

TEST (StateRestore, IgnoresUnusableChunks)
{
    DemoJuceFilter f;
    makeDistinctive (f);
    const Snapshot before (f);
    const auto good = chunkOfText ("<LUMIDOR_PRESET fEarlySize=\"0.1\"/>");

    auto wrongMagic = good;
    wrongMagic[0] = 0x57;
    const std::vector<std::vector<unsigned char>> unusable {
        {},
        std::vector<unsigned char> (good.begin(), good.begin() + 8),
        wrongMagic,
        chunkOfText ("<LUMIDOR_PRESET fEarlySize=\"0.1\"/>", 0),
        chunkOfText ("<LUMIDOR_PRESET fEarlySize=\"0.1\"></LUMIDOR_BANK"),
        chunkOfText ("<LUMIDOR_PRESET fEarlySize=\"0.1\" <x/>"),
        chunkOfText ("not xml at all"),
    };
    for (const auto& c : unusable)
    {
        readPreset (f, c);
        readBank (f, c);
        EXPECT_TRUE (Snapshot (f) == before) << std::string (c.begin(), c.end());
    }

    f.readPresetState (nullptr, 100);
    f.readBankState (nullptr, 100);
    f.readPresetState (good.data(), -1);
    f.readBankState (good.data(), std::numeric_limits<int>::min());
    EXPECT_TRUE (Snapshot (f) == before);
}

TEST (StateRestore, RefusesATruncatedChunkWhole)
{
    DemoJuceFilter source;
    setAll (source, awkwardValues);
    makeDistinctive (source);
    auto preset = textOf (
        [&]
        {
            juce::MemoryBlock b;
            source.writePresetState (b);
            return b;
        }());
    auto bank = textOf (
        [&]
        {
            juce::MemoryBlock b;
            source.writeBankState (b);
            return b;
        }());

    DemoJuceFilter f;
    f.setParameterValue (1, 0.3f);
    const Snapshot before (f);

    // Cut after a complete attribute, before a space and mid-value: none is
    // a document, even where the parser would take it for one.
    const auto afterFDecay = [] (const std::string& t, const std::string& key)
    {
        return t.find ('"', t.find (key + "=\"") + key.size() + 2) + 1;
    };
    for (size_t cut :
         { afterFDecay (preset, "fDecay"), afterFDecay (preset, "fDecay") + 1, preset.size() - 5, preset.size() - 1 })
    {
        readPreset (f, chunkOfText (preset.substr (0, cut)));
        EXPECT_TRUE (Snapshot (f) == before) << cut;
    }
    for (size_t cut : { afterFDecay (bank, "ProgramName60"), bank.size() / 2, bank.size() - 1 })
    {
        readBank (f, chunkOfText (bank.substr (0, cut)));
        EXPECT_TRUE (Snapshot (f) == before) << cut;
    }

    // The same chunk with the stored length beyond the data.
    auto shortData = chunkOfText (bank);
    shortData.resize (shortData.size() / 2);
    readBank (f, shortData);
    EXPECT_TRUE (Snapshot (f) == before);

    // A bad tail leaves the good start of the bank unused.
    readBank (f, chunkOfText (bank.substr (0, bank.size() - 2) + "&/>"));
    readBank (f, chunkOfText (bank.substr (0, bank.size() - 2) + "x=\"1/>"));
    EXPECT_TRUE (Snapshot (f) == before);
}

TEST (StateRestore, ReadsAChunkWhoseStoredLengthHasTheTopBitSet)
{
    DemoJuceFilter f;
    const std::string text = "<LUMIDOR_PRESET fEarlySize=\"0.125\" programName=\"Long\"/>";
    for (std::uint32_t length : { 0x80000000u, 0xfffffff0u, 0xffffffffu })
    {
        f.setParameterValue (0, 0.5f);
        readPreset (f, chunkOfText (text, length));
        EXPECT_EQ (f.parameterValue (0), 0.125f) << length;
        EXPECT_EQ (f.getProgramName(), "Long");
    }
}

TEST (StateRestore, BroadcastsOnceAfterASuccessAndNeverAfterAFailure)
{
    DemoJuceFilter f;
    const auto preset = presetOf (f);
    const auto bank = bankOf (f);
    pumpMessages (20);

    {
        ChangeCounter counter (f);
        readPreset (f, preset);
        pumpMessages();
        EXPECT_EQ (counter.calls, 1);
    }
    {
        ChangeCounter counter (f);
        readBank (f, bank);
        pumpMessages();
        EXPECT_EQ (counter.calls, 1);
    }
    {
        ChangeCounter counter (f);
        readPreset (f, bank);
        readBank (f, preset);
        readPreset (f, chunkOfText ("<LUMIDOR_PRESET"));
        f.readBankState (nullptr, 0);
        pumpMessages();
        EXPECT_EQ (counter.calls, 0);
    }
}

TEST (BankRoundTrip, RestoresEveryRecordAndName)
{
    DemoJuceFilter source;
    for (int p = 0; p < 128; ++p)
    {
        source.selectProgram (p);
        for (int i = 0; i < 11; ++i)
            source.setParameterValue (i, awkwardValues[(size_t) ((i + p) % 11)]);
        source.renameProgram (p, p % 2 == 0 ? awkwardName : "P" + juce::String (p));
    }
    source.selectProgram (0);
    const auto chunk = bankOf (source);

    DemoJuceFilter target;
    readBank (target, chunk);
    EXPECT_EQ (bankOf (target), chunk);

    for (int p : { 0, 1, 64, 127 })
    {
        target.selectProgram (p);
        Values expected {};
        for (int i = 0; i < 11; ++i)
            expected[(size_t) i] = awkwardValues[(size_t) ((i + p) % 11)];
        expectBitIdentical (liveValues (target), expected);
        EXPECT_EQ (target.programNameAt (p), p % 2 == 0 ? awkwardName : "P" + juce::String (p));
    }
}

TEST (BankRestore, LeavesTheLiveValuesSoundingUntilAProgramIsSelected)
{
    DemoJuceFilter source;
    makeDistinctive (source);
    const auto chunk = bankOf (source);

    DemoJuceFilter f, twin;
    for (auto* x : { &f, &twin })
    {
        x->selectProgram (5);
        x->setParameterValue (0, 0.9f);
        x->setParameterValue (5, 0.7f);
        x->renameProgram (5, "Sounding");
    }
    const auto liveBefore = liveValues (f);

    readBank (f, chunk);

    expectBitIdentical (liveValues (f), liveBefore);
    EXPECT_EQ (f.currentProgramIndex(), 5);
    EXPECT_EQ (f.getProgramName(), "Sounding");
    EXPECT_EQ (f.programNameAt (5), "Program 5");

    const auto in = makeStereo (512, [] (int i, int ch) { return i == 0 ? (ch == 0 ? 1.0f : -0.5f) : 0.0f; });
    const auto heard = render (f, in);
    const auto expected = render (twin, in);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 512; ++i)
            ASSERT_EQ (heard.getSample (ch, i), expected.getSample (ch, i)) << ch << " " << i;

    f.selectProgram (5);
    source.selectProgram (5);
    expectBitIdentical (liveValues (f), liveValues (source));
}

TEST (BankRestore, GivesAProgramMissingFromTheDocumentTheLiveValuesAndName)
{
    DemoJuceFilter source;
    makeDistinctive (source);
    std::string bank = textOf (
        [&]
        {
            juce::MemoryBlock b;
            source.writeBankState (b);
            return b;
        }());

    // Drop the twelve attributes of program 5.
    const auto first = bank.find (" fEarlySize5=");
    const auto last = bank.find (" fEarlySize6=");
    bank.erase (first, last - first);

    DemoJuceFilter f;
    f.selectProgram (2);
    f.renameProgram (2, "Current");
    setAll (f, awkwardValues);
    f.selectProgram (5);
    f.selectProgram (2);
    const auto live = liveValues (f);

    readBank (f, chunkOfText (bank));

    EXPECT_EQ (f.programNameAt (5), "Current");
    EXPECT_EQ (f.programNameAt (0), "Program 0");
    f.selectProgram (5);
    expectBitIdentical (liveValues (f), live);
    f.selectProgram (0);
    EXPECT_EQ (f.parameterValue (0), 0.01f);
}

TEST (BankRestore, FallsBackToTheLiveValueNotTheRecordForEachMissingAttribute)
{
    DemoJuceFilter f;
    f.selectProgram (7);
    f.setParameterValue (3, 0.125f);
    f.selectProgram (0);
    f.setParameterValue (3, 0.625f);

    readBank (f, chunkOfText ("<LUMIDOR_BANK fDecay7=\"0.25\" programname7=\"Seven\"/>"));

    f.selectProgram (7);
    EXPECT_EQ (f.parameterValue (2), 0.25f);
    EXPECT_EQ (f.parameterValue (3), 0.625f);
    EXPECT_EQ (f.programNameAt (7), "Seven");
    EXPECT_EQ (f.programNameAt (8), "Default");
}
