#include "xLateLanes.h"
#include "xShelfLanes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

namespace
{
uint32_t bitsOf (float v)
{
    uint32_t b;
    std::memcpy (&b, &v, sizeof (b));
    return b;
}

// The two-lane steps must give the scalar steps' bits; NaN only has to stay
// NaN (its payload is not part of the output).
::testing::AssertionResult bitEqual (float lanes, float scalar)
{
    if ((std::isnan (lanes) && std::isnan (scalar)) || bitsOf (lanes) == bitsOf (scalar))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << lanes << " (two lanes) against " << scalar << " (scalar)";
}

// Noise over a wide range of magnitudes, with runs of silence in between so
// that the recursions decay through the denormal range.
float testInput (std::mt19937& rng, int i)
{
    if ((i / 2000) % 3 == 2)
        return 0.0f;
    std::uniform_real_distribution<float> mantissa (-1.0f, 1.0f);
    std::uniform_int_distribution<int> exponent (-140, 40);
    return std::ldexp (mantissa (rng), exponent (rng));
}
}

TEST (Lanes, ShelfPairGivesTheBitsOfTwoScalarShelves)
{
    xShelf left, right, refLeft, refRight;
    const auto design = [] (xShelf& s, float high, float highDb, float low, float lowDb)
    {
        s.setHighShelfFrequency (high);
        s.setHighShelfGain (highDb);
        s.setLowShelfFrequency (low);
        s.setLowShelfGain (lowDb);
    };
    design (left, 2217.0f, -1.2f, 65.4f, -0.7f);
    design (refLeft, 2217.0f, -1.2f, 65.4f, -0.7f);
    design (right, 9000.0f, 12.0f, 300.0f, -24.0f);
    design (refRight, 9000.0f, 12.0f, 300.0f, -24.0f);

    xShelfLanes lanes;
    lanes.copyCoefficients (left, right);
    std::mt19937 rng (17);
    for (int i = 0; i < 30000; ++i)
    {
        const float l = testInput (rng, i);
        const float r = i == 29000 ? std::numeric_limits<float>::infinity() : testInput (rng, i + 1000);
        const xLanes2 y = lanes.run ({ l, r });
        ASSERT_TRUE (bitEqual (y.left(), refLeft.run (l))) << i;
        ASSERT_TRUE (bitEqual (y.right(), refRight.run (r))) << i;
    }
}

TEST (Lanes, LateChainPairGivesTheBitsOfTwoScalarChains)
{
    // Two chains stepped in lanes against the same two chains stepped one by
    // one, with different sizes, offsets and diffusion spreads per lane.
    xLateDiff left, right, refLeft, refRight;
    const auto configure = [] (xLateDiff& c, float size, float offset, float spread)
    {
        c.setHighShelfFrequency (2217.0f);
        c.initHighShelfGain();
        c.setLowShelfFrequency (65.4f);
        c.initLowShelfGain();
        c.setDiffusionSpread (spread);
        c.setDiffusion (0.7f);
        c.setDecayTime (2.5f);
        for (int k = 0; k < xLateDiff::numOffsets; ++k)
            c.setModulationOffset (k, offset * (float) (k + 1));
        c.setSize (size);
    };
    configure (left, 10.5f, 0.0002f, 0.0f);
    configure (refLeft, 10.5f, 0.0002f, 0.0f);
    configure (right, 13.5f, -0.0003f, 0.3f);
    configure (refRight, 13.5f, -0.0003f, 0.3f);

    xLateLanes lanes;
    lanes.copyCoefficients (left, right);
    std::mt19937 rng (5);
    for (int i = 0; i < 30000; ++i)
    {
        const float l = testInput (rng, i);
        const float r = testInput (rng, i + 1000);
        const xLanes2 y = lanes.run (left, right, { l, r });
        ASSERT_TRUE (bitEqual (y.left(), refLeft.processSample (l))) << i;
        ASSERT_TRUE (bitEqual (y.right(), refRight.processSample (r))) << i;
        ASSERT_TRUE (bitEqual (lanes.feedbackOut().left(), refLeft.feedbackOut())) << i;
        ASSERT_TRUE (bitEqual (lanes.feedbackOut().right(), refRight.feedbackOut())) << i;
    }
    EXPECT_EQ (left.getUpdateCounter(), refLeft.getUpdateCounter());
    EXPECT_EQ (left.getLoopDelay().getWriteIndex(), refLeft.getLoopDelay().getWriteIndex());
}
