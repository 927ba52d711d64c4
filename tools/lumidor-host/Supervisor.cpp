#include "Supervisor.h"

#include "Cleanup.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>
#include <thread>

namespace Supervisor
{
namespace
{
constexpr int maxModules = 16;

/** What the child tells the parent, in memory both share: plain fields the
    child writes as it goes. The parent reads the call and when it began
    while the child runs (for the watchdog), the rest once it is gone. */
struct Shared
{
    volatile std::sig_atomic_t finished;
    volatile std::sig_atomic_t call, opcode, module;
    std::atomic<int64_t> callStarted; // milliseconds on the monotonic clock
    char modules[maxModules][PATH_MAX];
};
static_assert (std::atomic<int64_t>::is_always_lock_free, "the watchdog reads the call's start across processes");

Shared local {};
Shared* shared = &local;
int modulesKnown = 0;

/** How long the child's group has after the first signal before SIGKILL. */
constexpr int64_t graceMilliseconds = 2000;
/** How often the parent looks at the child. */
constexpr long pollNanoseconds = 10'000'000;

int64_t nowMilliseconds() noexcept
{
    timespec t {};
    ::clock_gettime (CLOCK_MONOTONIC, &t);
    return (int64_t) t.tv_sec * 1000 + t.tv_nsec / 1'000'000;
}

/** The child's process group, for the parent's signal handler, and the
    first termination signal the parent heard and how many. */
volatile pid_t group = 0;
volatile std::sig_atomic_t firstSignal = 0;
volatile std::sig_atomic_t signalsHeard = 0;

extern "C" void passOnToGroup (int signalNumber)
{
    // The child hears the first signal and removes its temporaries; a
    // second one (Ctrl-C again) does not wait for that.
    if (firstSignal == 0)
        firstSignal = signalNumber;
    signalsHeard = signalsHeard + 1;
    if (group > 0)
        ::kill (-group, signalsHeard > 1 ? SIGKILL : signalNumber);
}

/** In the supervised child, a copy of the tool's standard output: during
    a module call descriptor 1 is standard error, so that what a module
    prints (printf, puts, a write to 1) never mixes into the tool's own
    output, info --json's included. -1 outside the child. */
int toolStdout = -1;

void keepModuleOutputOffStdout() { toolStdout = ::fcntl (STDOUT_FILENO, F_DUPFD_CLOEXEC, 3); }

int moduleOutputDepth = 0;

std::string moduleName (int slot)
{
    if (slot < 0 || slot >= maxModules || shared->modules[slot][0] == 0)
        return "the module";
    return std::string ("the module ") + shared->modules[slot];
}

std::string writtenNote()
{
    const int commits = Cleanup::commits();
    if (commits == 0)
        return "; no output was written";
    return "; " + std::to_string (commits) + " output" + (commits == 1 ? " was" : "s were") + " complete before it";
}

/** In the child: once the parent is gone (killed outright), gives SIGTERM's
    handler a grace to remove the temporaries and end the process, then
    removes them itself and ends the whole group, a module that ignores
    signals or spins included. */
void watchForOrphaning (pid_t parent)
{
    std::thread (
        [parent]
        {
            while (::getppid() == parent)
            {
                const timespec pause { 0, 50'000'000 };
                ::nanosleep (&pause, nullptr);
            }
            const timespec grace { graceMilliseconds / 1000, (graceMilliseconds % 1000) * 1'000'000 };
            ::nanosleep (&grace, nullptr);
            Cleanup::removeListedTemporaries();
            ::kill (0, SIGKILL);
        })
        .detach();
}

/** The call the child is in and how long it has been in it, or false. */
bool callRunning (Call& call, int64_t& milliseconds)
{
    const auto started = shared->callStarted.load();
    call = (Call) shared->call;
    if (call == Call::none || started == 0 || shared->callStarted.load() != started)
        return false;
    milliseconds = nowMilliseconds() - started;
    return true;
}

std::string seconds (double s)
{
    char text[32];
    std::snprintf (text, sizeof text, "%g", s);
    return text;
}

/** The parent's account of a module call that overran its limit. */
int reportOverrun (Call call, double limit)
{
    const auto where = describe (call, shared->opcode);
    std::cerr << "lumidor-host: " << moduleName (shared->module) << " did not return ";
    if (where.rfind ("in ", 0) == 0)
        std::cerr << "from " << where.substr (3) << " within " << seconds (limit) << " s";
    else
        std::cerr << "within " << seconds (limit) << " s " << where;
    std::cerr << writtenNote() << " (--module-timeout S allows longer)\n";
    return 1;
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
        // A fault of the code that ran is a crash; a signal that only ever
        // comes from outside (kill, the out-of-memory killer) is not the
        // module's doing, whatever call it was in.
        const bool fault =
            s == SIGSEGV || s == SIGBUS || s == SIGILL || s == SIGFPE || s == SIGABRT || s == SIGTRAP || s == SIGSYS;
        if (! fault && shared->finished == 0)
            std::cerr << "lumidor-host: the tool's work process was ended from outside " << what
                      << (call != Call::none ? " during a call of " + moduleName (shared->module) + " (" + where + ")"
                                             : "")
                      << writtenNote() << "\n";
        else if (call != Call::none)
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
        case Call::state: return "while it restored its state";
        case Call::editor: return "in its editor";
        case Call::none: break;
    }
    return "outside any module call";
}

int run (const std::function<int()>& work, CallLimits limits)
{
    void* memory = ::mmap (nullptr, sizeof (Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return work();
    shared = new (memory) Shared {};
    Cleanup::shareWithChildren();

    std::fflush (nullptr);
    std::cout.flush();
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0)
        return work();
    if (child == 0)
    {
        // A group of its own, so that whatever a module forks can be ended
        // with it. A parent killed outright (kill -9) sends SIGTERM, whose
        // handler removes the temporaries; a module deaf to it meets the
        // orphan watch.
        ::setpgid (0, 0);
        ::prctl (PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            std::raise (SIGTERM);
        watchForOrphaning (parent);
        keepModuleOutputOffStdout();
        const int status = work();
        shared->finished = 1;
        shared->call = (int) Call::none;
        std::cout.flush();
        std::fflush (nullptr);
        return status;
    }

    ::setpgid (child, child); // also here: the child may not have run yet
    group = child;
    Cleanup::onTerminationSignals (passOnToGroup);

    int status = 0;
    int64_t signalledAt = 0;
    Call overrun = Call::none;
    double overrunLimit = 0.0;
    for (;;)
    {
        const pid_t done = ::waitpid (child, &status, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR))
            break;
        if (firstSignal != 0)
        {
            if (signalledAt == 0)
                signalledAt = nowMilliseconds();
            else if (nowMilliseconds() - signalledAt > graceMilliseconds)
                ::kill (-child, SIGKILL);
        }
        else if (overrun == Call::none)
        {
            Call call = Call::none;
            int64_t running = 0;
            if (callRunning (call, running))
            {
                const double limit = call == Call::process ? limits.processSeconds : limits.otherSeconds;
                if ((double) running > limit * 1000.0)
                {
                    overrun = call;
                    overrunLimit = limit;
                    ::kill (-child, SIGKILL);
                }
            }
        }
        const timespec pause { 0, pollNanoseconds };
        ::nanosleep (&pause, nullptr);
    }
    group = 0;
    // Whatever a module forked and left running would hold the tool's
    // output pipe open after it exits.
    ::kill (-child, SIGKILL);
    Cleanup::removeListedTemporaries();
    if (firstSignal != 0)
    {
        std::signal (firstSignal, SIG_DFL);
        std::raise (firstSignal);
    }
    if (overrun != Call::none)
        return reportOverrun (overrun, overrunLimit);
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
    , previousStart (shared->callStarted.load (std::memory_order_relaxed))
{
    // The start before the call: the watchdog never pairs a new call with
    // the clock of an older one.
    shared->callStarted.store (nowMilliseconds());
    shared->module = module;
    shared->opcode = opcode;
    shared->call = (int) call;
}

ModuleCall::~ModuleCall()
{
    shared->call = previousCall;
    shared->opcode = previousOpcode;
    shared->module = previousModule;
    shared->callStarted.store (previousStart);
}

ModuleOutput::ModuleOutput() noexcept
{
    // Only the outermost guard moves the descriptor: a run of process calls
    // under one guard costs no system call per block.
    if (toolStdout >= 0 && moduleOutputDepth++ == 0)
    {
        std::fflush (stdout); // what the tool wrote so far is the tool's
        ::dup2 (STDERR_FILENO, STDOUT_FILENO);
    }
}

ModuleOutput::~ModuleOutput()
{
    if (toolStdout >= 0 && --moduleOutputDepth == 0)
    {
        std::fflush (stdout); // what the module wrote is the module's
        ::dup2 (toolStdout, STDOUT_FILENO);
    }
}

}
