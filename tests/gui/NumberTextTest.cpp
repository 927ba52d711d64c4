#include "xGUINumberText.h"

#include <gtest/gtest.h>

TEST (NumberTextFormat, RoundsHalfUpOnTheMagnitude)
{
    EXPECT_EQ (xGUINumberText::format (0.25, 1), "0.3");
    EXPECT_EQ (xGUINumberText::format (-0.25, 1), "-0.3");
    EXPECT_EQ (xGUINumberText::format (12.0, 1), "12.0");
    EXPECT_EQ (xGUINumberText::format (99.96, 1), "100.0");
    EXPECT_EQ (xGUINumberText::format (3.14159, 3), "3.142");
}

TEST (NumberTextFormat, KeepsTheSignOfTinyNegativeNumbers)
{
    EXPECT_EQ (xGUINumberText::format (-0.0024, 1), "-0.0");
    EXPECT_EQ (xGUINumberText::format (0.0, 1), "0.0");
    EXPECT_EQ (xGUINumberText::format (-0.0, 1), "0.0");
}

TEST (NumberTextFormat, PadsFractionsWithLeadingZeros)
{
    EXPECT_EQ (xGUINumberText::format (1.05, 3), "1.050");
    EXPECT_EQ (xGUINumberText::format (-6.002, 2), "-6.00");
}

TEST (NumberTextFormat, WithoutDecimalsUsesTheGeneralForm)
{
    EXPECT_EQ (xGUINumberText::format (0.0, 0), "0");
    EXPECT_EQ (xGUINumberText::format (2.5, 0), "2.5");
}

TEST (NumberTextFormat, NonFiniteNumbersDoNotBreakIt)
{
    EXPECT_FALSE (xGUINumberText::format (std::numeric_limits<double>::infinity(), 1).isEmpty());
    EXPECT_FALSE (xGUINumberText::format (std::numeric_limits<double>::quiet_NaN(), 1).isEmpty());
    EXPECT_FALSE (xGUINumberText::format (1.0e300, 1).isEmpty());
}

TEST (NumberTextParse, ReadsTheLeadingNumberAndIgnoresTheRest)
{
    EXPECT_FLOAT_EQ (xGUINumberText::leadingNumber ("-6"), -6.0f);
    EXPECT_FLOAT_EQ (xGUINumberText::leadingNumber ("200%"), 200.0f);
    EXPECT_FLOAT_EQ (xGUINumberText::leadingNumber ("  +3.5db"), 3.5f);
    EXPECT_FLOAT_EQ (xGUINumberText::leadingNumber ("1e1x"), 10.0f);
    EXPECT_FLOAT_EQ (xGUINumberText::leadingNumber (".5"), 0.5f);
}

TEST (NumberTextParse, TextWithoutANumberReadsAsZero)
{
    EXPECT_FLOAT_EQ (xGUINumberText::leadingNumber ("loud"), 0.0f);
    EXPECT_FLOAT_EQ (xGUINumberText::leadingNumber (""), 0.0f);
    EXPECT_FLOAT_EQ (xGUINumberText::leadingNumber ("%50"), 0.0f);
}
