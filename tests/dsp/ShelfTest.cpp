#include "TestSignals.h"
#include "xNote.h"
#include "xShelf.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
template <class Filter>
struct Designed : Filter
{
    Designed (float hz, float dB)
    {
        this->setFrequency (hz);
        this->setGain (dB);
    }
};

// Steady-state gain of y = b0 x + b1 x[n-1] + a1 y[n-1] at 0 Hz and at
// half the sample rate.
float gainAtZero (const xBiLin1p& f) { return (f.getB0() + f.getB1()) / (1.0f - f.getA1()); }
float gainAtNyquist (const xBiLin1p& f) { return (f.getB0() - f.getB1()) / (1.0f + f.getA1()); }
}

TEST (ShelfDesign, SixDecibelHighShelfAtOneKilohertz)
{
    const Designed<xBiLin1pHS> f (1000.0f, 6.0f);
    EXPECT_NEAR (f.getDesignCorner(), 1412.508f, 1e-3f);
    EXPECT_NEAR (f.getA1(), 0.8165882f, 1e-7f);
    EXPECT_NEAR (f.getB0(), 1.9039145f, 1e-7f);
    EXPECT_NEAR (f.getB1(), -1.7205026f, 1e-7f);
    EXPECT_NEAR (gainAtZero (f), 1.0f, 1e-5f);
    EXPECT_NEAR (gainAtNyquist (f), 1.9952f, 1e-4f);
}

TEST (ShelfDesign, SixDecibelLowShelfAtOneKilohertz)
{
    const Designed<xBiLin1pLS> f (1000.0f, 6.0f);
    EXPECT_NEAR (f.getDesignCorner(), 707.961f, 1e-3f);
    EXPECT_NEAR (f.getA1(), 0.9038980f, 1e-7f);
    EXPECT_NEAR (f.getB0(), 1.0478193f, 1e-7f);
    EXPECT_NEAR (f.getB1(), -0.8560787f, 1e-7f);
    EXPECT_NEAR (gainAtZero (f), 1.9952f, 1e-3f);
    EXPECT_NEAR (gainAtNyquist (f), 1.0f, 1e-5f);
}

TEST (ShelfDesign, TheFourEngineShelvesHaveTheirTabledCoefficients)
{
    const Designed<xBiLin1pHS> outHigh (noteToFrequency (102.0f), -2.0f);
    const Designed<xBiLin1pLS> outLow (noteToFrequency (58.0f), -5.5f);
    const Designed<xBiLin1pHS> loopHigh (noteToFrequency (97.0f), -1.2f);
    const Designed<xBiLin1pLS> loopLow (noteToFrequency (36.0f), -0.7f);

    const struct
    {
        const xBiLin1p& f;
        float fc, a1, b0, b1;
    } rows[] = {
        { outHigh, 2637.83f, 0.6804513f, 0.8271987f, -0.5076501f },
        { outLow, 319.90f, 0.9554300f, 0.9895462f, -0.9658838f },
        { loopHigh, 2069.30f, 0.7414181f, 0.8876532f, -0.6290712f },
        { loopLow, 68.10f, 0.9903439f, 0.9996262f, -0.9907177f },
    };
    for (const auto& r : rows)
    {
        EXPECT_NEAR (r.f.getDesignCorner(), r.fc, 0.01f);
        EXPECT_NEAR (r.f.getA1(), r.a1, 1e-7f);
        EXPECT_NEAR (r.f.getB0(), r.b0, 1e-7f);
        EXPECT_NEAR (r.f.getB1(), r.b1, 1e-7f);
    }
}

TEST (ShelfDesign, CornersClampToTheUsableBand)
{
    EXPECT_NEAR (Designed<xBiLin1pHS> (30000.0f, 0.0f).getDesignCorner(), 20752.94f, 0.01f);
    EXPECT_NEAR (Designed<xBiLin1pLS> (30000.0f, 0.0f).getDesignCorner(), 20752.94f, 0.01f);
    EXPECT_NEAR (Designed<xBiLin1pHS> (0.0f, 0.0f).getDesignCorner(), 1.7944f, 1e-4f);
    EXPECT_NEAR (Designed<xBiLin1pLS> (-50.0f, 0.0f).getDesignCorner(), 1.7944f, 1e-4f);
    EXPECT_NEAR (Designed<xBiLin1pHS> (std::nanf (""), 0.0f).getDesignCorner(), 1.7944f, 1e-4f);
}

TEST (ShelfFiltering, FlatShelfPairReturnsTheInputPlusItsOffsets)
{
    xShelf s;
    s.setHighShelfFrequency (1000.0f);
    s.setHighShelfGain (0.0f);
    s.setLowShelfFrequency (1000.0f);
    s.setLowShelfGain (0.0f);
    testsignals::Lcg noise;
    for (int i = 0; i < 1000; ++i)
    {
        const float x = noise.next();
        EXPECT_NEAR (s.processSample (x), x + 1e-12f + 1e-10f, 1e-6f);
    }
}

TEST (ShelfFiltering, FlatShelfAtTheLowestCornerStillPassesTheSignal)
{
    Designed<xBiLin1pHS> f (0.0f, 0.0f);
    for (int i = 0; i < 100; ++i)
        EXPECT_NEAR (f.processSample (0.5f), 0.5f, 1e-4f);
}

TEST (ShelfFiltering, AShelfNeverDesignedOutputsZero)
{
    xShelf s;
    xBiLin1pHS h;
    for (float x : { 1.0f, -3.0f, 0.25f })
    {
        EXPECT_EQ (s.processSample (x), 0.0f);
        EXPECT_EQ (h.processSample (x), 0.0f);
    }
}

TEST (ShelfFiltering, SixtySecondsOfSilenceAfterAnImpulseStayZeroOrNormal)
{
    xShelf s;
    s.setHighShelfFrequency (noteToFrequency (97.0f));
    s.setHighShelfGain (-1.2f);
    s.setLowShelfFrequency (noteToFrequency (36.0f));
    s.setLowShelfGain (-0.7f);
    s.processSample (1.0f);
    for (int i = 0; i < 60 * testsignals::rate; ++i)
        ASSERT_TRUE (testsignals::isZeroOrNormal (s.processSample (0.0f))) << i;
}
