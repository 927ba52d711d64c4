#pragma once

#include "CommandLine.h"
#include "VstHost.h"

#include <memory>
#include <string>
#include <vector>

/** The settings every processing subcommand accepts, applied to an open
    instance in the order a user expects: --program N, then --preset FILE,
    then each --param NAME_OR_INDEX=VALUE as given. */
namespace InstanceSettings
{
/** The option names, for CommandLine::parse. */
const std::vector<std::string>& optionNames();

/** Loads and opens the module; prints the reason and returns null on failure. */
std::unique_ptr<VstHost> openModule (const std::string& path);

/** Returns the exit status: 0 when all was applied, 1 for a program or bank
    file that fails, 2 for a --program or --param refused. */
int apply (VstHost& host, const CommandLine& args, std::string& error);

/** openModule, then apply. On failure prints the reason, sets `status` to
    the exit status the subcommand should return (1 when the module or a
    --preset file fails, 2 for settings it refuses) and returns null. */
std::unique_ptr<VstHost> openConfigured (const std::string& path, const CommandLine& args, int& status);

/** Empty for a module with 2 inputs and 2 outputs; otherwise a note that
    says how the tool's stereo signal meets its channels. */
std::string channelNote (VstHost& host);

/** The --program part of apply alone. */
bool selectProgram (VstHost& host, const CommandLine& args, std::string& error);

/** Applies "NAME_OR_INDEX=VALUE" settings; VALUE is a finite decimal
    number from 0 to 1, handed to the plug-in unchanged; others are refused. */
bool applyParameters (VstHost& host, const std::vector<std::string>& settings, std::string& error);

/** Restores a .fxp (current program) or .fxb (bank, then the current
    program is selected again so its restored values sound). A file that
    sets any parameter outside 0..1 is refused, naming the parameter, its
    value and the range; so is a chunk of ours that spells a value as
    anything but a finite decimal number (the plug-in would read it as 0).
    The module then holds the file's values until other settings replace
    them. */
bool loadPresetFile (VstHost& host, const std::string& path, std::string& error);
}
