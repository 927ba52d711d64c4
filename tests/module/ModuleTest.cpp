#include "TestHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <thread>

namespace
{
struct Module : ::testing::Test
{
    void SetUp() override
    {
        ASSERT_TRUE (host.loaded()) << dlerror();
        effect = host.instantiate();
        ASSERT_NE (effect, nullptr);
    }

    TestHost host;
    AEffect* effect = nullptr;
};

std::vector<float> noiseBlock (int frames, unsigned seed)
{
    std::vector<float> v ((size_t) frames);
    for (auto& x : v)
    {
        seed = seed * 1664525u + 1013904223u;
        x = (float) (seed >> 8) / 8388608.0f - 1.0f;
    }
    return v;
}
}

TEST_F (Module, ExportsBothEntryPointsThatGiveTheSameKindOfPlugin)
{
    ASSERT_NE (host.mainEntry, nullptr);
    TestHost::current = &host;
    auto* other = host.mainEntry ([] (AEffect*, int opcode, int, VstIntPtr, void*, float) -> VstIntPtr
                                  { return opcode == audioMasterVersion ? 2400 : 0; });
    ASSERT_NE (other, nullptr);
    EXPECT_EQ (other->uniqueID, effect->uniqueID);
    dispatch (other, effClose);
}

TEST_F (Module, DescribesItselfWithItsIdentity)
{
    EXPECT_EQ (effect->magic, kEffectMagic);
    EXPECT_EQ (effect->uniqueID, CCONST ('L', 'M', '_', '_'));
    EXPECT_EQ (effect->version, 0x10100);
    EXPECT_EQ (effect->numInputs, 2);
    EXPECT_EQ (effect->numOutputs, 2);
    EXPECT_EQ (effect->flags, 0x31);
    EXPECT_EQ (effect->numPrograms, 128);
    EXPECT_EQ (effect->numParams, 11);
    EXPECT_EQ (effect->initialDelay, 0);
    EXPECT_EQ (effect->float1, 1.0f);

    EXPECT_EQ (dispatchText (effect, effGetEffectName), "Lumidor");
    EXPECT_EQ (dispatchText (effect, effGetProductString), "Lumidor");
    EXPECT_EQ (dispatchText (effect, effGetVendorString), "Velderane");
    EXPECT_EQ (dispatch (effect, effGetEffectName, 0, 0, std::string (80, ' ').data()), 1);
    EXPECT_EQ (dispatch (effect, effGetVendorVersion), 1000);
    EXPECT_EQ (dispatch (effect, effGetVstVersion), 2400);
    EXPECT_EQ (dispatch (effect, effGetPlugCategory), 1);
    EXPECT_EQ (dispatch (effect, 52), 0) << "tail size";
    EXPECT_EQ (dispatch (effect, effIdentify), CCONST ('N', 'v', 'E', 'f'));
}

TEST_F (Module, CutsParameterNamesToEightCharacters)
{
    const char* expected[] = { "EarlySiz", "LateSize", "Decay",    "Diffusio", "Listener", "Dry-Wet",
                               "Volume",   "On-Off",   "Left On-", "Right On", "Stereo O" };
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ (dispatchText (effect, effGetParamName, i), expected[i]);
}

TEST_F (Module, ShowsParameterTextsWithoutLabels)
{
    EXPECT_EQ (dispatchText (effect, effGetParamDisplay, 0), "0.50");
    EXPECT_EQ (dispatchText (effect, effGetParamDisplay, 7), "1.00");
    EXPECT_EQ (dispatchText (effect, effGetParamLabel, 0), "");
    EXPECT_EQ (dispatchText (effect, effGetParamName, 11), "");

    effect->setParameter (effect, 2, 0.25f);
    EXPECT_EQ (effect->getParameter (effect, 2), 0.25f);
    EXPECT_EQ (dispatchText (effect, effGetParamDisplay, 2), "0.25");
    EXPECT_EQ (effect->getParameter (effect, 42), 0.0f);
    EXPECT_EQ (dispatch (effect, effCanBeAutomated, 3), 1);
}

TEST_F (Module, SelectsAndNamesPrograms)
{
    dispatch (effect, effSetProgram, 0, 5);
    EXPECT_EQ (dispatch (effect, effGetProgram), 5);
    dispatch (effect, effSetProgram, 0, 200);
    dispatch (effect, effSetProgram, 0, -1);
    EXPECT_EQ (dispatch (effect, effGetProgram), 5);

    char name[] = "A program name longer than twenty-four";
    dispatch (effect, effSetProgramName, 0, 0, name);
    EXPECT_EQ (dispatchText (effect, effGetProgramName), "A program name longer th");

    char indexed[64] = {};
    EXPECT_EQ (dispatch (effect, effGetProgramNameIndexed, 5, 0, indexed), 1);
    EXPECT_STREQ (indexed, "A program name longer th");
    EXPECT_EQ (dispatch (effect, effGetProgramNameIndexed, 4, 0, indexed), 1);
    EXPECT_STREQ (indexed, "Default");
    EXPECT_EQ (dispatch (effect, effGetProgramNameIndexed, 128, 0, indexed), 0);
    EXPECT_EQ (dispatch (effect, effGetProgramNameIndexed, -1, 0, indexed), 0);
}

