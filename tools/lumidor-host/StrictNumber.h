#pragma once

#include <optional>
#include <string>

/** The one reader of the numbers a user hands the tool, on the command line
    and inside the program and bank files it is told to load. A number is
    written in decimal and nothing else, so that a typing slip or a damaged
    file is refused rather than read as something the user did not write. */
namespace StrictNumber
{
/** The value of the whole text when it is [sign] digits [. digits]
    [e|E [sign] digits], with digits on at least one side of the point: no
    space or other character before or after, no hexadecimal, no "inf" or
    "nan". Nothing for any other text, the empty one included, or when the
    value is beyond what a finite double holds. The point is '.' whatever
    the process locale. */
std::optional<double> parse (const std::string& text);

/** The values a caller allows, low and high included, and how a message
    names them: "KIND from LOW to HIGH UNIT", or "LOW to HIGH UNIT" when
    there is no kind. */
struct Range
{
    double low;
    double high;
    const char* kind = "";
    const char* unit = "";

    bool contains (double value) const noexcept { return value >= low && value <= high; }
    std::string describe() const;
};

/** The number as messages print it: %.9g, enough digits for any float. */
std::string format (double value);

/** Reads `text` as the value of `what` (an option or a parameter, such as
    "--tail" or "--param Volume"). Returns false with `error` set to
    `WHAT wants RANGE as a finite decimal number, not "TEXT"` for text that
    does not parse, or `WHAT wants RANGE, not "TEXT"` for a value outside
    the range. */
bool read (const std::string& what, const std::string& text, const Range& range, double& value, std::string& error);
}
