#pragma once

// Runs build/lumidor-host with arguments and collects what it prints.
#include <juce_core/juce_core.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

struct ToolResult
{
    int status = -1;
    std::string output;
};

inline std::string shellQuote (const std::string& word)
{
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string ("'\\''") : std::string (1, c);
    return quoted + "'";
}

/** Standard output and error together, and the exit status. `shellPrefix`
    runs first in the same shell ("cd DIR && ", "ulimit -f 64; "). */
inline ToolResult runTool (const std::vector<std::string>& args, const std::string& shellPrefix = {})
{
    std::string command = shellPrefix + shellQuote (LUMIDOR_HOST_TOOL);
    for (const auto& a : args)
        command += " " + shellQuote (a);
    command += " 2>&1";

    ToolResult result;
    FILE* pipe = popen (command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    size_t got;
    while ((got = fread (buffer, 1, sizeof (buffer), pipe)) > 0)
        result.output.append (buffer, got);
    const int status = pclose (pipe);
    result.status = WIFEXITED (status) ? WEXITSTATUS (status) : -1;
    return result;
}

/** Starts the tool without waiting, its output going to `outputFile`;
    returns the process id (waitpid it). */
inline pid_t startTool (const std::vector<std::string>& args, const std::string& outputFile)
{
    std::vector<std::string> words { LUMIDOR_HOST_TOOL };
    words.insert (words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& w : words)
        argv.push_back (w.data());
    argv.push_back (nullptr);

    const pid_t pid = fork();
    if (pid == 0)
    {
        const int fd = open (outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2 (fd, 1);
        dup2 (fd, 2);
        signal (SIGINT, SIG_DFL);
        signal (SIGTERM, SIG_DFL);
        execv (argv[0], argv.data());
        _exit (127);
    }
    return pid;
}

/** A fresh folder for one test's files, removed afterwards. */
struct ScratchFolder
{
    ScratchFolder() { folder.createDirectory(); }
    ~ScratchFolder() { folder.deleteRecursively(); }
    ScratchFolder (const ScratchFolder&) = delete;
    ScratchFolder& operator= (const ScratchFolder&) = delete;

    std::string path (const std::string& name) const
    {
        return folder.getChildFile (name).getFullPathName().toStdString();
    }

    /** A file named like a module that holds text, which no loader takes. */
    std::string fakeModule (const std::string& name) const
    {
        const auto file = path (name);
        juce::File (file).replaceWithText ("not a shared object");
        return file;
    }

    juce::File folder { juce::File::createTempFile ("lumidor-host-test") };
};
