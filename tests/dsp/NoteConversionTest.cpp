#include "xEffect.h"
#include "xNote.h"

#include <gtest/gtest.h>

TEST (NoteConversion, NoteZeroIsTheReferenceFrequency)
{
    EXPECT_NEAR (noteToFrequency (0.0f), 8.17742f, 1e-5f);
    EXPECT_NEAR (noteToPeriod (0.0f), 0.122288f, 1e-6f);
}

TEST (NoteConversion, MiddleNotesLandWhereTheTuningPutsThem)
{
    EXPECT_NEAR (noteToFrequency (60.0f), 261.632f, 1e-3f);
    EXPECT_NEAR (noteToFrequency (36.0f), 65.413f, 1e-3f);
    EXPECT_NEAR (noteToFrequency (97.0f), 2217.281f, 2e-3f);
}

TEST (NoteConversion, NoteSixtyNineIsJustBelowFourForty)
{
    const float f = noteToFrequency (69.0f);
    EXPECT_NEAR (f, 439.9998f, 1e-4f);
    EXPECT_LT (f, 440.0f);
}

TEST (NoteConversion, PeriodOfNoteSixtyIsAboutOneHundredSixtyEightSamples)
{
    const float p = noteToPeriod (60.0f);
    EXPECT_NEAR (p, 0.0038222f, 1e-7f);
    EXPECT_NEAR (p * 44100.0f, 168.56f, 0.01f);
}

TEST (NoteConversion, NegativeAndFractionalNotesGiveLongerPeriods)
{
    EXPECT_GT (noteToPeriod (-12.0f), noteToPeriod (0.0f));
    EXPECT_NEAR (noteToPeriod (-12.0f), 0.24457f, 1e-4f);
    EXPECT_NEAR (noteToPeriod (-24.0f), 0.48912f, 1e-4f);
    EXPECT_LT (noteToPeriod (60.5f), noteToPeriod (60.0f));
}

TEST (DecayPower, UsesTheDecayBaseNotTheDecibelBase)
{
    EXPECT_EQ (decayPower (0.0f), 1.0f);
    EXPECT_EQ (decayPower (1.0f), 1.2202f);
    EXPECT_NEAR (decayPower (-144.0f), 3.58e-13f, 0.01e-13f);
}

TEST (ClampUnit, LimitsToZeroAndOne)
{
    EXPECT_EQ (clampUnit (-0.5f), 0.0f);
    EXPECT_EQ (clampUnit (1.5f), 1.0f);
    EXPECT_EQ (clampUnit (0.25f), 0.25f);
}

TEST (EffectBase, ReturnsTheFrameAndSampleUntouched)
{
    xEffect e;
    float frame[2] = { 0.25f, -0.75f };
    EXPECT_EQ (e.processFrame (frame, 2), frame);
    EXPECT_EQ (frame[0], 0.25f);
    EXPECT_EQ (frame[1], -0.75f);
    EXPECT_EQ (e.processSample (0.125f), 0.125f);
    EXPECT_FALSE (e.isBypassed());
    EXPECT_EQ (e.getSampleRate(), 44100.0f);
}
