// lumidor-host: a command-line VST 2 host. Each subcommand lives in its own
// file; adding one takes its file and one line in the table below.
#include "Commands.h"
#include "SafeOutputFile.h"
#include "Supervisor.h"

#include <cstring>
#include <exception>
#include <iostream>

namespace
{
const Command commands[] = {
    { "info", "info [MODULE] [--json]", "identity, flags, parameters, programs, can-do replies, chunk sizes", runInfo, false },
    { "render", "render [MODULE] IN OUT [--param NAME_OR_INDEX=VALUE]... [--program N] [--preset FILE] [--block N] [--tail SECONDS] [--rate HZ] [--bits 16|24|32|float]",
      "processes a sound file (WAV, RF64, W64, AIFF, FLAC; also reads Ogg) at its own sample rate, block by block;\n"
      "      the output replaces OUT only when complete", runRender, false },
    { "ir", "ir [MODULE] OUT.png [--wav IR.wav] [--param ...] [--program N] [--preset FILE] [--rate HZ] [--seconds S]",
      "draws the impulse response, its decay curves and RT60/EDT per octave band", runIr, false },
    { "bench", "bench [MODULE] [--against OTHER.so]... [--rate HZ] [--block N] [--seconds S] [--reps K]",
      "CPU cost of noise processing, ours against other modules", runBench, false },
    { "validate", "validate [MODULE] [--editor-display]", "abuses the module as careless hosts do, each case in its own process", runValidate, false },
    { "preset", "preset save|load [MODULE] FILE.fxp|FILE.fxb [--program N] [--preset FROM] [--param ...]",
      "writes or restores a chunk-based program or bank file (save: --preset FROM starts from another file)", runPreset, false },
    { "gui", "gui [MODULE] OUT.png [--param ...] [--click X,Y]... [--seconds S]",
      "opens the editor in an X11 window, clicks into it, saves a screenshot", runGui, false },
    { "make-demo-phrase", "make-demo-phrase OUT.wav", "writes the generated dry demo phrase", runMakeDemoPhrase, true },
};

void printHelp (std::ostream& out)
{
    out << "usage: lumidor-host SUBCOMMAND [ARGS]\n"
           "       lumidor-host SUBCOMMAND --help | lumidor-host --version\n"
           "MODULE is a path to a VST 2 module ending in .so; without it the Lumidor module installed with this tool\n"
           "(PREFIX/lib/lxvst/Lumidor.so for PREFIX/bin/lumidor-host) is used, else the one it was built with.\n\n";
    for (const auto& c : commands)
        if (! c.hidden)
            out << "  " << c.usage << "\n      " << c.summary << "\n";
}
}

int usageError (const std::string& message)
{
    std::cerr << "lumidor-host: " << message << "\n";
    return 2;
}

int main (int argc, char** argv)
{
    SafeOutputFile::installSignalHandlers();

    if (argc >= 2 && (std::strcmp (argv[1], "--version") == 0 || std::strcmp (argv[1], "version") == 0))
    {
        std::cout << "lumidor-host " << LUMIDOR_HOST_VERSION << "\n";
        return 0;
    }
    if (argc < 2 || std::strcmp (argv[1], "help") == 0 || std::strcmp (argv[1], "--help") == 0 || std::strcmp (argv[1], "-h") == 0)
    {
        printHelp (argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 2 : 0;
    }

    const std::vector<std::string> args (argv + 2, argv + argc);
    for (const auto& c : commands)
        if (std::strcmp (argv[1], c.name) == 0)
        {
            for (const auto& a : args)
                if (a == "--help" || a == "-h")
                {
                    std::cout << "usage: lumidor-host " << c.usage << "\n      " << c.summary << "\n";
                    return 0;
                }
            // The work runs in a child process: a module that crashes or
            // ends the process takes only the child down, and the parent
            // reports it and removes what the child left.
            return Supervisor::run ([&c, &args]
                                    {
                                        try
                                        {
                                            return c.run (args);
                                        }
                                        catch (const std::exception& e)
                                        {
                                            // Nothing should get here; if something does, a message and
                                            // a failure status beat an abort (the outputs are safe either way).
                                            std::cerr << "lumidor-host: " << c.name << " failed: " << e.what() << "\n";
                                            return 1;
                                        }
                                    });
        }

    printHelp (std::cerr);
    return usageError (std::string ("unknown subcommand \"") + argv[1] + "\"");
}
