#pragma once

#include "StrictNumber.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

/** The arguments of one subcommand: positional words, options with a value
    ("--name value" or "--name=value", repeatable) and flags ("--json").
    The module argument is taken out first: an existing path ending in .so,
    otherwise the module installed with this tool, else the one it was built
    with. */
class CommandLine
{
public:
    /** Parses `words` (the subcommand name excluded). `flags` are the options
        that take no value; `options` those that take one. Returns false with
        a message in error() for an unknown option or a missing value. */
    bool parse (const std::vector<std::string>& words, const std::vector<std::string>& options,
                const std::vector<std::string>& flags = {});

    /** Takes the module argument: the first positional word when it is an
        existing path ending in .so (a bare file name gets "./", so that it
        names that file and not a library on the search path), else the
        default module. */
    std::string takeModule();

    const std::vector<std::string>& positionals() const noexcept { return words; }
    bool has (const std::string& name) const;
    /** The last value given for the option, if any. */
    std::optional<std::string> value (const std::string& name) const;
    /** Every value given for a repeatable option, in order. */
    std::vector<std::string> values (const std::string& name) const;

    /** The option as a number held to `range`; `fallback` when absent (not
        checked). Returns false with a message in error() that names the
        range when the value is not a finite decimal number or lies outside. */
    bool number (const std::string& name, double fallback, const StrictNumber::Range& range, double& result);

    const std::string& error() const noexcept { return message; }

    /** The module used when none is given on the command line. */
    static std::string defaultModule();
    static bool isModulePath (const std::string& word);
    /** A module path as dlopen must see it: "./NAME" for a bare file name,
        which it would otherwise look up on the library path. */
    static std::string asGiven (const std::string& path);
    /** DIR/relative when the tool runs as DIR/bin/lumidor-host and that is a
        readable file, else empty. */
    static std::string installedBesideTool (const std::string& relative);

private:
    std::vector<std::string> words;
    std::multimap<std::string, std::string> given;
    std::vector<std::pair<std::string, std::string>> ordered;
    std::string message;
};
