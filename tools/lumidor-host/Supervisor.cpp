#include "Supervisor.h"

#include "SafeOutputFile.h"

#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>

namespace Supervisor
{
namespace
{
constexpr int maxModules = 16;

/** What the child tells the parent, in memory both share: plain fields the
    child writes as it goes, read by the parent only once the child is gone. */
struct Shared
{
    volatile std::sig_atomic_t finished;
    volatile std::sig_atomic_t call, opcode, module, commits;
    char modules[maxModules][PATH_MAX];
};

Shared local {};
Shared* shared = &local;
int modulesKnown = 0;

/** The child, for the parent's signal handler. */
volatile pid_t worker = 0;

extern "C" void passOnAndDie (int signalNumber)
{
    // The child hears the signal too and removes its temporaries; the
    // parent waits for that, removes what is left and dies the same way.
    if (worker > 0)
    {
        ::kill (worker, signalNumber);
        int status = 0;
        while (::waitpid (worker, &status, 0) < 0 && errno == EINTR)
        {
        }
    }
    SafeOutputFile::removeListedTemporaries();
    std::signal (signalNumber, SIG_DFL);
    std::raise (signalNumber);
}

void catchSignalsInParent() { SafeOutputFile::onTerminationSignals (passOnAndDie); }

std::string moduleName (int slot)
{
    if (slot < 0 || slot >= maxModules || shared->modules[slot][0] == 0)
        return "the module";
    return std::string ("the module ") + shared->modules[slot];
}

std::string writtenNote()
{
    const int commits = shared->commits;
    if (commits == 0)
        return "; no output was written";
    return "; " + std::to_string (commits) + " output" + (commits == 1 ? " was" : "s were") + " complete before it";
}

/** The parent's account of a child that did not finish; the exit status. */
int report (int status)
{
    const auto call = (Call) shared->call;
    const auto where = describe (call, shared->opcode);
    if (WIFSIGNALED (status))
    {
        const int s = WTERMSIG (status);
        const std::string what = "(signal " + std::to_string (s) + ", " + strsignal (s) + ")";
        if (call != Call::none)
            std::cerr << "lumidor-host: " << moduleName (shared->module) << " crashed " << what << " " << where
                      << writtenNote() << "\n";
        else if (shared->finished != 0)
            std::cerr << "lumidor-host: the tool was ended " << what << " after its work was done\n";
        else
            std::cerr << "lumidor-host: the tool's work process was ended " << what << writtenNote() << "\n";
        return 1;
    }
    const int code = WIFEXITED (status) ? WEXITSTATUS (status) : -1;
    if (call != Call::none)
        std::cerr << "lumidor-host: " << moduleName (shared->module) << " ended the process (exit status " << code
                  << ") " << where << " instead of returning" << writtenNote() << "\n";
    else
        std::cerr << "lumidor-host: the tool's work process ended (exit status " << code << ") before its work was done"
                  << writtenNote() << "\n";
    return 1;
}
}

std::string describe (Call call, int opcode)
{
    switch (call)
    {
        case Call::load: return "while it was loaded (in its library constructors)";
        case Call::unload: return "while it was unloaded (in its library destructors)";
        case Call::entryPoint: return "in its entry point";
        case Call::dispatcher: return "in its dispatcher (opcode " + std::to_string (opcode) + ")";
        case Call::process: return "in its process call";
        case Call::setParameter: return "in its setParameter call";
        case Call::getParameter: return "in its getParameter call";
        case Call::none: break;
    }
    return "outside any module call";
}

int run (const std::function<int()>& work)
{
    void* memory = ::mmap (nullptr, sizeof (Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return work();
    shared = new (memory) Shared {};
    SafeOutputFile::shareTemporaryList();

    std::fflush (nullptr);
    std::cout.flush();
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0)
        return work();
    if (child == 0)
    {
        // A parent killed outright (kill -9) ends the child with a signal
        // whose handler removes the temporaries.
        ::prctl (PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            std::raise (SIGTERM);
        const int status = work();
        shared->finished = 1;
        shared->call = (int) Call::none;
        std::cout.flush();
        std::fflush (nullptr);
        return status;
    }

    worker = child;
    catchSignalsInParent();
    int status = 0;
    while (::waitpid (child, &status, 0) < 0 && errno == EINTR)
    {
    }
    worker = 0;
    SafeOutputFile::removeListedTemporaries();
    if (shared->finished != 0 && WIFEXITED (status))
        return WEXITSTATUS (status);
    return report (status);
}

int registerModule (const std::string& path) noexcept
{
    for (int i = 0; i < modulesKnown; ++i)
        if (path == shared->modules[i])
            return i;
    if (modulesKnown >= maxModules)
        return -1;
    const auto length = std::min (path.size(), (size_t) PATH_MAX - 1);
    std::memcpy (shared->modules[modulesKnown], path.data(), length);
    shared->modules[modulesKnown][length] = 0;
    return modulesKnown++;
}

ModuleCall::ModuleCall (int module, Call call, int opcode) noexcept
    : previousModule (shared->module)
    , previousCall (shared->call)
    , previousOpcode (shared->opcode)
{
    shared->module = module;
    shared->opcode = opcode;
    shared->call = (int) call;
}

ModuleCall::~ModuleCall()
{
    shared->call = previousCall;
    shared->opcode = previousOpcode;
    shared->module = previousModule;
}

void noteCommit() noexcept { shared->commits = shared->commits + 1; }
}
