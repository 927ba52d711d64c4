#include "InstanceSettings.h"

#include "FxpFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace InstanceSettings
{
const std::vector<std::string>& optionNames()
{
    static const std::vector<std::string> names { "param", "program", "preset" };
    return names;
}

std::unique_ptr<VstHost> openModule (const std::string& path)
{
    auto host = std::make_unique<VstHost> (path);
    if (! host->open())
    {
        std::cerr << "lumidor-host: " << host->error() << "\n";
        return nullptr;
    }
    return host;
}

bool applyParameters (VstHost& host, const std::vector<std::string>& settings, std::string& error)
{
    for (const auto& setting : settings)
    {
        const auto equals = setting.rfind ('=');
        if (equals == std::string::npos || equals == 0)
        {
            error = "--param wants NAME_OR_INDEX=VALUE, not \"" + setting + "\"";
            return false;
        }
        const auto name = setting.substr (0, equals);
        const auto text = setting.substr (equals + 1);
        const int index = host.findParameter (name);
        if (index < 0)
        {
            error = "no single parameter is called \"" + name + "\" (see the info subcommand)";
            return false;
        }
        char* end = nullptr;
        const float value = std::strtof (text.c_str(), &end);
        if (text.empty() || *end != 0)
        {
            error = "--param " + name + " wants a number, not \"" + text + "\"";
            return false;
        }
        // VST 2 values are normalised to 0..1. What a module does with
        // others is its own affair (ours stores them unclamped), so the
        // tool never sends one.
        if (! (value >= 0.0f && value <= 1.0f))
        {
            error = "--param " + host.parameterFullName (index) + " wants a normalised value from 0 to 1, not \"" + text
                    + "\"";
            return false;
        }
        host.setParameter (index, value);
    }
    return true;
}

namespace
{
std::string valueText (float value)
{
    char text[32];
    std::snprintf (text, sizeof (text), "%g", (double) value);
    return text;
}

/** The first parameter of the sounding program outside 0..1, or -1. */
int firstValueOutOfRange (VstHost& host, float& value)
{
    for (int i = 0; i < host.numParameters(); ++i)
    {
        value = host.parameter (i);
        if (! (value >= 0.0f && value <= 1.0f))
            return i;
    }
    return -1;
}

/** A file's values are held to the rule of --param: a value outside 0..1 is
    refused, not clamped, since it is the file that is wrong and a quiet
    repair would hide it (and be saved again by preset save). A bank is
    checked program by program; the sounding one is selected again after. */
bool checkValues (VstHost& host, const std::string& path, bool bank, std::string& error)
{
    float value = 0.0f;
    const int sounding = host.program();
    const int programs = bank ? std::max (1, host.numPrograms()) : 1;
    for (int p = 0; p < programs; ++p)
    {
        if (bank)
            host.setProgram (p);
        const int index = firstValueOutOfRange (host, value);
        if (index >= 0)
        {
            error = path
                    + (bank ? ": program " + std::to_string (p) + " (\"" + host.programName() + "\")" : std::string())
                    + " sets " + host.parameterFullName (index) + " to " + valueText (value)
                    + ", outside the normalised range 0 to 1; the file is refused";
            if (bank)
                host.setProgram (sounding);
            return false;
        }
    }
    if (bank)
        host.setProgram (sounding);
    return true;
}
}

bool loadPresetFile (VstHost& host, const std::string& path, std::string& error)
{
    FxpFile file;
    if (! file.load (path, error))
        return false;

    const auto* effect = host.descriptor();
    if ((effect->flags & effFlagsProgramChunks) == 0)
    {
        error = host.path() + " does not keep its programs as chunks";
        return false;
    }
    if (file.fxID != effect->uniqueID)
    {
        error = path + " was saved from another plug-in (its identifier does not match)";
        return false;
    }

    const bool program = file.kind == FxpFile::Kind::program;
    host.setChunk (file.chunk.data(), file.chunk.size(), program);
    if (! checkValues (host, path, ! program, error))
        return false;
    if (! program)
        host.setProgram (host.program());
    return true;
}

bool selectProgram (VstHost& host, const CommandLine& args, std::string& error)
{
    if (const auto program = args.value ("program"))
    {
        char* end = nullptr;
        const long index = std::strtol (program->c_str(), &end, 10);
        if (host.numPrograms() < 1)
        {
            error = "--program: " + host.path() + " has no programs";
            return false;
        }
        if (program->empty() || *end != 0 || index < 0 || index >= host.numPrograms())
        {
            error = "--program wants an index from 0 to " + std::to_string (host.numPrograms() - 1) + ", not \""
                    + *program + "\"";
            return false;
        }
        host.setProgram ((int) index);
    }
    return true;
}

int apply (VstHost& host, const CommandLine& args, std::string& error)
{
    if (! selectProgram (host, args, error))
        return 2;
    if (const auto preset = args.value ("preset"))
        if (! loadPresetFile (host, *preset, error))
            return 1;
    return applyParameters (host, args.values ("param"), error) ? 0 : 2;
}

std::string channelNote (VstHost& host)
{
    const int in = host.numInputs(), out = host.numOutputs();
    if (in == 2 && out == 2)
        return {};
    std::string note = host.path() + " has " + std::to_string (in) + " input" + (in == 1 ? "" : "s") + " and "
                       + std::to_string (out) + " output" + (out == 1 ? "" : "s") + ": ";
    if (in == 0)
        note += "it hears nothing of the input; ";
    else if (in == 1)
        note += "it hears the left channel only; ";
    else if (in > 2)
        note += "the file feeds inputs 1 and 2, the others get silence; ";
    note += out == 1 ? "its output is copied to both channels" : "outputs 1 and 2 are written, the others are dropped";
    return note;
}

std::unique_ptr<VstHost> openConfigured (const std::string& path, const CommandLine& args, int& status)
{
    auto host = openModule (path);
    if (host == nullptr)
    {
        status = 1;
        return nullptr;
    }
    if (host->numOutputs() < 1)
    {
        std::cerr << "lumidor-host: " << path << " has no outputs, so there is nothing to render\n";
        status = 1;
        return nullptr;
    }
    std::string error;
    status = apply (*host, args, error);
    if (status != 0)
    {
        std::cerr << "lumidor-host: " << error << "\n";
        return nullptr;
    }
    return host;
}
}
