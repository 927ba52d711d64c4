#include "TestSignals.h"
#include "xDiffDelay.h"
#include "xDiffDelay4p.h"
#include "xEarlyDiff.h"
#include "xLateDiff.h"
#include "xNote.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
constexpr float samples (float n) { return n / 44100.0f; }

template <class Stage>
void flatShelves (Stage& s)
{
    // Gain 0 dB: flat at any corner.
    s.setHighShelfFrequency (1000.0f);
    s.setLowShelfFrequency (100.0f);
}

template <class Stage>
void engineShelves (Stage& s)
{
    s.setHighShelfFrequency (noteToFrequency (97.0f));
    s.initHighShelfGain();
    s.setLowShelfFrequency (noteToFrequency (36.0f));
    s.initLowShelfGain();
}

template <class Stage>
std::vector<float> impulseResponse (Stage& s, int length)
{
    std::vector<float> out;
    out.push_back (s.processSample (1.0f));
    for (int i = 1; i < length; ++i)
        out.push_back (s.processSample (0.0f));
    return out;
}
}

TEST (AllPassDiffuser, WithZeroCoefficientIsADelayOfOneMoreThanItsLine)
{
    xDiffDelay d;
    flatShelves (d);
    d.setDelayTime (samples (9.0f));
    const auto y = impulseResponse (d, 30);
    for (int n = 0; n < 30; ++n)
        EXPECT_NEAR (y[(size_t) n], n == 10 ? 1.0f : 0.0f, 1e-6f) << n;
}

TEST (AllPassDiffuser, HalfCoefficientGivesTheAllPassImpulseTrain)
{
    xDiffDelay d;
    flatShelves (d);
    d.setDelayTime (samples (9.0f));
    d.setCoefficient (0.5f);
    const auto y = impulseResponse (d, 41);
    EXPECT_NEAR (y[0], -0.5f, 1e-6f);
    EXPECT_NEAR (y[10], 0.75f, 1e-6f);
    EXPECT_NEAR (y[20], 0.375f, 1e-6f);
    EXPECT_NEAR (y[30], 0.1875f, 1e-6f);
    EXPECT_NEAR (y[40], 0.09375f, 1e-6f);
    EXPECT_NEAR (y[5], 0.0f, 1e-6f);
}

TEST (AllPassDiffuser, InterpolatedVersionMatchesAtWholeSampleDelays)
{
    xDiffDelay4p d;
    flatShelves (d);
    d.setDelayTime (samples (9.0f));
    d.setCoefficient (0.5f);
    const auto y = impulseResponse (d, 31);
    EXPECT_NEAR (y[0], -0.5f, 1e-6f);
    EXPECT_NEAR (y[10], 0.75f, 1e-5f);
    EXPECT_NEAR (y[20], 0.375f, 1e-5f);
    EXPECT_NEAR (y[30], 0.1875f, 1e-5f);
}

TEST (AllPassDiffuser, WithAnUndesignedShelfReturnsOnlyTheFeedForward)
{
    xDiffDelay d;
    d.setDelayTime (samples (3.0f));
    d.setCoefficient (0.4f);
    const auto y = impulseResponse (d, 20);
    EXPECT_FLOAT_EQ (y[0], -0.4f);
    for (int n = 1; n < 20; ++n)
        EXPECT_EQ (y[(size_t) n], 0.0f);
}

TEST (ChainCoefficients, SpreadMovesTheThreeCoefficientsApartAndTheyClamp)
{
    xEarlyDiff e;
    xLateDiff l;
    for (float m : { 0.0f, 1.0f })
    {
        e.setDiffusionSpread (m);
        l.setDiffusionSpread (m);
        e.setDiffusion (0.7f);
        l.setDiffusion (0.7f);
        const float expected[2][3] = { { 0.7f, 0.7f, 0.7f }, { 0.8f, 0.5f, 1.0f } };
        for (int k = 0; k < 3; ++k)
        {
            EXPECT_NEAR (e.getDiffuser (k).getCoefficient(), expected[(int) m][k], 1e-6f);
            EXPECT_NEAR (l.getDiffuser (k).getCoefficient(), expected[(int) m][k], 1e-6f);
        }
    }
    e.setDiffusionSpread (0.0f);
    for (float d : { 1.5f, 1e30f })
    {
        e.setDiffusion (d);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ (e.getDiffuser (k).getCoefficient(), 1.0f);
    }
    e.setDiffusion (-1e30f);
    EXPECT_EQ (e.getDiffuser (0).getCoefficient(), 0.0f);
}

