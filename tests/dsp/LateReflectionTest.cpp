#include "TestSignals.h"
#include "xLateReflection.h"
#include "xNote.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// The configuration the engine gives the stage at construction.
void configure (xLateReflection& l)
{
    l.initSpread();
    l.initHighShelfFrequency();
    l.initHighShelfGain();
    l.initLowShelfFrequency();
    l.initLowShelfGain();
    l.initModulationRate();
    l.initModulationDepth();
    l.initDiffusionSpread();
}

void runSilence (xLateReflection& l, int frames)
{
    for (int i = 0; i < frames; ++i)
    {
        float frame[2] = { 0.0f, 0.0f };
        l.processFrame (frame, 2);
    }
}

// Index of the first frame of one channel above the level of the shelves'
// anti-denormal offsets, after an impulse into the other channel at frame 0.
int firstCrossing (xLateReflection& l, int into, int frames)
{
    for (int n = 0; n < frames; ++n)
    {
        float frame[2] = { 0.0f, 0.0f };
        if (n == 0)
            frame[into] = 1.0f;
        l.processFrame (frame, 2);
        if (std::abs (frame[1 - into]) > 1e-6f)
            return n;
    }
    return -1;
}

constexpr float phaseStep = (1.0f / 44100.0f) * 0.37f; // cycles per frame
}

TEST (LateReflectionOff, SizeFortyEightFreezesEverything)
{
    xLateReflection l;
    configure (l);
    l.setDecay (30.0f);
    l.setSize (12.0f);
    runSilence (l, 1000);
    float frame[2] = { 1.0f, 1.0f };
    l.processFrame (frame, 2);
    runSilence (l, 3000);
    l.setSize (48.0f);
    const float phase = l.getPhase(), depth = l.getSmoothedDepth();
    const float toLeft = l.getFeedbackToLeft(), toRight = l.getFeedbackToRight();
    for (int i = 0; i < 500; ++i)
    {
        frame[0] = 0.3f;
        frame[1] = -0.2f;
        EXPECT_EQ (l.processFrame (frame, 2), frame);
        ASSERT_EQ (frame[0], 0.3f);
        ASSERT_EQ (frame[1], -0.2f);
    }
    EXPECT_EQ (l.getPhase(), phase);
    EXPECT_EQ (l.getSmoothedDepth(), depth);
    EXPECT_EQ (l.getFeedbackToLeft(), toLeft);
    EXPECT_EQ (l.getFeedbackToRight(), toRight);

    l.setSize (47.99f);
    frame[0] = frame[1] = 0.3f;
    l.processFrame (frame, 2);
    EXPECT_NE (frame[0], 0.3f);
    EXPECT_NE (l.getPhase(), phase);
}

TEST (LateReflectionLoop, ChainSizesAndLoopDelaysFollowTheSpread)
{
    xLateReflection l;
    configure (l);
    l.setSize (12.0f);
    EXPECT_EQ (l.getLeft().getSize(), 10.5f);
    EXPECT_EQ (l.getRight().getSize(), 13.5f);
    EXPECT_NEAR (l.getLeft().getLoopTime() * 44100.0f, 2940.6f, 0.1f);
    EXPECT_NEAR (l.getRight().getLoopTime() * 44100.0f, 2472.8f, 0.1f);
    l.setSize (-24.0f);
    EXPECT_NEAR (l.getLeft().getLoopTime() * 44100.0f, 23522.3f, 0.5f);
    EXPECT_NEAR (l.getRight().getLoopTime() * 44100.0f, 19780.0f, 0.5f);
}

TEST (LateReflectionLoop, AnImpulseCrossesOnlyThroughTheOtherChainsLoopDelay)
{
    // The interpolator's earliest tap sits one and a half samples before the
    // nominal delay t, so the first trace may arrive at frame int (t - 0.5),
    // never earlier; the bulk arrives at t + 1.
    for (int into : { 0, 1 })
    {
        xLateReflection l;
        configure (l);
        l.setDiffusion (0.5f);
        l.setDecay (30.0f);
        l.setSize (12.0f);
        const xLateDiff& source = into == 0 ? l.getLeft() : l.getRight();
        const float t = 44100.0f * source.getLoopTime();
        const float maxOffset = 44100.0f * 0.00039f;
        const int first = firstCrossing (l, into, 6000);
        EXPECT_GE (first, (int) (t - maxOffset - 0.5f)) << into;
        EXPECT_LE (first, (int) (t + maxOffset) + 2) << into;
    }
}

