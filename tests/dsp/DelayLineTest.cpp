#include "TestSignals.h"
#include "xDelay.h"
#include "xDelay4p.h"
#include "xHermite4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
constexpr float samples (float n) { return n / 44100.0f; }

// Feeds 1, 2, 3, ... so that an output names the call it came from.
template <class Line>
void feedCounting (Line& line, int calls)
{
    for (int i = 1; i <= calls; ++i)
        line.processSample ((float) i);
}
}

TEST (WholeSampleDelay, DefaultHalfSecondIs22050SamplesOfSilenceThenTheFirstInput)
{
    xDelay d;
    EXPECT_EQ (d.getDelaySamples(), 22050);
    EXPECT_EQ (d.processSample (1.0f), 0.0f);
    for (int i = 1; i < 22050; ++i)
        ASSERT_EQ (d.processSample (0.0f), 0.0f) << i;
    EXPECT_EQ (d.processSample (0.0f), 1.0f);
}

TEST (WholeSampleDelay, ZeroDelayReturnsTheInputAndStillStoresIt)
{
    xDelay d;
    d.setDelayTime (0.0f);
    EXPECT_EQ (d.processSample (0.75f), 0.75f);
    d.setDelayTime (samples (1.0f));
    EXPECT_EQ (d.processSample (0.0f), 0.75f);
}

TEST (WholeSampleDelay, DelaysClampToTheBufferWhateverTheTime)
{
    xDelay d;
    const float inf = std::numeric_limits<float>::infinity();
    const struct
    {
        float seconds;
        int expected;
    } cases[] = {
        { 10.0f, 191999 }, { -1.0f, 0 }, { 1e30f, 191999 },     { -1e30f, 0 },
        { inf, 191999 },   { -inf, 0 },  { std::nanf (""), 0 }, { samples (10.7f), 10 },
    };
    for (const auto& c : cases)
    {
        d.setDelayTime (c.seconds);
        EXPECT_EQ (d.getDelaySamples(), c.expected) << c.seconds;
        d.processSample (1.0f); // must stay inside the buffer
    }
}

TEST (WholeSampleDelay, BypassLeavesBufferAndWriteIndexAlone)
{
    xDelay d;
    d.setDelayTime (samples (2.0f));
    d.processSample (5.0f);
    d.setBypass (true);
    EXPECT_EQ (d.processSample (9.0f), 9.0f);
    EXPECT_EQ (d.getWriteIndex(), 1);
    d.setBypass (false);
    d.processSample (0.0f);
    EXPECT_EQ (d.processSample (0.0f), 5.0f);
}

TEST (Hermite4, PassesThroughItsCentrePointsAndKeepsConstants)
{
    EXPECT_EQ (hermite4 (0.0f, 3.0f, 1.0f, 2.0f, 7.0f), 1.0f);
    EXPECT_EQ (hermite4 (1.0f, 3.0f, 1.0f, 2.0f, 7.0f), 2.0f);
    for (float f : { 0.0f, 0.25f, 0.5f, 1.0f, 1.49f })
        EXPECT_EQ (hermite4 (f, 0.5f, 0.5f, 0.5f, 0.5f), 0.5f);
}

TEST (Hermite4, UnitPulseGivesTheCatmullRomValuesInsideAndBeyond)
{
    EXPECT_EQ (hermite4 (0.5f, 0.0f, 1.0f, 0.0f, 0.0f), 0.5625f);
    EXPECT_EQ (hermite4 (1.5f, 0.0f, 1.0f, 0.0f, 0.0f), 0.4375f);
}

TEST (InterpolatedDelay, TenPointThreeReadsCallsEightToElevenBackWithFractionOnePointThree)
{
    // With a linear ramp the cubic is exact, so the output tells which taps
    // were read: input number (now - t).
    xDelay4p d;
    d.setDelayTime (samples (10.3f));
    feedCounting (d, 40);
    const float y = d.processSample (41.0f);
    EXPECT_NEAR (d.getFraction(), 1.3f, 1e-4f);
    EXPECT_NEAR (y, 41.0f - 10.3f, 1e-3f);

    // A pulse 8 calls back (the xm1 tap) is seen, one 12 calls back is not.
    xDelay4p p;
    p.setDelayTime (samples (10.3f));
    p.processSample (1.0f);
    float seen[14] = {};
    for (int k = 1; k < 14; ++k)
        seen[k] = p.processSample (0.0f);
    EXPECT_EQ (seen[7], 0.0f);
    EXPECT_NE (seen[8], 0.0f);
    EXPECT_NE (seen[11], 0.0f);
    EXPECT_EQ (seen[12], 0.0f);
}