TEST (EarlyChain, SizeSixtyPutsTheDiffusersAt106And133And168Samples)
{
    xEarlyDiff e;
    e.setSize (60.0f);
    EXPECT_NEAR (e.getDiffuser (0).getDelay().getDelayTime(), 0.0024079f, 1e-7f);
    EXPECT_NEAR (e.getDiffuser (1).getDelay().getDelayTime(), 0.0030337f, 1e-7f);
    EXPECT_NEAR (e.getDiffuser (2).getDelay().getDelayTime(), 0.0038222f, 1e-7f);
    EXPECT_EQ (e.getDiffuser (0).getDelay().getDelaySamples(), 106);
    EXPECT_EQ (e.getDiffuser (1).getDelay().getDelaySamples(), 133);
    EXPECT_EQ (e.getDiffuser (2).getDelay().getDelaySamples(), 168);
}

TEST (EarlyChain, WithZeroDiffusionDelaysByTheSumOfItsThreeLoops)
{
    xEarlyDiff e;
    engineShelves (e);
    e.setDiffusion (0.0f);
    e.setSize (60.0f);
    const auto y = impulseResponse (e, 500);
    size_t peak = 0;
    for (size_t n = 1; n < y.size(); ++n)
        if (std::abs (y[n]) > std::abs (y[peak]))
            peak = n;
    EXPECT_EQ (peak, (size_t) (107 + 134 + 169));
}

TEST (EarlyChain, FullDiffusionInvertsTheInputThroughTheOutputShelfOnly)
{
    xEarlyDiff e;
    engineShelves (e);
    e.setDiffusion (1.0f);
    e.setSize (60.0f);
    xShelf reference;
    reference.setHighShelfFrequency (noteToFrequency (97.0f));
    reference.setHighShelfGain (xDiffDelay::highShelfGain);
    reference.setLowShelfFrequency (noteToFrequency (36.0f));
    reference.setLowShelfGain (xDiffDelay::lowShelfGain);
    // Before any loop comes round (107 samples), the chain is -(-(-x)) shelved.
    testsignals::Lcg noise;
    for (int n = 0; n < 100; ++n)
    {
        const float x = noise.next();
        EXPECT_NEAR (e.processSample (x), reference.processSample (-x), 1e-5f) << n;
    }
}

TEST (LateChain, LoopGainFollowsSizeAndDecayTime)
{
    xLateDiff l;
    l.setDecayTime (2.0f);
    l.setSize (12.0f);
    EXPECT_NEAR (l.getLoopGain(), 0.6941f, 1e-4f);
    l.setDecayTime (1.0f);
    l.setSize (12.0f);
    EXPECT_NEAR (l.getLoopGain(), 0.4818f, 1e-4f);
}

TEST (LateChain, DecayTimeZeroOrNaNLeavesTheLoopPracticallyOpen)
{
    for (float t : { 0.0f, std::nanf ("") })
    {
        xLateDiff l;
        l.setDecayTime (t);
        l.setSize (12.0f);
        EXPECT_NEAR (l.getLoopGain(), 3.58e-13f, 0.01e-13f) << t;
    }
}

TEST (LateChain, NegativeDecayTimeNeverLetsTheLoopGainExceedOne)
{
    for (float t : { -0.0f, -1.0f, -1e30f })
    {
        xLateDiff l;
        l.setDecayTime (t);
        l.setSize (12.0f);
        EXPECT_LE (l.getLoopGain(), 1.0f) << t;
    }
}

