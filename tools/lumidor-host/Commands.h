#pragma once

#include <string>
#include <vector>

/** One subcommand of lumidor-host. `run` gets the words after the
    subcommand's name and returns the process exit status. */
struct Command
{
    const char* name;
    const char* usage;
    const char* summary;
    /** One line per argument and option, with its range and default, for
        SUBCOMMAND --help. */
    const char* options;
    int (*run) (const std::vector<std::string>& args);
    bool hidden;
};

int runInfo (const std::vector<std::string>& args);
int runRender (const std::vector<std::string>& args);
int runIr (const std::vector<std::string>& args);
int runBench (const std::vector<std::string>& args);
int runValidate (const std::vector<std::string>& args);
int runPreset (const std::vector<std::string>& args);
int runMakeDemoPhrase (const std::vector<std::string>& args);
int runGui (const std::vector<std::string>& args);

/** Prints "lumidor-host: message" to the error stream; returns 2, the exit
    status of a usage error. */
int usageError (const std::string& message);
