#include "FilterTestSupport.h"
#include "ParameterText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST (NewFilter, ShowsTheDefaultTextsAndProgramNames)
{
    DemoJuceFilter f;
    const char* expected[] = { "0.50", "0.50", "0.50", "0.50", "0.50", "0.50", "0.50", "1.00", "0.00", "0.00", "1.00" };
    ASSERT_EQ (f.parameterCount(), 11);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ (f.parameterText (i), expected[i]) << i;

    ASSERT_EQ (f.programCount(), 128);
    for (int p = 0; p < 128; ++p)
        EXPECT_EQ (f.programNameAt (p), "Default");
    EXPECT_EQ (f.currentProgramIndex(), 0);
    EXPECT_EQ (f.getProgramName(), "Default");
    EXPECT_EQ (f.editorWidth, 450);
    EXPECT_EQ (f.editorHeight, 223);
}

TEST (NewFilter, NamesItsParametersAsTheHostShowsThem)
{
    DemoJuceFilter f;
    const char* names[] = { "EarlySize", "LateSize", "Decay",       "Diffusion",    "Listener",     "Dry-Wet",
                            "Volume",    "On-Off",   "Left On-Off", "Right On-Off", "Stereo On-Off" };
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ (f.parameterName (i), names[i]);
}

TEST (ParameterIndexBounds, OutsideIndicesReadEmptyAndWriteNothing)
{
    DemoJuceFilter f;
    for (int bad : { -1, 11, 1000 })
    {
        EXPECT_EQ (f.parameterName (bad), "");
        EXPECT_EQ (f.parameterText (bad), "");
        EXPECT_EQ (f.parameterValue (bad), 0.0f);
    }
    f.setParameterValue (11, 0.3f);
    f.setParameterValue (-1, 0.3f);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ (f.parameterText (i), i < 7 ? "0.50" : (i == 7 || i == 10 ? "1.00" : "0.00"));
}

TEST (ParameterValues, AreStoredUnclampedAndInTheCurrentProgram)
{
    DemoJuceFilter f;
    f.setParameterValue (0, 1.5f);
    f.setParameterValue (6, -0.25f);
    EXPECT_EQ (f.parameterValue (0), 1.5f);
    EXPECT_EQ (f.parameterValue (6), -0.25f);

    f.selectProgram (1);
    EXPECT_EQ (f.parameterValue (0), 0.5f);
    f.selectProgram (0);
    EXPECT_EQ (f.parameterValue (0), 1.5f);
    EXPECT_EQ (f.parameterValue (6), -0.25f);
}

TEST (ParameterValues, NonFiniteWritesAreDroppedAndThePreviousValueKept)
{
    DemoJuceFilter f;
    f.setParameterValue (2, 0.75f);
    f.setParameterValue (2, std::numeric_limits<float>::quiet_NaN());
    f.setParameterValue (2, std::numeric_limits<float>::infinity());
    f.setParameterValue (2, -std::numeric_limits<float>::infinity());
    EXPECT_EQ (f.parameterValue (2), 0.75f);
    f.selectProgram (0);
    EXPECT_EQ (f.parameterValue (2), 0.75f);
}

TEST (Programs, SelectingCopiesTheRecordAndKeepsItUnchanged)
{
    DemoJuceFilter f;
    f.selectProgram (5);
    for (int i = 0; i < 11; ++i)
        f.setParameterValue (i, 0.01f * (float) (i + 1));
    f.selectProgram (0);
    EXPECT_EQ (f.parameterValue (3), 0.5f);

    f.selectProgram (5);
    EXPECT_EQ (f.currentProgramIndex(), 5);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ (f.parameterValue (i), 0.01f * (float) (i + 1)) << i;
}

TEST (Programs, OutOfRangeSelectionsAreIgnored)
{
    DemoJuceFilter f;
    f.selectProgram (7);
    f.selectProgram (200);
    f.selectProgram (-1);
    f.selectProgram (128);
    EXPECT_EQ (f.currentProgramIndex(), 7);
    EXPECT_EQ (f.programNameAt (128), "");
}

