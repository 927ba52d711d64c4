#include "ParameterUnits.h"

#include "ParameterTable.h"
#include "xNote.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ParameterUnits
{
namespace
{
constexpr double decayExponentPerUnit = 60.0; // the filter passes 60·v to the engine
constexpr double decayTimeScale = 0.001;      // seconds: the engine's time for exponent 0
constexpr double volumeRangeDb = 24.0;        // -12..+12 dB
constexpr double volumeOffsetDb = -12.0;

bool validIndex (int index) noexcept { return index >= 0 && index < ParameterIndex::count; }

// Exactly the decay time the late field hears for a normalised Decay value:
// the filter's exponent 60·v in double precision rounded to float, then the
// engine's 0.001 · 1.2202^x, the product in double rounded to float.
double decaySeconds (float normalised) noexcept
{
    const auto exponent = (float) ((double) normalised * decayExponentPerUnit);
    return (double) (float) (decayTimeScale * (double) decayPower (exponent));
}

float decayNormalised (double seconds) noexcept
{
    if (! (seconds > 0.0))
        return 0.0f;
    const double logBase = std::log ((double) decayPower (1.0f));
    return (float) (std::log (seconds / decayTimeScale) / (logBase * decayExponentPerUnit));
}

float clamped (float v) noexcept { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

const std::array<Unit, ParameterIndex::count>& units() noexcept
{
    static const std::array<Unit, ParameterIndex::count> table { {
        { Kind::percent, "early_size", 0.0, 100.0 },
        { Kind::percent, "late_size", 0.0, 100.0 },
        { Kind::seconds, "decay", decaySeconds (0.0f), decaySeconds (1.0f) },
        { Kind::percent, "diffusion", 0.0, 100.0 },
        { Kind::percent, "listener", 0.0, 100.0 },
        { Kind::percent, "dry_wet", 0.0, 100.0 },
        { Kind::decibels, "volume", volumeOffsetDb, volumeOffsetDb + volumeRangeDb },
        { Kind::toggle, "on_off", 0.0, 1.0 },
        { Kind::toggle, "left_on_off", 0.0, 1.0 },
        { Kind::toggle, "right_on_off", 0.0, 1.0 },
        { Kind::toggle, "stereo_on_off", 0.0, 1.0 },
    } };
    return table;
}

constexpr Unit plainUnit { Kind::percent, "", 0.0, 100.0 };

std::string printed (const char* format, double value)
{
    if (value == 0.0)
        value = 0.0; // never "-0.0"
    char text[48];
    std::snprintf (text, sizeof (text), format, value);
    return text;
}

std::string lowerTrimmed (const std::string& text)
{
    std::string s;
    for (char c : text)
        if (! std::isspace ((unsigned char) c))
            s += (char) std::tolower ((unsigned char) c);
    return s;
}
} // namespace

const Unit& unitOf (int index) noexcept { return validIndex (index) ? units()[(size_t) index] : plainUnit; }

double toUnit (int index, float normalised) noexcept
{
    const auto& u = unitOf (index);
    switch (u.kind)
    {
        case Kind::seconds: return decaySeconds (normalised);
        case Kind::toggle:
            // The engine runs only at exactly 1; the input switches act on any
            // value but 0.
            if (index == ParameterIndex::onOff)
                return normalised == 1.0f ? 1.0 : 0.0;
            return normalised != 0.0f ? 1.0 : 0.0;
        case Kind::percent:
        case Kind::decibels: break;
    }
    return u.minimum + (double) normalised * (u.maximum - u.minimum);
}

float fromUnit (int index, double value) noexcept
{
    if (std::isnan (value))
        return validIndex (index) ? parameterTable[(size_t) index].defaultValue : 0.0f;

    const auto& u = unitOf (index);
    switch (u.kind)
    {
        case Kind::seconds: return clamped (decayNormalised (value));
        case Kind::toggle: return value >= 0.5 ? 1.0f : 0.0f;
        case Kind::percent:
        case Kind::decibels: break;
    }
    return clamped ((float) ((value - u.minimum) / (u.maximum - u.minimum)));
}

std::string formatText (int index, float normalised)
{
    const double value = toUnit (index, normalised);
    switch (unitOf (index).kind)
    {
        case Kind::percent: return printed ("%.1f %%", value);
        case Kind::decibels: return printed ("%.1f dB", value);
        case Kind::seconds:
            if (value < 1.0)
                return printed ("%.0f ms", value * 1000.0);
            return printed (value < 10.0 ? "%.2f s" : "%.1f s", value);
        case Kind::toggle: return value != 0.0 ? "On" : "Off";
    }
    return {};
}

std::optional<float> parseText (int index, const std::string& text)
{
    const auto s = lowerTrimmed (text);
    const auto kind = unitOf (index).kind;

    if (kind == Kind::toggle)
    {
        if (s == "on" || s == "true" || s == "yes")
            return 1.0f;
        if (s == "off" || s == "false" || s == "no")
            return 0.0f;
    }

    const char* begin = s.c_str();
    char* end = nullptr;
    const double number = std::strtod (begin, &end);
    if (end == begin || ! std::isfinite (number))
        return std::nullopt;

    const std::string suffix (end);
    double value = number;
    if (kind == Kind::seconds && suffix == "ms")
        value = number / 1000.0;
    else if (! (suffix.empty() || (kind == Kind::seconds && suffix == "s") || (kind == Kind::percent && suffix == "%")
                || (kind == Kind::decibels && suffix == "db")))
        return std::nullopt;

    return fromUnit (index, value);
}
} // namespace ParameterUnits
