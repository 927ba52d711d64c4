#include "ParameterTable.h"
#include "ParameterUnits.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ParameterUnits;

TEST (ParameterUnits, ValuesReadInTheirUnitsAtTheEndsAndTheMiddle)
{
    EXPECT_EQ (formatText (ParameterIndex::volume, 0.0f), "-12.0 dB");
    EXPECT_EQ (formatText (ParameterIndex::volume, 0.5f), "0.0 dB");
    EXPECT_EQ (formatText (ParameterIndex::volume, 1.0f), "12.0 dB");

    EXPECT_EQ (formatText (ParameterIndex::dryWet, 0.0f), "0.0 %");
    EXPECT_EQ (formatText (ParameterIndex::dryWet, 0.5f), "50.0 %");
    EXPECT_EQ (formatText (ParameterIndex::earlySize, 1.0f), "100.0 %");

    // The late field's decay time: 1 ms, 0.39 s and 153 s.
    EXPECT_EQ (formatText (ParameterIndex::decay, 0.0f), "1 ms");
    EXPECT_EQ (formatText (ParameterIndex::decay, 0.5f), "392 ms");
    EXPECT_EQ (formatText (ParameterIndex::decay, 1.0f), "153.4 s");
    EXPECT_NEAR (unitOf (ParameterIndex::decay).maximum, 153.41, 0.01);

    EXPECT_EQ (formatText (ParameterIndex::onOff, 1.0f), "On");
    EXPECT_EQ (formatText (ParameterIndex::leftOnOff, 0.0f), "Off");
}

TEST (ParameterUnits, SwitchesReadAsTheFilterHearsThem)
{
    // The engine runs only at exactly 1; an input switch acts on any value but 0.
    EXPECT_EQ (toUnit (ParameterIndex::onOff, 0.999f), 0.0);
    EXPECT_EQ (toUnit (ParameterIndex::leftOnOff, 0.25f), 1.0);
    EXPECT_EQ (fromUnit (ParameterIndex::rightOnOff, 0.7), 1.0f);
    EXPECT_EQ (fromUnit (ParameterIndex::rightOnOff, 0.2), 0.0f);
}

TEST (ParameterUnits, TypedTextParsesBackToTheValueItShows)
{
    for (int index = 0; index < ParameterIndex::count; ++index)
        for (float v : { 0.0f, 0.25f, 0.5f, 0.75f, 1.0f })
        {
            const auto text = formatText (index, v);
            const auto parsed = parseText (index, text);
            ASSERT_TRUE (parsed.has_value()) << text;
            EXPECT_EQ (formatText (index, *parsed), text) << "parameter " << index;
        }
}

TEST (ParameterUnits, TypedTextTakesOtherUnitsAndRefusesNonsense)
{
    EXPECT_FLOAT_EQ (*parseText (ParameterIndex::volume, "-12dB"), 0.0f);
    EXPECT_FLOAT_EQ (*parseText (ParameterIndex::volume, " +6 "), 0.75f);
    EXPECT_FLOAT_EQ (*parseText (ParameterIndex::dryWet, "25%"), 0.25f);
    EXPECT_EQ (*parseText (ParameterIndex::onOff, "off"), 0.0f);

    const auto halfSecond = *parseText (ParameterIndex::decay, "500 ms");
    EXPECT_FLOAT_EQ (halfSecond, *parseText (ParameterIndex::decay, "0.5 s"));
    EXPECT_NEAR (toUnit (ParameterIndex::decay, halfSecond), 0.5, 0.001);

    // Out of range is clamped into the parameter's range.
    EXPECT_EQ (*parseText (ParameterIndex::volume, "40 dB"), 1.0f);
    EXPECT_EQ (*parseText (ParameterIndex::decay, "0 ms"), 0.0f);

    EXPECT_FALSE (parseText (ParameterIndex::volume, "loud").has_value());
    EXPECT_FALSE (parseText (ParameterIndex::volume, "3 %").has_value());
    EXPECT_FALSE (parseText (ParameterIndex::dryWet, "nan").has_value());
    EXPECT_EQ (fromUnit (ParameterIndex::volume, std::nan ("")), 0.5f);
}
