#include "InstanceSettings.h"

#include "FxpFile.h"

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
            error = "--param " + host.parameterFullName (index) + " wants a normalised value from 0 to 1, not \"" + text + "\"";
            return false;
        }
        host.setParameter (index, value);
    }
    return true;
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
        if (program->empty() || *end != 0 || index < 0 || index >= host.numPrograms())
        {
            error = "--program wants an index from 0 to " + std::to_string (host.numPrograms() - 1);
            return false;
        }
        host.setProgram ((int) index);
    }
    return true;
}

bool apply (VstHost& host, const CommandLine& args, std::string& error)
{
    if (! selectProgram (host, args, error))
        return false;
    if (const auto preset = args.value ("preset"))
        if (! loadPresetFile (host, *preset, error))
            return false;
    return applyParameters (host, args.values ("param"), error);
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
    if (! apply (*host, args, error))
    {
        std::cerr << "lumidor-host: " << error << "\n";
        status = 2;
        return nullptr;
    }
    return host;
}
}