TEST (LateChain, FeedbackOutIsTheLoopDelayOutputTimesTheFloorGain)
{
    xLateDiff l;
    engineShelves (l);
    l.setSize (60.0f);
    float maxFeedback = 0.0f, maxOut = 0.0f;
    l.processSample (1.0f);
    for (int i = 0; i < 2000; ++i)
    {
        maxOut = std::max (maxOut, std::abs (l.processSample (0.0f)));
        maxFeedback = std::max (maxFeedback, std::abs (l.feedbackOut()));
    }
    EXPECT_GT (maxFeedback, 0.0f);
    EXPECT_LT (maxFeedback, 4e-13f * maxOut);
}

TEST (LateChain, PeriodicUpdateRunsOnThe51stCallThenEvery51)
{
    xLateDiff l;
    l.setDecayTime (1.0f);
    l.setSize (12.0f);
    const float before = l.getLoopGain();
    l.setDecayTime (2.0f);
    l.setModulationOffset (3, 0.001f);
    for (int i = 0; i < 50; ++i)
        l.processSample (0.0f);
    EXPECT_EQ (l.getLoopGain(), before);
    EXPECT_EQ (l.getUpdateCounter(), 50);
    l.processSample (0.0f);
    EXPECT_NEAR (l.getLoopGain(), 0.6941f, 1e-4f);
    EXPECT_NEAR (l.getLoopDelay().getDelayTime(), noteToPeriod (12.0f) + 0.001f, 1e-7f);

    l.setDecayTime (1.0f);
    for (int i = 0; i < 50; ++i)
        l.processSample (0.0f);
    EXPECT_NEAR (l.getLoopGain(), 0.6941f, 1e-4f);
    l.processSample (0.0f);
    EXPECT_NEAR (l.getLoopGain(), 0.4818f, 1e-4f);
}

TEST (LateChain, SetSizeAppliesDelaysAndGainAtOnce)
{
    xLateDiff l;
    l.setDecayTime (2.0f);
    l.setModulationOffset (0, 0.0001f);
    l.setSize (12.0f);
    EXPECT_NEAR (l.getLoopGain(), 0.6941f, 1e-4f);
    EXPECT_NEAR (l.getLoopTime(), noteToPeriod (12.0f), 1e-9f);
    EXPECT_NEAR (l.getDiffuser (0).getDelay().getDelayTime(), noteToPeriod (21.0f) + 0.0001f, 1e-8f);
    EXPECT_NEAR (l.getDiffuser (1).getDelay().getDelayTime(), noteToPeriod (18.0f), 1e-8f);
    EXPECT_NEAR (l.getDiffuser (2).getDelay().getDelayTime(), noteToPeriod (15.0f), 1e-8f);
    EXPECT_NEAR (l.getLoopDelay().getDelaySamples(), 44100.0f * noteToPeriod (12.0f), 0.01f);
}

TEST (Diffusers, SixtySecondsOfSilenceAfterAnImpulseStayZeroOrNormal)
{
    xDiffDelay d;
    xDiffDelay4p d4;
    xEarlyDiff e;
    xLateDiff l;
    engineShelves (d);
    engineShelves (d4);
    engineShelves (e);
    engineShelves (l);
    d.setDelayTime (samples (150.0f));
    d4.setDelayTime (samples (150.5f));
    d.setCoefficient (0.7f);
    d4.setCoefficient (0.7f);
    e.setDiffusion (0.7f);
    e.setSize (24.0f);
    l.setDiffusion (0.7f);
    l.setDecayTime (0.5f);
    l.setSize (12.0f);
    d.processSample (1.0f);
    d4.processSample (1.0f);
    e.processSample (1.0f);
    l.processSample (1.0f);
    for (int i = 0; i < 60 * testsignals::rate; ++i)
    {
        ASSERT_TRUE (testsignals::isZeroOrNormal (d.processSample (0.0f))) << i;
        ASSERT_TRUE (testsignals::isZeroOrNormal (d4.processSample (0.0f))) << i;
        ASSERT_TRUE (testsignals::isZeroOrNormal (e.processSample (0.0f))) << i;
        ASSERT_TRUE (testsignals::isZeroOrNormal (l.processSample (0.0f))) << i;
        ASSERT_TRUE (testsignals::isZeroOrNormal (l.feedbackOut())) << i;
    }
}
