#include "FilterTestSupport.h"
#include "JuceVSTWrapper.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
/** A filter that records what the adapter asks of it. */
struct SpyFilter : DemoJuceFilter
{
    void prepare (double rate, int block) override
    {
        prepared.push_back ({ rate, block });
        DemoJuceFilter::prepare (rate, block);
    }
    void release() override { ++released; }

    std::vector<std::pair<double, int>> prepared;
    int released = 0;
};

std::vector<std::pair<int, float>> automation;

VstIntPtr hostCallback (AEffect*, int opcode, int index, VstIntPtr, void*, float opt)
{
    if (opcode == audioMasterVersion)
        return 2400;
    if (opcode == audioMasterAutomate)
        automation.push_back ({ index, opt });
    return 0;
}

const VstIdentity identity { "Test", "Tester", 1, 1, 1, 1, 2, 2 };

struct Adapter : ::testing::Test
{
    Adapter()
    {
        automation.clear();
        auto f = std::make_unique<SpyFilter>();
        spy = f.get();
        wrapper = new JuceVSTWrapper (hostCallback, std::move (f), identity);
        effect = wrapper->getAEffect();
        effect->dispatcher (effect, effOpen, 0, 0, nullptr, 0.0f);
    }
    ~Adapter() override { effect->dispatcher (effect, effClose, 0, 0, nullptr, 0.0f); }

    void process (int frames = 64)
    {
        std::vector<float> l ((size_t) frames), r ((size_t) frames);
        float* io[] = { l.data(), r.data() };
        effect->processReplacing (effect, io, io, frames);
    }

    SpyFilter* spy = nullptr;
    JuceVSTWrapper* wrapper = nullptr;
    AEffect* effect = nullptr;
};
}

TEST_F (Adapter, PreparesBeforeTheFirstBlockWhenTheHostNeverResumed)
{
    process();
    ASSERT_EQ (spy->prepared.size(), 1u);
    EXPECT_EQ (spy->prepared[0].first, 44100.0);
    EXPECT_EQ (spy->prepared[0].second, 1024);
    process();
    EXPECT_EQ (spy->prepared.size(), 1u) << "one preparation per resume";
}

TEST_F (Adapter, ResumesWithTheHostsRateAndFallsBackWhenItIsZero)
{
    effect->dispatcher (effect, effSetSampleRate, 0, 0, nullptr, 96000.0f);
    effect->dispatcher (effect, effSetBlockSize, 0, 256, nullptr, 0.0f);
    effect->dispatcher (effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    effect->dispatcher (effect, effSetSampleRate, 0, 0, nullptr, 0.0f);
    effect->dispatcher (effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher (effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    ASSERT_EQ (spy->prepared.size(), 2u);
    EXPECT_EQ (spy->prepared[0], std::make_pair (96000.0, 256));
    EXPECT_EQ (spy->prepared[1], std::make_pair (44100.0, 256));
    EXPECT_EQ (spy->released, 1);
    EXPECT_EQ (spy->getSampleRate(), 44100.0);
}

TEST_F (Adapter, ReportsEditorChangesToTheHostAsAutomation)
{
    spy->setParameterNotifyingHost (3, 0.75f);
    EXPECT_EQ (spy->parameterValue (3), 0.75f);
    ASSERT_EQ (automation.size(), 1u);
    EXPECT_EQ (automation[0], std::make_pair (3, 0.75f));

    effect->setParameter (effect, 4, 0.25f);
    EXPECT_EQ (automation.size(), 1u) << "changes from the host are not echoed back";
}

TEST_F (Adapter, KeepsAFetchedChunkForTwoSecondsThenFreesIt)
{
    void* data = nullptr;
    const auto size = effect->dispatcher (effect, effGetChunk, 1, 0, &data, 0.0f);
    ASSERT_GT (size, 0);
    std::vector<char> copy (static_cast<char*> (data), static_cast<char*> (data) + size);

    MessagePump::runFor (1000);
    EXPECT_TRUE (wrapper->holdsChunk());
    EXPECT_EQ (std::memcmp (data, copy.data(), (size_t) size), 0) << "still valid a second later";

    // After two seconds the next timer tick frees it; a new fetch works.
    MessagePump::runFor (1600);
    EXPECT_FALSE (wrapper->holdsChunk());
    void* again = nullptr;
    EXPECT_EQ (effect->dispatcher (effect, effGetChunk, 1, 0, &again, 0.0f), size);
    EXPECT_EQ (std::memcmp (again, copy.data(), (size_t) size), 0);
}

TEST_F (Adapter, IgnoresNullChannelPointersAndNegativeFrameCounts)
{
    float* none[] = { nullptr, nullptr };
    effect->processReplacing (effect, none, none, 64);
    effect->processReplacing (effect, nullptr, nullptr, 64);
    std::vector<float> l (8), r (8);
    float* io[] = { l.data(), r.data() };
    effect->processReplacing (effect, io, io, -5);
    SUCCEED();
}

TEST_F (Adapter, AnswersNoEditorRectangleWhenNoEditorCanBeMade)
{
    // Without a window system the editor may still be made off-screen; in
    // either case the answer is consistent with the rectangle.
    ERect* rect = nullptr;
    const auto answer = effect->dispatcher (effect, effEditGetRect, 0, 0, &rect, 0.0f);
    if (answer != 0)
    {
        ASSERT_NE (rect, nullptr);
        EXPECT_EQ (rect->right, 450);
        EXPECT_EQ (rect->bottom, 223);
    }
    effect->dispatcher (effect, effEditClose, 0, 0, nullptr, 0.0f);
}
