#include "PortValues.h"

#include "ParameterUnits.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace
{
// How many float steps to either side of the unit's value are tried.
constexpr int maxNudgeSteps = 64;

bool sameBits (float a, float b) { return std::memcmp (&a, &b, sizeof (float)) == 0; }
}

std::string PortValues::text (float portValue)
{
    char buffer[48];
    std::snprintf (buffer, sizeof (buffer), "%.9g", (double) (portValue == 0.0f ? 0.0f : portValue));
    std::string s (buffer);
    if (s.find_first_of (".e") == std::string::npos)
        s += ".0";
    return s;
}

bool PortValues::readsAs (int parameterIndex, const std::string& text, float normalised)
{
    char* end = nullptr;
    const double parsed = std::strtod (text.c_str(), &end);
    if (end == text.c_str() || *end != 0)
        return false;
    const auto portValue = (float) parsed;
    return sameBits (ParameterUnits::fromUnit (parameterIndex, (double) portValue), normalised)
           && sameBits (ParameterUnits::fromUnit (parameterIndex, (double) std::strtof (text.c_str(), nullptr)),
                        normalised);
}

std::optional<std::string> PortValues::exactText (int parameterIndex, float normalised)
{
    const auto start = (float) ParameterUnits::toUnit (parameterIndex, normalised);
    if (! std::isfinite (start))
        return std::nullopt;

    float up = start, down = start;
    for (int step = 0; step <= maxNudgeSteps; ++step)
    {
        for (float candidate : { up, down })
        {
            const auto t = text (candidate);
            if (readsAs (parameterIndex, t, normalised))
                return t;
        }
        up = std::nextafter (up, std::numeric_limits<float>::infinity());
        down = std::nextafter (down, -std::numeric_limits<float>::infinity());
    }
    return std::nullopt;
}
