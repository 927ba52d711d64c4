// preset: chunk-based program (.fxp) and bank (.fxb) files.
#include "Commands.h"
#include "CommandLine.h"
#include "FxpFile.h"
#include "InstanceSettings.h"
#include "OutputCheck.h"
#include "SafeOutputFile.h"

#include <iomanip>
#include <iostream>

namespace
{
void printParameters (VstHost& host)
{
    std::cout << "program " << host.program() << " \"" << host.programName() << "\"\n";
    for (int i = 0; i < host.numParameters(); ++i)
        std::cout << "  " << std::setw (3) << i << "  " << std::left << std::setw (14) << host.parameterFullName (i)
                  << std::right << "  " << host.parameterText (i) << "\n";
}

int save (VstHost& host, const std::string& path, const std::vector<std::string>& inputs)
{
    FxpFile file;
    file.kind = FxpFile::kindForPath (path);
    const bool program = file.kind == FxpFile::Kind::program;
    file.fxID = host.descriptor()->uniqueID;
    file.fxVersion = host.descriptor()->version;
    file.numPrograms = program ? 1 : host.numPrograms();
    file.programName = program ? host.programName() : std::string();
    file.chunk = host.getChunk (program);
    if (file.chunk.empty())
    {
        std::cerr << "lumidor-host: the plug-in returned an empty chunk\n";
        return 1;
    }

    std::string error;
    const auto bytes = file.toBytes();
    if (! SafeOutputFile::writeWhole (path, bytes.data(), bytes.size(), error, inputs))
    {
        std::cerr << "lumidor-host: " << error << "\n";
        return 1;
    }
    std::cout << "wrote " << path << ": " << (program ? "program" : "bank") << " file, chunk of " << file.chunk.size()
              << " bytes\n";
    printParameters (host);
    return 0;
}
}

int runPreset (const std::vector<std::string>& words)
{
    CommandLine args;
    if (! args.parse (words, InstanceSettings::optionNames()))
        return usageError (args.error());
    auto positionals = args.positionals();
    if (positionals.empty() || (positionals[0] != "save" && positionals[0] != "load"))
        return usageError (
            "usage: preset save|load [MODULE] FILE.fxp|FILE.fxb [--program N] [--preset FROM] [--param ...]");

    CommandLine rest;
    std::vector<std::string> tail (positionals.begin() + 1, positionals.end());
    rest.parse (tail, {});
    const auto modulePath = rest.takeModule();
    if (rest.positionals().size() != 1)
        return usageError ("preset " + positionals[0] + " wants one FILE.fxp or FILE.fxb");
    const auto path = rest.positionals()[0];
    if (positionals[0] == "load" && args.has ("preset"))
        return usageError ("preset load reads FILE itself; --preset belongs to preset save");
    std::string error;
    if (positionals[0] == "save")
        if (const int status =
                OutputCheck::check (path, OutputCheck::Content::programFile, args.values ("preset"), error))
        {
            std::cerr << "lumidor-host: " << error << "\n";
            return status;
        }

    auto host = InstanceSettings::openModule (modulePath);
    if (host == nullptr)
        return 1;
    if ((host->descriptor()->flags & effFlagsProgramChunks) == 0)
    {
        std::cerr << "lumidor-host: " << modulePath << " does not keep its programs as chunks\n";
        return 1;
    }

    if (positionals[0] == "load")
    {
        // The file failing is 1; a --program or --param refused is 2.
        int status = 0;
        if (! InstanceSettings::selectProgram (*host, args, error))
            status = 2;
        else if (! InstanceSettings::loadPresetFile (*host, path, error))
            status = 1;
        else if (! InstanceSettings::applyParameters (*host, args.values ("param"), error))
            status = 2;
        if (status != 0)
        {
            std::cerr << "lumidor-host: " << error << "\n";
            return status;
        }
        std::cout << "loaded " << path << "\n";
        printParameters (*host);
        return 0;
    }

    if (const int status = InstanceSettings::apply (*host, args, error))
    {
        std::cerr << "lumidor-host: " << error << "\n";
        return status;
    }
    return save (*host, path, args.values ("preset"));
}
