#pragma once

#include <cstdint>
#include <functional>
#include <string>

/** Runs a subcommand in a child process, so that a module which crashes,
    ends the process, hangs or forks in one of its calls cannot take the tool
    down or hold it up.

    The child runs in a process group of its own. The parent waits and
    watches the module call the child is in: one that has not returned
    within its time limit (callLimits) ends the child's whole group, and the
    parent says which call it was and returns 1. When the child dies of a
    signal or ends without its subcommand returning, the parent removes every
    temporary output the child had open (Cleanup keeps their names in memory
    both share), names the module call that was running and returns 1.
    Whatever way the child ends, the rest of its group (anything a module
    forked) is ended with it, so no process holds the tool's output pipe.

    A signal sent to the parent (Ctrl-C, kill) is passed on to the group; a
    group that is not gone within a short grace, or a second signal, gets
    SIGKILL, and the parent then dies of the first signal. A parent killed
    outright takes the child with it (SIGKILL); the next run removes the
    temporaries it left, whose locks died with it.

    What a module writes to standard output during a call goes to standard
    error: the tool's own output (info --json, reports) reaches standard
    output alone. */
namespace Supervisor
{
/** The kinds of call into a module, for the message when one goes wrong. */
enum class Call
{
    none,
    load,
    entryPoint,
    dispatcher,
    process,
    setParameter,
    getParameter,
    state,
    editor,
    unload,
};

/** How long a module call may take before the child is ended: a process
    call, and every other call (loading, the entry point, the dispatcher
    with the editor's calls, parameters). */
struct CallLimits
{
    double processSeconds = 60.0;
    double otherSeconds = 30.0;
};

/** Runs `work` in a child and returns its status, or 1 with a message on
    stderr when it crashed, ended early or a module call overran its limit.
    Without the shared memory the supervision needs (an odd system), runs
    `work` in this process. */
int run (const std::function<int()>& work, CallLimits limits = {});

/** Remembers `path` as the module of later calls; returns its slot for
    ModuleCall. Cheap, and harmless outside a supervised child. */
int registerModule (const std::string& path) noexcept;

/** For its lifetime, what is written to standard output (descriptor 1)
    goes to standard error, so that a module's printing never mixes into the
    tool's own output. Nests; only in the supervised child. ModuleCall holds
    one; a loop of many calls may hold one around them all. */
class ModuleOutput
{
public:
    ModuleOutput() noexcept;
    ~ModuleOutput();

    ModuleOutput (const ModuleOutput&) = delete;
    ModuleOutput& operator= (const ModuleOutput&) = delete;
};

/** Marks the calling code as inside the module, for the time of one call. */
class ModuleCall
{
public:
    ModuleCall (int module, Call call, int opcode = 0) noexcept;
    ~ModuleCall();

    ModuleCall (const ModuleCall&) = delete;
    ModuleCall& operator= (const ModuleCall&) = delete;

private:
    ModuleOutput output;
    int previousModule, previousCall, previousOpcode;
    int64_t previousStart;
};

/** "in its process call", "in its dispatcher (opcode 12)" and so on. */
std::string describe (Call call, int opcode);
}
