#include "xPreDelay.h"

#include <gtest/gtest.h>

namespace
{
xPreDelay& configured (xPreDelay& p)
{
    p.initTime();
    p.initSpread();
    return p;
}

void runSilence (xPreDelay& p, int frames)
{
    for (int i = 0; i < frames; ++i)
    {
        float frame[2] = { 0.0f, 0.0f };
        p.processFrame (frame, 2);
    }
}
}

TEST (PreDelay, AtTimeZeroPassesFramesThroughAndHoldsItsGlide)
{
    xPreDelay p;
    float frame[2] = { 0.5f, -0.25f };
    EXPECT_EQ (p.processFrame (frame, 2), frame);
    EXPECT_EQ (frame[0], 0.5f);
    EXPECT_EQ (frame[1], -0.25f);
    EXPECT_EQ (p.processSample (0.125f), 0.125f);
    EXPECT_EQ (p.getGlideLeft(), 0.0f);
    EXPECT_EQ (p.getGlideRight(), 0.0f);
}

TEST (PreDelay, GlidesHalfwayInFiftyMilliseconds)
{
    xPreDelay p;
    runSilence (configured (p), 2205);
    EXPECT_EQ (p.getLeftLine().getDelaySamples(), 174);
    EXPECT_NEAR (p.getGlideLeft(), 0.00792f / 2.0f, 2e-6f);
    EXPECT_NEAR (p.getGlideRight(), 0.00408f / 2.0f, 2e-6f);
}

TEST (PreDelay, SettlesAt349And179SamplesAtTheirArrivalFrames)
{
    xPreDelay p;
    configured (p);
    runSilence (p, 16754);
    EXPECT_EQ (p.getRightLine().getDelaySamples(), 178);
    runSilence (p, 1);
    EXPECT_EQ (p.getRightLine().getDelaySamples(), 179);
    runSilence (p, 22828 - 16755);
    EXPECT_EQ (p.getLeftLine().getDelaySamples(), 348);
    runSilence (p, 1);
    EXPECT_EQ (p.getLeftLine().getDelaySamples(), 349);
    runSilence (p, 100000);
    EXPECT_EQ (p.getLeftLine().getDelaySamples(), 349);
    EXPECT_EQ (p.getRightLine().getDelaySamples(), 179);
}

TEST (PreDelay, SettledImpulseAppearsAfterEachChannelsDelay)
{
    xPreDelay p;
    runSilence (configured (p), 44100);
    float frame[2] = { 1.0f, 2.0f };
    p.processFrame (frame, 2);
    int leftAt = -1, rightAt = -1;
    for (int n = 1; n < 400; ++n)
    {
        frame[0] = frame[1] = 0.0f;
        p.processFrame (frame, 8);
        if (frame[0] == 1.0f)
            leftAt = n;
        if (frame[1] == 2.0f)
            rightAt = n;
    }
    EXPECT_EQ (leftAt, 349);
    EXPECT_EQ (rightAt, 179);
}

TEST (PreDelay, BypassFreezesLinesAndGlide)
{
    xPreDelay p;
    runSilence (configured (p), 100);
    const float gl = p.getGlideLeft();
    p.setBypass (true);
    float frame[2] = { 0.5f, 0.5f };
    p.processFrame (frame, 2);
    EXPECT_EQ (frame[0], 0.5f);
    EXPECT_EQ (p.getGlideLeft(), gl);
    EXPECT_EQ (p.getLeftLine().getWriteIndex(), 100);
}
