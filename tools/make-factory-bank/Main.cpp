// make-factory-bank: the factory bank and the figures of its programs.
//
//   make-factory-bank write [MODULE] [--dir DIR]
//   make-factory-bank check [MODULE] [--dir DIR]
//   make-factory-bank tune  [MODULE] PROGRAM --rt60 SECONDS [--by PARAMETER]
//
// DIR defaults to the source tree's presets folder, MODULE to the module
// built alongside this tool.
#include "CommandLine.h"
#include "FactoryBank.h"
#include "SafeOutputFile.h"

#include <juce_core/juce_core.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace
{
constexpr int exitStale = 1;
constexpr int exitUsage = 2;
constexpr int exitFailure = 3;
constexpr int tuneSteps = 14;

int usage (const std::string& message)
{
    std::cerr << "make-factory-bank: " << message << "\n"
              << "usage: make-factory-bank write|check [MODULE] [--dir DIR]\n"
                 "       make-factory-bank tune [MODULE] PROGRAM --rt60 SECONDS [--by PARAMETER]\n";
    return exitUsage;
}

int fail (const std::string& message)
{
    std::cerr << "make-factory-bank: " << message << "\n";
    return exitFailure;
}

int write (const FactoryBank::Made& made, const std::string& dir)
{
    const juce::File folder (dir);
    const auto readmeFile = folder.getChildFile ("README.md");
    auto readme = readmeFile.loadFileAsString().toStdString();
    if (! FactoryBank::replaceTable (readme, made.table))
        return fail (readmeFile.getFullPathName().toStdString() + " has no factory-table markers");

    std::string error;
    const auto bankPath = folder.getChildFile ("factory.fxb").getFullPathName().toStdString();
    // Both files replace the shipped ones only once they are complete.
    const auto bank = made.bank.toBytes();
    if (! SafeOutputFile::writeWhole (bankPath, bank.data(), bank.size(), error))
        return fail (error);
    if (! SafeOutputFile::writeWhole (readmeFile.getFullPathName().toStdString(), readme.data(), readme.size(), error))
        return fail (error);

    std::cout << made.table << "\nwrote " << bankPath << " and the table in " << readmeFile.getFullPathName() << "\n";
    return 0;
}

/** Bisects one setting (Decay unless told otherwise) for the wanted
    broadband RT60, the other values as the table has them. The RT60 grows
    with Decay, LateSize and Diffusion; the diffusers ring on their own, so
    below about 0.5 Decay matters less than the other two. */
int tune (const std::string& modulePath, const std::string& name, double wanted, const std::string& by)
{
    const FactoryProgram* program = nullptr;
    for (const auto& p : factoryPrograms())
        if (juce::String (p.name).equalsIgnoreCase (juce::String (name)))
            program = &p;
    if (program == nullptr)
        return usage ("no factory program is called \"" + name + "\"");

    VstHost host (modulePath);
    if (! host.open())
        return fail (host.error());
    const int index = host.findParameter (by);
    if (index < 0)
        return usage ("no single parameter is called \"" + by + "\"");

    auto values = program->values();
    float low = 0.0f, high = 1.0f;
    FactoryBank::Figures f {};
    for (int step = 0; step < tuneSteps; ++step)
    {
        values[(size_t) index] = 0.5f * (low + high);
        f = FactoryBank::measure (host, values);
        std::printf ("  %s %.4f: RT60 %.3f s\n", by.c_str(), values[(size_t) index], f.rt60);
        // A decay too long to fit within the longest render is too long.
        (! std::isfinite (f.rt60) || f.rt60 > wanted ? high : low) = values[(size_t) index];
    }
    std::printf ("%s: %s %.3f gives RT60 %.2f s (EDT %.2f s, C80 %+.1f dB)\n", program->name, by.c_str(),
                 values[(size_t) index], f.rt60, f.edt, f.c80);
    return 0;
}
}

int main (int argc, char** argv)
{
    if (argc < 2)
        return usage ("which subcommand?");
    const std::string command = argv[1];
    CommandLine args;
    if (! args.parse (std::vector<std::string> (argv + 2, argv + argc), { "dir", "rt60", "by" }))
        return usage (args.error());
    const auto modulePath = args.takeModule();

    if (command == "tune")
    {
        double wanted = 0.0;
        if (args.positionals().size() != 1 || ! args.has ("rt60"))
            return usage ("tune wants one PROGRAM and --rt60 SECONDS");
        if (! args.number ("rt60", 0.0, { 0.01, 100.0, "", "seconds" }, wanted))
            return usage (args.error());
        return tune (modulePath, args.positionals()[0], wanted, args.value ("by").value_or ("Decay"));
    }
    if (command != "write" && command != "check")
        return usage ("unknown subcommand \"" + command + "\"");
    if (! args.positionals().empty())
        return usage (command + " takes no file names; use --dir");

    const auto dir = args.value ("dir").value_or (LUMIDOR_PRESETS_DIR);
    FactoryBank::Made made;
    std::string error;
    if (! FactoryBank::make (modulePath, made, error))
        return fail (error);
    if (command == "write")
        return write (made, dir);

    if (! FactoryBank::isCurrent (made, dir, error))
    {
        std::cerr << "make-factory-bank: " << error << "; run make-factory-bank write\n";
        return exitStale;
    }
    std::cout << dir << " is current: " << made.figures.size() << " programs\n";
    return 0;
}