TEST_F (Module, TakesProgramNamesInUtf8OrElseLatin1)
{
    // What the preset document stores as the current program's name.
    const auto storedName = [this]
    {
        void* data = nullptr;
        const auto size = dispatch (effect, effGetChunk, 1, 0, &data);
        const std::string document (static_cast<const char*> (data) + 8, static_cast<const char*> (data) + size - 2);
        const auto start = document.find ("programName=\"") + 13;
        return document.substr (start, document.find ('"', start) - start);
    };
    const auto rename = [this] (std::string name)
    {
        dispatch (effect, effSetProgramName, 0, 0, name.data());
    };

    // UTF-8 is taken as it is. Bytes that are not UTF-8 are each the Latin-1
    // character of their code: an 8-bit name, a sequence cut short, an
    // overlong form, a surrogate, a five-byte form and a code beyond U+10FFFF.
    const std::pair<const char*, const char*> names[] = {
        { "\xc3\x9c"
          "ber \xf0\x9f\x8e\xb9",
          "&#220;ber &#127929;" },
        { "Caf\xe9", "Caf&#233;" },
        { "Cut \xe2\x82", "Cut &#226;&#130;" },
        { "\xc0\xaf", "&#192;&#175;" },
        { "\xed\xa0\x80", "&#237;&#160;&#128;" },
        { "\xf8\x88\x80\x80\x80", "&#248;&#136;&#128;&#128;&#128;" },
        { "\xf4\x90\x80\x80", "&#244;&#144;&#128;&#128;" },
    };
    for (const auto& [given, stored] : names)
    {
        rename (given);
        EXPECT_EQ (storedName(), stored) << given;
    }

    rename (std::string (300, 'x'));
    EXPECT_EQ (storedName(), std::string (256, 'x'));
}

TEST_F (Module, AnswersTheRemainingOpcodes)
{
    EXPECT_EQ (dispatch (effect, effGetCurrentMidiProgram), -1);
    EXPECT_EQ (dispatch (effect, effSetTotalSampleToProcess, 0, 4096), 4096);

    void* in = &in;
    void* out = &out;
    EXPECT_EQ (dispatch (effect, effGetSpeakerArrangement, 0, (VstIntPtr) &in, &out), 0);
    EXPECT_EQ (in, nullptr);
    EXPECT_EQ (out, nullptr);

    for (int opcode :
         { 25, 27, 33, 34, 38, 39, 40, 41, 42, 44, 56, 62, 64, 65, 66, 67, 68, 71, 72, 74, 75, 76, 77, 78, 79, 9999 })
        EXPECT_EQ (dispatch (effect, opcode), 0) << opcode;
}

TEST_F (Module, RepliesToCanDoExactly)
{
    auto canDo = [this] (const char* text)
    {
        return dispatch (effect, effCanDo, 0, 0, const_cast<char*> (text));
    };
    for (auto* t : { "receiveVstEvents", "receiveVstMidiEvent", "receiveVstMidiEvents", "sendVstEvents",
                     "sendVstMidiEvent", "sendVstMidiEvents" })
        EXPECT_EQ (canDo (t), -1) << t;
    EXPECT_EQ (canDo ("receiveVstTimeInfo"), 1);
    EXPECT_EQ (canDo ("conformsToWindowRules"), 1);
    EXPECT_EQ (canDo ("ReceiveVstTimeInfo"), 0);
    EXPECT_EQ (canDo ("receiveVstTimeInfo "), 0);
    EXPECT_EQ (canDo ("bypass"), 0);
    EXPECT_EQ (dispatch (effect, effCanDo, 0, 0, nullptr), 0);
}

TEST_F (Module, ProcessesInPlaceAsWithSeparateBuffers)
{
    auto* other = host.instantiate();
    const int frames = 2048;
    auto l = noiseBlock (frames, 1), r = noiseBlock (frames, 2);

    std::vector<float> outL (frames), outR (frames);
    float* ins[] = { l.data(), r.data() };
    float* outs[] = { outL.data(), outR.data() };
    effect->processReplacing (effect, ins, outs, frames);

    auto sharedL = l, sharedR = r;
    float* shared[] = { sharedL.data(), sharedR.data() };
    other->processReplacing (other, shared, shared, frames);

    EXPECT_EQ (std::memcmp (sharedL.data(), outL.data(), sizeof (float) * frames), 0);
    EXPECT_EQ (std::memcmp (sharedR.data(), outR.data(), sizeof (float) * frames), 0);
}