TEST (Programs, RenamingChangesTheRecordAndTheCurrentName)
{
    DemoJuceFilter f;
    f.renameProgram (3, "Hall");
    EXPECT_EQ (f.programNameAt (3), "Hall");
    EXPECT_EQ (f.getProgramName(), "Hall");
    EXPECT_EQ (f.programNameAt (0), "Default");
}

TEST (Programs, SelectingBringsTheProgramsNameAlong)
{
    DemoJuceFilter f;
    f.selectProgram (3);
    f.renameProgram (3, "Plate");
    f.selectProgram (0);
    EXPECT_EQ (f.getProgramName(), "Default");
    f.selectProgram (3);
    EXPECT_EQ (f.getProgramName(), "Plate");
}

TEST (ChangeBroadcasts, ReachAListenerOnceForManyChanges)
{
    DemoJuceFilter f;
    ChangeCounter counter (f);
    f.selectProgram (5);
    EXPECT_EQ (counter.calls, 0) << "listeners hear changes later, on the message loop";
    pumpMessages();
    EXPECT_EQ (counter.calls, 1);
}

TEST (ChangeBroadcasts, FollowEvenAnIgnoredParameterWrite)
{
    DemoJuceFilter f;
    ChangeCounter counter (f);
    f.setParameterValue (11, 0.3f);
    pumpMessages();
    EXPECT_EQ (counter.calls, 1);
}

TEST (ChangeBroadcasts, DoNotFollowRenamingOrProcessing)
{
    DemoJuceFilter f;
    ChangeCounter counter (f);
    f.renameProgram (0, "Room");
    f.prepare (48000.0, 256);
    auto in = makeStereo (64, [] (int, int) { return 0.0f; });
    render (f, in);
    pumpMessages();
    EXPECT_EQ (counter.calls, 0);
}

TEST (ParameterText, RoundsToTwoDecimalsWithTheSignKept)
{
    EXPECT_EQ (formatParameterText (0.5f), "0.50");
    EXPECT_EQ (formatParameterText (1.0f), "1.00");
    EXPECT_EQ (formatParameterText (0.0f), "0.00");
    EXPECT_EQ (formatParameterText (0.05f), "0.05");
    EXPECT_EQ (formatParameterText (12.34f), "12.34");
    EXPECT_EQ (formatParameterText (-0.001f), "-0.00");
    EXPECT_EQ (formatParameterText (0.125f), "0.13");
    EXPECT_EQ (formatParameterText (0.005f), "0.00") << "the float nearest 0.005 lies just below it";
    EXPECT_EQ (formatParameterText (-2.5f), "-2.50");
}

TEST (ParameterText, GivesExactDigitsBeyondTheSixtyFourBitRange)
{
    // Above about 9.2e16 the hundredfold value no longer fits a 64-bit
    // integer; the text must still carry the float's exact digits.
    EXPECT_EQ (formatParameterText (1e17f), "99999998430674944.00");
    EXPECT_EQ (formatParameterText (-1e17f), "-99999998430674944.00");

    const float justBelowLimit = std::nextafter (1e20f, 0.0f);
    char digits[64];
    std::snprintf (digits, sizeof (digits), "%.0f.00", (double) justBelowLimit);
    EXPECT_EQ (formatParameterText (justBelowLimit), digits);
    EXPECT_EQ (formatParameterText (9.5e16f), "95000003663101952.00");
}

TEST (ParameterText, SwitchesToNineSignificantDigitsFromOneE20)
{
    EXPECT_EQ (formatParameterText (1e20f), "1.00000002e+20");
    EXPECT_EQ (formatParameterText (-1e20f), "-1.00000002e+20");
    EXPECT_EQ (formatParameterText (3e30f), "2.99999989e+30");
}
