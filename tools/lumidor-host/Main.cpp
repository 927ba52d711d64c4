// lumidor-host: a command-line VST 2 host. Each subcommand lives in its own
// file; adding one takes its file and one line in the table below.
#include "Commands.h"
#include "Cleanup.h"
#include "StrictNumber.h"
#include "Supervisor.h"

#include <unistd.h>

#include <cstring>
#include <exception>
#include <iostream>

namespace
{
#define LUMIDOR_SETTINGS_HELP                                                                                          \
    "  --program N          the module's program to start from, 0 to its count - 1 (default: the one it opens with)\n" \
    "  --preset FILE        a .fxp or .fxb file restored after --program (default: none); values outside 0 to 1\n"     \
    "                       in it refuse the file\n"                                                                   \
    "  --param NAME=VALUE   a normalised value from 0 to 1, by full name, 8-character name or index, applied\n"        \
    "                       last; repeatable (default: the program's values)\n"

const Command commands[] = {
    { "info", "info [MODULE] [--json]", "identity, flags, parameters, programs, can-do replies, chunk sizes",
      "  --json               JSON instead of text (default: text)\n", runInfo, false },
    { "render",
      "render [MODULE] IN OUT [--param NAME_OR_INDEX=VALUE]... [--program N] [--preset FILE] [--block N] [--tail SECONDS] [--rate HZ] [--bits 16|24|32|float]",
      "processes a sound file (WAV, RF64, W64, AIFF, FLAC; also reads Ogg) at its own sample rate, block by block;\n"
      "      the output replaces OUT only when complete",
      "  IN                   any file libsndfile reads, at 1000 to 768000 Hz unless --rate is given\n"
      "  OUT                  .wav, .aiff, .aif, .aifc, .flac, .w64 or .rf64: the extension chooses the format; a .wav\n"
      "                       past 4 GiB is written as RF64, an AIFF past 4 GiB is refused\n" LUMIDOR_SETTINGS_HELP
      "  --tail SECONDS       silence processed after the input, 0 to 3600 (default 2)\n"
      "  --bits 16|24|32|float  the output's samples; 32 is integer (default: the input's; float for 64-bit float\n"
      "                       input; FLAC holds at most 24)\n"
      "  --rate HZ            1000 to 768000: relabels, does not resample. The module runs at HZ on the input's\n"
      "                       samples and OUT is marked HZ, so it plays faster (higher) or slower (lower) than IN\n"
      "                       (default: the input's rate)\n"
      "  --block N            frames per process call, 1 to 65536 (default 512)\n",
      runRender, false },
    { "ir", "ir [MODULE] OUT.png [--wav IR.wav] [--param ...] [--program N] [--preset FILE] [--rate HZ] [--seconds S]",
      "draws the impulse response, its decay curves and RT60/EDT per octave band",
      "  OUT.png              the picture; written only together with --wav's file\n"
      "  --wav IR.wav         also the response as 32-bit float sound, in any format render writes (default: none)\n" LUMIDOR_SETTINGS_HELP
      "  --rate HZ            the rate the module runs at, 8000 to 768000 (default 44100)\n"
      "  --seconds S          length of the response, 0.1 to 600, at most 30000000 frames (default: chosen from the decay, 4 s and more until every band has fallen 60 dB, at most 60 s)\n",
      runIr, false },
    { "bench", "bench [MODULE] [--against OTHER.so]... [--rate HZ] [--block N] [--seconds S] [--reps K]",
      "CPU cost of noise processing, ours against other modules",
      "  --against OTHER.so   another module timed in the same run; repeatable (default: none)\n"
      "  --rate HZ            8000 to 768000 (default 44100)\n"
      "  --block N            frames per process call, 1 to 65536 (default 512)\n"
      "  --seconds S          noise per repetition, above 0, at most 600 s at 192000 Hz (default 10)\n"
      "  --reps K             repetitions, 1 to 1000 (default 5)\n",
      runBench, false },
    { "validate", "validate [MODULE] [--editor-display]",
      "abuses the module as careless hosts do, each case in its own process",
      "  --editor-display     also opens the editor on the display DISPLAY names (default: off)\n", runValidate,
      false },
    { "preset", "preset save|load [MODULE] FILE.fxp|FILE.fxb [--program N] [--preset FROM] [--param ...]",
      "writes or restores a chunk-based program or bank file (save: --preset FROM starts from another file)",
      "  FILE                 .fxp for the current program, .fxb for the whole bank\n" LUMIDOR_SETTINGS_HELP
      "                       (--preset FROM: save only)\n",
      runPreset, false },
    { "gui", "gui [MODULE] OUT.png [--param ...] [--click X,Y]... [--seconds S] [--scale S [--clap FILE]]",
      "opens the editor in an X11 window, clicks into it, saves a screenshot",
      "  OUT.png              the screenshot\n" LUMIDOR_SETTINGS_HELP
      "  --click X,Y          a click at editor pixel X,Y of the 1 x editor; repeatable (default: none)\n"
      "  --seconds S          idle time before the screenshot, 0 to 600 (default 0.5)\n"
      "  --scale S            the editor at S times its size, 1 to 3 (default: the VST 2 editor at 1 x).\n"
      "                       VST 2 has one editor size, so this shows the CLAP build's editor as a\n"
      "                       CLAP host at that scale shows it, with the VST 2 instance's program\n"
      "                       (after --program, --preset, --param); the picture is round(450 S) x round(223 S)\n"
      "  --clap FILE          the CLAP module for --scale (default: lib/clap/Lumidor.clap beside the tool,\n"
      "                       else the one built with it)\n",
      runGui, false },
    { "make-demo-phrase", "make-demo-phrase OUT.wav", "writes the generated dry demo phrase",
      "  OUT.wav              any format render writes\n", runMakeDemoPhrase, true },
};
#undef LUMIDOR_SETTINGS_HELP

void printHelp (std::ostream& out)
{
    out << "usage: lumidor-host SUBCOMMAND [ARGS]\n"
           "       lumidor-host SUBCOMMAND --help | lumidor-host --version\n"
           "MODULE is a path to a VST 2 module ending in .so; without it the Lumidor module installed with this tool\n"
           "(PREFIX/lib/lxvst/Lumidor.so for PREFIX/bin/lumidor-host) is used, else the one it was built with.\n"
           "--module-timeout S, with any subcommand: how long one call into a module may take before the tool\n"
           "ends it, 0.1 to 86400 s (default: 60 s for a process call, 30 s for any other call).\n\n";
    for (const auto& c : commands)
        if (! c.hidden)
            out << "  " << c.usage << "\n      " << c.summary << "\n";
}

void printCommandHelp (const Command& c)
{
    std::cout << "usage: lumidor-host " << c.usage << "\n      " << c.summary << "\n\n";
    if (std::strstr (c.usage, "[MODULE]") != nullptr)
        std::cout << "  MODULE               a VST 2 module, a file ending in .so (default: the Lumidor module)\n";
    std::cout << c.options;
}

const Command* findCommand (const char* name)
{
    for (const auto& c : commands)
        if (std::strcmp (name, c.name) == 0)
            return &c;
    return nullptr;
}
}

