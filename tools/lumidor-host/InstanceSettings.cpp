#include "InstanceSettings.h"

#include "FxpFile.h"
#include "StateText.h"
#include "StrictNumber.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>

namespace InstanceSettings
{
namespace
{
const StrictNumber::Range normalisedRange { 0.0, 1.0, "a normalised value" };
}

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
        // VST 2 values are normalised to 0..1. What a module does with
        // others is its own affair (ours stores them unclamped), so the
        // tool never sends one.
        double value = 0.0;
        if (! StrictNumber::read ("--param " + host.parameterFullName (index), text, normalisedRange, value, error))
            return false;
        host.setParameter (index, (float) value);
    }
    return true;
}

namespace
{
/** The attribute under which the module's program document keeps each
    parameter, or "" where none is found. The module is its own reference:
    every parameter is given a value no other holds, the document is read
    back, and the values are put back as they were. */
std::vector<std::string> parameterKeys (VstHost& host)
{
    const int count = host.numParameters();
    std::vector<float> kept ((size_t) count), marks ((size_t) count);
    for (int i = 0; i < count; ++i)
    {
        kept[(size_t) i] = host.parameter (i);
        marks[(size_t) i] = (float) (0.1 + 0.8 * (i + 0.5) / count);
        host.setParameter (i, marks[(size_t) i]);
    }
    const auto document = StateText::attributes (host.getChunk (true));
    for (int i = 0; i < count; ++i)
        host.setParameter (i, kept[(size_t) i]);

    std::vector<std::string> keys ((size_t) count);
    if (! document)
        return keys;
    for (const auto& [name, text] : *document)
        if (const auto value = StrictNumber::parse (text))
            if (const auto found = std::find (marks.begin(), marks.end(), (float) *value); found != marks.end())
                keys[(size_t) (found - marks.begin())] = name;
    return keys;
}

/** The texts a file gives the parameters, found by program and parameter
    index; none when its chunk is not one of ours. A bank names each value
    as a program document does, followed by the program's number. */
struct ValueTexts
{
    std::optional<StateText::Attributes> document;
    std::vector<std::string> keys;

    const std::string* find (int program, int index, bool bank) const
    {
        if (! document || index >= (int) keys.size() || keys[(size_t) index].empty())
            return nullptr;
        const auto& key = keys[(size_t) index];
        const auto found = document->find (bank ? key + std::to_string (program) : key);
        return found != document->end() ? &found->second : nullptr;
    }
};

ValueTexts valueTexts (VstHost& host, const FxpFile& file)
{
    ValueTexts texts;
    texts.document = StateText::attributes (file.chunk);
    if (texts.document)
        texts.keys = parameterKeys (host);
    return texts;
}

const std::string refusal = "; the file is refused";

std::string normalisedRangeText()
{
    return "the normalised range " + StrictNumber::format (normalisedRange.low) + " to "
           + StrictNumber::format (normalisedRange.high);
}

/** Why the program's value of parameter `index` is refused, or "". The
    text in the file is held to the tool's rule for numbers; what the module
    made of it (all there is to see of another module's chunk) to the range. */
std::string valueProblem (VstHost& host, const ValueTexts& texts, int program, int index, bool bank)
{
    const auto name = host.parameterFullName (index);
    double value = host.parameter (index);
    if (const auto* text = texts.find (program, index, bank))
    {
        const auto parsed = StrictNumber::parse (*text);
        if (! parsed)
            return " sets " + name + " to \"" + *text + "\", which is not a finite decimal number in "
                   + normalisedRangeText() + refusal;
        value = *parsed;
    }
    if (! normalisedRange.contains (value))
        return " sets " + name + " to " + StrictNumber::format (value) + ", outside " + normalisedRangeText() + refusal;
    return {};
}

/** A file's values are held to the rule of --param: a value outside 0..1 is
    refused, not clamped, since it is the file that is wrong and a quiet
    repair would hide it (and be saved again by preset save). A bank is
    checked program by program; the sounding one is selected again after. */
bool checkValues (VstHost& host, const std::string& path, const ValueTexts& texts, bool bank, std::string& error)
{
    const int sounding = host.program();
    const int programs = bank ? std::max (1, host.numPrograms()) : 1;
    for (int p = 0; p < programs; ++p)
    {
        if (bank)
            host.setProgram (p);
        for (int i = 0; i < host.numParameters(); ++i)
        {
            const auto problem = valueProblem (host, texts, p, i, bank);
            if (problem.empty())
                continue;
            error = path
                    + (bank ? ": program " + std::to_string (p) + " (\"" + host.programName() + "\")" : std::string())
                    + problem;
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
    const auto texts = valueTexts (host, file);
    host.setChunk (file.chunk.data(), file.chunk.size(), program);
    if (! checkValues (host, path, texts, ! program, error))
        return false;
    if (! program)
        host.setProgram (host.program());
    return true;
}

bool selectProgram (VstHost& host, const CommandLine& args, std::string& error)
{
    if (const auto program = args.value ("program"))
    {
        if (host.numPrograms() < 1)
        {
            error = "--program: " + host.path() + " has no programs";
            return false;
        }
        const auto index = StrictNumber::parse (*program);
        if (! index || *index != std::floor (*index) || *index < 0 || *index >= host.numPrograms())
        {
            error = "--program wants an index from 0 to " + std::to_string (host.numPrograms() - 1) + ", not \""
                    + *program + "\"";
            return false;
        }
        host.setProgram ((int) *index);
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
