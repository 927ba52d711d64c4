#pragma once

#include <optional>
#include <string>

// Port values as the bundle writes them: the text of a value in a
// parameter's unit that a host reads back into exactly the normalised float
// the plug-in means.
namespace PortValues
{
/** The text lilv and hosts parse: nine significant digits, always with a
    decimal point or an exponent, so that Turtle reads it as a number. */
std::string text (float portValue);

/** True when the text, read as a host reads a control port value (a double
    rounded to float), converts to exactly the wanted normalised value. */
bool readsAs (int parameterIndex, const std::string& text, float normalised);

/** The text of a port value that reads as the normalised value: the unit's
    value, nudged by a few float steps where the conversion back does not
    land on the very same float. Nothing when no nearby value does. */
std::optional<std::string> exactText (int parameterIndex, float normalised);
}
