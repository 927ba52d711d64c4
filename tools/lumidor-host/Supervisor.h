#pragma once

#include <functional>
#include <string>

/** Runs a subcommand in a child process, so that a module which crashes or
    ends the process in one of its calls cannot take the tool down with it.

    The parent only waits. When the child dies of a signal or ends without
    its subcommand returning, the parent removes every temporary output the
    child had open (SafeOutputFile keeps their names in memory both share),
    names the module call that was running and returns 1. A signal sent to
    the parent (Ctrl-C, kill) is passed on to the child, and the parent then
    dies of it too; a parent killed outright takes the child with it, which
    removes its temporaries itself. */
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
    unload,
};

/** Runs `work` in a child and returns its status, or 1 with a message on
    stderr when it crashed or ended early. Without the shared memory the
    supervision needs (an odd system), runs `work` in this process. */
int run (const std::function<int()>& work);

/** Remembers `path` as the module of later calls; returns its slot for
    ModuleCall. Cheap, and harmless outside a supervised child. */
int registerModule (const std::string& path) noexcept;

/** Marks the calling code as inside the module, for the time of one call. */
class ModuleCall
{
public:
    ModuleCall (int module, Call call, int opcode = 0) noexcept;
    ~ModuleCall();

    ModuleCall (const ModuleCall&) = delete;
    ModuleCall& operator= (const ModuleCall&) = delete;

private:
    int previousModule, previousCall, previousOpcode;
};

/** Counts an output put in place, so that a later crash's message says
    that files were written before it. */
void noteCommit() noexcept;

/** "in its process call", "in its dispatcher (opcode 12)" and so on. */
std::string describe (Call call, int opcode);
}
