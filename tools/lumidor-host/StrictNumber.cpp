#include "StrictNumber.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace
{
bool isDigit (char c) noexcept { return c >= '0' && c <= '9'; }

const char* skipDigits (const char* p, const char* end) noexcept
{
    while (p != end && isDigit (*p))
        ++p;
    return p;
}

/** The end of the decimal number that starts at `p`, or `p` itself when
    none does. The sign is taken by the caller. */
const char* numberEnd (const char* p, const char* end) noexcept
{
    const char* const start = p;
    p = skipDigits (p, end);
    bool digits = p != start;
    if (p != end && *p == '.')
    {
        const char* const fraction = p + 1;
        p = skipDigits (fraction, end);
        digits = digits || p != fraction;
    }
    if (! digits)
        return start;
    if (p != end && (*p == 'e' || *p == 'E'))
    {
        const char* exponent = p + 1;
        if (exponent != end && (*exponent == '+' || *exponent == '-'))
            ++exponent;
        const char* const exponentEnd = skipDigits (exponent, end);
        if (exponentEnd == exponent)
            return start;
        p = exponentEnd;
    }
    return p;
}
}

namespace StrictNumber
{
std::optional<double> parse (const std::string& text)
{
    const char* first = text.data();
    const char* const end = first + text.size();
    const bool negative = first != end && *first == '-';
    if (first != end && (*first == '+' || *first == '-'))
        ++first;
    // Our own grammar first: from_chars alone would take "inf", "nan" and
    // more than one spelling of them.
    if (first == end || numberEnd (first, end) != end)
        return std::nullopt;

    // from_chars rounds correctly, ignores the locale and reports a value
    // beyond a double (either way) as an error rather than as infinity.
    double value = 0.0;
    const auto result = std::from_chars (first, end, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end || ! std::isfinite (value))
        return std::nullopt;
    return negative ? -value : value;
}

std::string Range::describe() const
{
    std::string text = *kind != 0 ? std::string (kind) + " from " : std::string();
    text += format (low) + " to " + format (high);
    if (*unit != 0)
        text += std::string (" ") + unit;
    return text;
}

std::string format (double value)
{
    char text[32];
    std::snprintf (text, sizeof (text), "%.9g", value);
    return text;
}

bool read (const std::string& what, const std::string& text, const Range& range, double& value, std::string& error)
{
    const auto parsed = parse (text);
    if (! parsed || ! range.contains (*parsed))
    {
        error = what + " wants " + range.describe() + (parsed ? "" : " as a finite decimal number") + ", not \"" + text
                + "\"";
        return false;
    }
    value = *parsed;
    return true;
}
}