TEST_F (Module, ProcessesWithoutAResumeAndAfterAResumeAtRateZero)
{
    const int frames = 512;
    auto l = noiseBlock (frames, 3), r = noiseBlock (frames, 4);
    std::vector<float> outL (frames), outR (frames);
    float* ins[] = { l.data(), r.data() };
    float* outs[] = { outL.data(), outR.data() };

    effect->processReplacing (effect, ins, outs, frames);
    dispatch (effect, effSetSampleRate, 0, 0, nullptr, 0.0f);
    dispatch (effect, effMainsChanged, 0, 1);
    effect->processReplacing (effect, ins, outs, frames);
    dispatch (effect, effMainsChanged, 0, 0);
    for (int i = 0; i < frames; ++i)
        ASSERT_TRUE (std::isfinite (outL[(size_t) i]) && std::isfinite (outR[(size_t) i]));

    // The accumulating and double-precision entries leave the outputs alone.
    std::fill (outL.begin(), outL.end(), 0.5f);
    effect->process (effect, ins, outs, frames);
    EXPECT_EQ (outL[100], 0.5f);
}

TEST_F (Module, HandsOutAndTakesBackStateChunks)
{
    void* data = nullptr;
    const auto size = dispatch (effect, effGetChunk, 1, 0, &data);
    ASSERT_EQ (size, 246);
    ASSERT_NE (data, nullptr);
    EXPECT_EQ (std::memcmp (data, "VC2!", 4), 0);

    effect->setParameter (effect, 0, 0.9f);
    std::vector<char> saved (static_cast<char*> (data), static_cast<char*> (data) + 246);
    // The saved chunk holds 0.5: restoring it brings the value back.
    EXPECT_EQ (dispatch (effect, effSetChunk, 1, (VstIntPtr) saved.size(), saved.data()), 0);
    EXPECT_EQ (effect->getParameter (effect, 0), 0.5f);

    void* bank = nullptr;
    EXPECT_GT (dispatch (effect, effGetChunk, 0, 0, &bank), 29303);
    EXPECT_EQ (dispatch (effect, effSetChunk, 0, 0, nullptr), 0);
    EXPECT_EQ (dispatch (effect, effSetChunk, 0, 10, nullptr), 0);
}

TEST (ModuleEntry, RefusesAHostThatReportsNoVersion)
{
    TestHost host;
    ASSERT_TRUE (host.loaded());
    host.hostVersion = 0;
    EXPECT_EQ (host.instantiate(), nullptr);
    EXPECT_EQ (host.entry (nullptr), nullptr);

    host.hostVersion = 2400;
    EXPECT_NE (host.instantiate(), nullptr);
    auto calls = host.calls();
    ASSERT_FALSE (calls.empty());
    EXPECT_EQ (calls.front().opcode, audioMasterVersion);
}

TEST (ModuleLifetime, SurvivesManyOpenCloseCycles)
{
    TestHost host;
    ASSERT_TRUE (host.loaded());
    float l[64] = {}, r[64] = {};
    float* io[] = { l, r };
    for (int i = 0; i < 200; ++i)
    {
        auto* e = host.instantiate();
        ASSERT_NE (e, nullptr);
        dispatch (e, effMainsChanged, 0, 1);
        e->processReplacing (e, io, io, 64);
        host.close (e);
    }
}

TEST (ModuleLifetime, RunsFourInstancesSideBySide)
{
    TestHost host;
    ASSERT_TRUE (host.loaded());
    std::vector<AEffect*> effects;
    for (int i = 0; i < 4; ++i)
        effects.push_back (host.instantiate());

    std::atomic<bool> allFinite { true };
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
    {
        threads.emplace_back (
            [e = effects[(size_t) i], i, &allFinite]
            {
                auto l = noiseBlock (256, (unsigned) i), r = noiseBlock (256, (unsigned) i + 10);
                std::vector<float> ol (256), orr (256);
                float* ins[] = { l.data(), r.data() };
                float* outs[] = { ol.data(), orr.data() };
                for (int block = 0; block < 400; ++block)
                {
                    e->processReplacing (e, ins, outs, 256);
                    for (float x : ol)
                        if (! std::isfinite (x))
                            allFinite = false;
                }
            });
    }
    // Meanwhile the host's GUI thread keeps changing parameters.
    for (int k = 0; k < 2000; ++k)
        effects[(size_t) (k % 4)]->setParameter (effects[(size_t) (k % 4)], k % 11,
                                                 (float) (k % 100) / 100.0f + (k % 11 == 7 ? 0.0f : 0.0f));
    for (auto& t : threads)
        t.join();
    EXPECT_TRUE (allFinite);
}