TEST (InterpolatedDelay, TenPointSevenReadsCallsNineToTwelveBackWithFractionPointSeven)
{
    xDelay4p d;
    d.setDelayTime (samples (10.7f));
    feedCounting (d, 40);
    const float y = d.processSample (41.0f);
    EXPECT_NEAR (d.getFraction(), 0.7f, 1e-4f);
    EXPECT_NEAR (y, 41.0f - 10.7f, 1e-3f);

    xDelay4p p;
    p.setDelayTime (samples (10.7f));
    p.processSample (1.0f);
    float seen[14] = {};
    for (int k = 1; k < 14; ++k)
        seen[k] = p.processSample (0.0f);
    EXPECT_EQ (seen[8], 0.0f);
    EXPECT_NE (seen[9], 0.0f);
    EXPECT_NE (seen[12], 0.0f);
    EXPECT_EQ (seen[13], 0.0f);
}

TEST (InterpolatedDelay, ExactlyZeroPassesThroughWithoutAdvancing)
{
    xDelay4p d;
    d.setDelayTime (0.0f);
    EXPECT_EQ (d.processSample (0.3f), 0.3f);
    EXPECT_EQ (d.getWriteIndex(), 0);
    d.setBypass (true);
    d.setDelayTime (samples (4.0f));
    EXPECT_EQ (d.processSample (0.3f), 0.3f);
    EXPECT_EQ (d.getWriteIndex(), 0);
}

TEST (InterpolatedDelay, DelaysClampToTheBufferWhateverTheTime)
{
    xDelay4p d;
    const float inf = std::numeric_limits<float>::infinity();
    const struct
    {
        float seconds;
        float expected;
    } cases[] = {
        { 10.0f, 191999.0f }, { -1.0f, 0.0f }, { 1e30f, 191999.0f },     { -1e30f, 0.0f },
        { inf, 191999.0f },   { -inf, 0.0f },  { std::nanf (""), 0.0f },
    };
    for (const auto& c : cases)
    {
        d.setDelayTime (c.seconds);
        EXPECT_EQ (d.getDelaySamples(), c.expected) << c.seconds;
        EXPECT_TRUE (std::isfinite (d.processSample (1.0f))) << c.seconds;
    }
}

TEST (InterpolatedDelay, ShortDelaysOnTheLastSlotWrapTheTapAheadOfTheWritePosition)
{
    // Bring the write position to the last slot, then read with n = 0, whose
    // first tap lies one slot ahead: it must wrap to slot 0, not run off the
    // end (ASan would catch the overrun).
    for (float t : { 0.2f, 1.0f })
    {
        xDelay4p d;
        d.setDelayTime (samples (100.0f));
        for (int i = 0; i < xDelay4p::bufferLength - 2; ++i)
            d.processSample (0.0f);
        d.setDelayTime (samples (t));
        const float y = d.processSample (1.0f);
        EXPECT_EQ (d.getWriteIndex(), xDelay4p::bufferLength - 1);
        EXPECT_TRUE (std::isfinite (y));
        EXPECT_NEAR (d.getFraction(), t, 1e-4f);
    }
}

TEST (DelayLines, SixtySecondsOfSilenceAfterAnImpulseStayZeroOrNormal)
{
    xDelay whole;
    xDelay4p interpolated;
    interpolated.setDelayTime (samples (123.45f));
    whole.processSample (1.0f);
    interpolated.processSample (1.0f);
    for (int i = 0; i < 60 * testsignals::rate; ++i)
    {
        ASSERT_TRUE (testsignals::isZeroOrNormal (whole.processSample (0.0f))) << i;
        ASSERT_TRUE (testsignals::isZeroOrNormal (interpolated.processSample (0.0f))) << i;
    }
}

TEST (WholeSampleDelay, AShortLineClampsItsDelayToItsOwnLength)
{
    xDelay d (8);
    d.setDelayTime (1.0f);
    EXPECT_EQ (d.getDelaySamples(), 7);
    feedCounting (d, 7);
    EXPECT_EQ (d.processSample (0.0f), 1.0f);
    for (int i = 0; i < 20; ++i)
        d.processSample (0.0f); // wraps inside its eight slots
    EXPECT_EQ (d.getWriteIndex(), (1 + 7 + 20) % 8);
}

TEST (InterpolatedDelay, TapsStraddlingTheEndOfTheBufferReadWhatWasWrittenThere)
{
    // A slow ramp through more than one whole buffer: the cubic is exact on
    // it, so every read, including those whose four taps run past the last
    // slot into slots 0 to 2, gives the input of t calls before.
    for (float t : { 10.3f, 2.7f, 3.2f })
    {
        xDelay4p d;
        d.setDelayTime (samples (t));
        for (int i = 1; i <= xDelay4p::bufferLength + 64; ++i)
        {
            const float x = (float) i * 0.001f;
            const float y = d.processSample (x);
            if (i > 16)
                ASSERT_NEAR (y, (float) i * 0.001f - t * 0.001f, 1e-4f) << "t " << t << ", call " << i;
        }
    }
}
