#pragma once

#include <optional>
#include <string>

// What each normalised parameter value means to a listener, in the unit a
// host should show it in. This is the one place that turns the plug-in's
// 0..1 values into percent, decibels and seconds and back, for every format
// that shows units (VST3, LV2, standalone). The VST 2 surface keeps its plain
// two-decimal texts and never reads this.
//
// The conversions follow the filter's and the engine's own mappings: Volume
// is 24·v − 12 dB, Decay is the engine's decay time 0.001 · 1.2202^(60·v)
// seconds, the switches are on at 1. Pure functions, any thread.
namespace ParameterUnits
{
enum class Kind
{
    percent,  // 0..100 %, linear in the normalised value
    decibels, // -12..+12 dB, linear in the normalised value
    seconds,  // the engine's decay time, exponential in the normalised value
    toggle    // 0 or 1
};

struct Unit
{
    Kind kind;
    const char* symbol; // a lower-case identifier for hosts that key ports by name
    double minimum;     // value in the unit at normalised 0
    double maximum;     // value in the unit at normalised 1
};

/** The unit of a parameter (host index 0..10); any other index reads as a
    plain percentage. */
const Unit& unitOf (int index) noexcept;

/** The value in the parameter's unit for a normalised value. Not clamped:
    a value outside 0..1 maps by the same formula. A toggle reads 1 exactly
    when the normalised value is not 0. */
double toUnit (int index, float normalised) noexcept;

/** The normalised value for a value in the parameter's unit, clamped to
    0..1; a toggle is 1 from 0.5 up. NaN gives the parameter's default. */
float fromUnit (int index, double value) noexcept;

/** Text of a normalised value with its unit: "50.0 %", "-3.0 dB",
    "392 ms", "1.53 s", "On". */
std::string formatText (int index, float normalised);

/** The normalised value a user's text asks for: a number with an optional
    unit ("40", "40 %", "-3dB", "500 ms", "2.5 s", "on", "off"). A bare
    number is in the unit shown (seconds for Decay). Nothing when the text
    holds no number; out-of-range numbers are clamped. */
std::optional<float> parseText (int index, const std::string& text);
} // namespace ParameterUnits