int usageError (const std::string& message)
{
    std::cerr << "lumidor-host: " << message << "\n";
    return 2;
}

namespace
{
/** Takes "--module-timeout S" (or "--module-timeout=S") out of `args`: the
    time every module call may take, for any subcommand. Returns false with a
    message for a value that is not a number of seconds in range. */
bool takeModuleTimeout (std::vector<std::string>& args, Supervisor::CallLimits& limits, std::string& error)
{
    const std::string option = "--module-timeout";
    for (size_t i = 0; i < args.size(); ++i)
    {
        std::string text;
        size_t words = 1;
        if (args[i] == option)
        {
            if (i + 1 >= args.size())
            {
                error = option + " needs a value";
                return false;
            }
            text = args[i + 1];
            words = 2;
        }
        else if (args[i].rfind (option + "=", 0) == 0)
            text = args[i].substr (option.size() + 1);
        else
            continue;

        double seconds = 0.0;
        if (! StrictNumber::read (option, text, { 0.1, 86400.0, "", "s" }, seconds, error))
            return false;
        limits.processSeconds = limits.otherSeconds = seconds;
        args.erase (args.begin() + (std::ptrdiff_t) i, args.begin() + (std::ptrdiff_t) (i + words));
        --i;
    }
    return true;
}
}

int main (int argc, char** argv)
{
    Cleanup::installSignalHandlers();

    if (argc >= 2 && (std::strcmp (argv[1], "--version") == 0 || std::strcmp (argv[1], "version") == 0))
    {
        std::cout << "lumidor-host " << LUMIDOR_HOST_VERSION << "\n";
        return 0;
    }
    if (argc < 2 || std::strcmp (argv[1], "help") == 0 || std::strcmp (argv[1], "--help") == 0
        || std::strcmp (argv[1], "-h") == 0)
    {
        // "help render" is "render --help".
        if (argc >= 3)
        {
            if (const auto* c = findCommand (argv[2]))
            {
                printCommandHelp (*c);
                return 0;
            }
            printHelp (std::cerr);
            return usageError (std::string ("unknown subcommand \"") + argv[2] + "\"");
        }
        printHelp (argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 2 : 0;
    }

    std::vector<std::string> args (argv + 2, argv + argc);
    Supervisor::CallLimits limits;
    if (std::string error; ! takeModuleTimeout (args, limits, error))
        return usageError (error);
    // A CLAP module where a VST 2 module belongs would otherwise read as a
    // stray argument.
    for (size_t i = 0; i < args.size(); ++i)
        if (const auto& a = args[i]; a.size() > 5 && a.compare (a.size() - 5, 5, ".clap") == 0
                                     && (i == 0 || args[i - 1] != "--clap") && ::access (a.c_str(), F_OK) == 0)
            return usageError (a + " is a CLAP module; this tool hosts VST 2 modules (.so files). "
                               + "To see the CLAP build's editor: gui OUT.png --scale S --clap " + a);
    for (const auto& c : commands)
        if (std::strcmp (argv[1], c.name) == 0)
        {
            for (const auto& a : args)
                if (a == "--help" || a == "-h")
                {
                    printCommandHelp (c);
                    return 0;
                }
            // The work runs in a child process: a module that crashes or
            // ends the process takes only the child down, and the parent
            // reports it and removes what the child left.
            return Supervisor::run (
                [&c, &args]
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
                },
                limits);
        }

    printHelp (std::cerr);
    return usageError (std::string ("unknown subcommand \"") + argv[1] + "\"");
}