TEST (LateReflectionDecay, DecayExponentMapsToSeconds)
{
    xLateReflection l;
    const struct
    {
        float v, seconds, tolerance;
    } rows[] = {
        { 0.0f, 0.001f, 1e-9f },   { 15.0f, 0.01979f, 1e-5f }, { 30.0f, 0.39168f, 1e-4f },
        { 45.0f, 7.7517f, 1e-3f }, { 60.0f, 153.41f, 0.01f },
    };
    for (const auto& r : rows)
    {
        l.setDecay (r.v);
        EXPECT_NEAR (l.getLeft().getDecayTime(), r.seconds, r.tolerance) << r.v;
        EXPECT_EQ (l.getRight().getDecayTime(), l.getLeft().getDecayTime());
    }
}

TEST (LateReflectionDecay, ChainsHoldTheFloorGainUntilADecayArrives)
{
    xLateReflection l;
    configure (l);
    l.setSize (12.0f);
    EXPECT_NEAR (l.getLeft().getLoopGain(), 3.58e-13f, 0.01e-13f);
    l.setDecay (60.0f);
    EXPECT_NEAR (l.getLeft().getLoopGain(), 3.58e-13f, 0.01e-13f);
    runSilence (l, 51);
    EXPECT_GT (l.getLeft().getLoopGain(), 0.99f);
}

TEST (LateReflectionModulation, PhaseAdvancesOneStepPerFrameAfterTheTwoInitSteps)
{
    xLateReflection l;
    configure (l);
    EXPECT_NEAR (l.getPhase(), 2.0f * 8.39e-6f, 1e-8f);
    l.setSize (12.0f);
    runSilence (l, 50000);
    EXPECT_NEAR (l.getPhase(), 50002.0f * phaseStep, 1e-3f);
    runSilence (l, 50000);
    EXPECT_NEAR (l.getPhase(), 100002.0f * phaseStep - 1.0f, 2e-3f);
    EXPECT_GT (l.getPhase(), -0.5f);
    EXPECT_LE (l.getPhase(), 0.5f);
}

TEST (LateReflectionModulation, RightOffsetsAreExactlyTheNegatedLeftOffsets)
{
    xLateReflection l;
    configure (l);
    l.setSize (12.0f);
    float largest = 0.0f;
    for (int i = 0; i < 130000; ++i)
    {
        runSilence (l, 1);
        for (int k = 0; k < 4; ++k)
        {
            ASSERT_EQ (l.getOffsetRight (k), -l.getOffsetLeft (k));
            largest = std::max (largest, std::abs (l.getOffsetLeft (k)));
        }
    }
    EXPECT_LE (largest, 0.00039f);
    EXPECT_GT (largest, 0.00038f);
}

TEST (LateReflectionModulation, OffsetsReachTheChainsAtTheirNextUpdate)
{
    xLateReflection l;
    configure (l);
    l.setSize (12.0f);
    runSilence (l, 20000);
    runSilence (l, 51 - l.getLeft().getUpdateCounter());
    EXPECT_EQ (l.getLeft().getUpdateCounter(), 0);
    EXPECT_NEAR (l.getLeft().getLoopDelay().getDelayTime(), noteToPeriod (10.5f) + l.getOffsetLeft (3), 1e-7f);
    EXPECT_NEAR (l.getRight().getDiffuser (0).getDelay().getDelayTime(), noteToPeriod (22.5f) + l.getOffsetRight (0),
                 1e-7f);
}

TEST (LateReflectionModulation, WithoutDepthAllOffsetsStayZero)
{
    xLateReflection l;
    l.initModulationRate();
    l.setSize (12.0f);
    runSilence (l, 10000);
    EXPECT_EQ (l.getSmoothedDepth(), 0.0f);
    for (int k = 0; k < 4; ++k)
    {
        EXPECT_EQ (l.getOffsetLeft (k), 0.0f);
        EXPECT_EQ (l.getOffsetRight (k), 0.0f);
    }
}

TEST (LateReflectionModulation, DepthGlidesHalfwayInFiftyMilliseconds)
{
    xLateReflection l;
    configure (l);
    l.setSize (12.0f);
    runSilence (l, 2205 - 1);
    EXPECT_NEAR (l.getSmoothedDepth(), 0.00039f / 2.0f, 2e-7f);
}

TEST (LateReflectionLoop, SixtySecondsOfSilenceAfterAnImpulseStayZeroOrNormal)
{
    xLateReflection l;
    configure (l);
    l.setDiffusion (0.7f);
    l.setDecay (30.0f);
    l.setSize (12.0f);
    float frame[2] = { 1.0f, -1.0f };
    l.processFrame (frame, 2);
    for (int i = 0; i < 60 * testsignals::rate; ++i)
    {
        frame[0] = frame[1] = 0.0f;
        l.processFrame (frame, 2);
        ASSERT_TRUE (testsignals::isZeroOrNormal (frame[0])) << i;
        ASSERT_TRUE (testsignals::isZeroOrNormal (frame[1])) << i;
    }
}
