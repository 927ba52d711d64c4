#include "xEarlyReflection.h"

#include <gtest/gtest.h>

namespace
{
// The configuration the engine gives the stage at construction.
void configure (xEarlyReflection& e)
{
    e.initSpread();
    e.initHighShelfFrequency();
    e.initHighShelfGain();
    e.initLowShelfFrequency();
    e.initLowShelfGain();
    e.initDiffusionSpread();
}

void expectDelays (const xEarlyDiff& chain, int d0, int d1, int d2)
{
    EXPECT_EQ (chain.getDiffuser (0).getDelay().getDelaySamples(), d0);
    EXPECT_EQ (chain.getDiffuser (1).getDelay().getDelaySamples(), d1);
    EXPECT_EQ (chain.getDiffuser (2).getDelay().getDelaySamples(), d2);
}
}

TEST (EarlyReflectionOff, SizeSixtyPassesTheFrameAndFreezesBothChains)
{
    xEarlyReflection e;
    configure (e);
    e.setDiffusion (0.5f);
    e.setSize (24.0f);
    float frame[2] = { 1.0f, 1.0f };
    e.processFrame (frame, 2);
    e.setSize (60.0f);
    const int leftIndex = e.getLeft().getDiffuser (0).getDelay().getWriteIndex();
    const int rightIndex = e.getRight().getDiffuser (2).getDelay().getWriteIndex();
    for (int i = 0; i < 100; ++i)
    {
        frame[0] = 0.3f;
        frame[1] = -0.7f;
        EXPECT_EQ (e.processFrame (frame, 2), frame);
        EXPECT_EQ (frame[0], 0.3f);
        EXPECT_EQ (frame[1], -0.7f);
    }
    EXPECT_EQ (e.processSample (0.125f), 0.125f);
    EXPECT_EQ (e.getLeft().getDiffuser (0).getDelay().getWriteIndex(), leftIndex);
    EXPECT_EQ (e.getRight().getDiffuser (2).getDelay().getWriteIndex(), rightIndex);
}

TEST (EarlyReflectionTuning, JustAboveSixtyRunsTheShortestDelays)
{
    xEarlyReflection e;
    configure (e);
    e.setSize (60.0001f);
    expectDelays (e.getLeft(), 94, 119, 150);
    expectDelays (e.getRight(), 119, 150, 189);
    float frame[2] = { 0.3f, 0.3f };
    e.processFrame (frame, 2);
    EXPECT_NE (frame[0], 0.3f);
}

TEST (EarlyReflectionTuning, ChainsSitFourSemitonesApartAtTheTabledSizes)
{
    xEarlyReflection e;
    configure (e);
    e.setSize (24.0f);
    expectDelays (e.getLeft(), 756, 953, 1201);
    expectDelays (e.getRight(), 953, 1201, 1513);
    e.setSize (-12.0f);
    expectDelays (e.getLeft(), 6053, 7626, 9608);
    expectDelays (e.getRight(), 7626, 9608, 12106);
}

TEST (EarlyReflectionTuning, SpreadTakesEffectOnlyAtTheNextSetSize)
{
    xEarlyReflection e;
    e.setSize (24.0f);
    expectDelays (e.getLeft(), 849, 1070, 1348);
    expectDelays (e.getRight(), 849, 1070, 1348);
    e.initSpread();
    expectDelays (e.getLeft(), 849, 1070, 1348);
    e.setSize (24.0f);
    expectDelays (e.getLeft(), 756, 953, 1201);
    expectDelays (e.getRight(), 953, 1201, 1513);
}

TEST (EarlyReflectionResponse, WithoutDiffusionEachChannelIsDelayedByItsThreeLoops)
{
    xEarlyReflection e;
    configure (e);
    e.setDiffusion (0.0f);
    e.setSize (24.0f);
    int peakLeft = 0, peakRight = 0;
    float maxLeft = 0.0f, maxRight = 0.0f;
    for (int n = 0; n < 4000; ++n)
    {
        float frame[2] = { n == 0 ? 1.0f : 0.0f, n == 0 ? 1.0f : 0.0f };
        e.processFrame (frame, 2);
        if (frame[0] > maxLeft)
            maxLeft = frame[0], peakLeft = n;
        if (frame[1] > maxRight)
            maxRight = frame[1], peakRight = n;
    }
    EXPECT_EQ (peakLeft, 757 + 954 + 1202);
    EXPECT_EQ (peakRight, 954 + 1202 + 1514);
}

TEST (EarlyReflectionResponse, DiffusionReachesAllSixCoefficientsClamped)
{
    xEarlyReflection e;
    configure (e);
    e.setDiffusion (0.6f);
    for (int k = 0; k < 3; ++k)
    {
        EXPECT_EQ (e.getLeft().getDiffuser (k).getCoefficient(), 0.6f);
        EXPECT_EQ (e.getRight().getDiffuser (k).getCoefficient(), 0.6f);
    }
    e.setDiffusion (2.0f);
    EXPECT_EQ (e.getRight().getDiffuser (1).getCoefficient(), 1.0f);
}

TEST (EarlyReflectionResponse, MonoProcessingUsesTheLeftChainOnly)
{
    xEarlyReflection e;
    configure (e);
    e.setSize (24.0f);
    const int rightIndex = e.getRight().getDiffuser (0).getDelay().getWriteIndex();
    for (int i = 0; i < 10; ++i)
        e.processSample (0.5f);
    EXPECT_EQ (e.getLeft().getDiffuser (0).getDelay().getWriteIndex(), 10);
    EXPECT_EQ (e.getRight().getDiffuser (0).getDelay().getWriteIndex(), rightIndex);
}
