#include "Cleanup.h"

#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstring>
#include <new>

namespace Cleanup
{
namespace
{
constexpr int maxTemporaries = 8;
struct List
{
    char paths[maxTemporaries][PATH_MAX];
    volatile std::sig_atomic_t inUse[maxTemporaries];
    volatile std::sig_atomic_t commits;
};
List localList;
List* list = &localList;

extern "C" void removeTemporariesAndDie (int signalNumber)
{
    removeListedTemporaries();
    // Die of the same signal, so the caller's shell sees what happened.
    std::signal (signalNumber, SIG_DFL);
    std::raise (signalNumber);
}

sigset_t terminationSignals()
{
    sigset_t set;
    sigemptyset (&set);
    for (const int s : { SIGINT, SIGTERM, SIGHUP })
        sigaddset (&set, s);
    return set;
}
}

int listTemporary (const std::string& path) noexcept
{
    if (path.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < maxTemporaries; ++i)
        if (list->inUse[i] == 0)
        {
            std::memcpy (list->paths[i], path.c_str(), path.size() + 1);
            list->inUse[i] = 1;
            return i;
        }
    return -1;
}

void forgetTemporary (int slot) noexcept
{
    if (slot >= 0 && slot < maxTemporaries)
        list->inUse[slot] = 0;
}

void removeListedTemporaries() noexcept
{
    for (int i = 0; i < maxTemporaries; ++i)
        if (list->inUse[i] != 0)
            ::unlink (list->paths[i]);
}

void noteCommit() noexcept { list->commits = list->commits + 1; }

int commits() noexcept { return list->commits; }

void shareWithChildren()
{
    if (list != &localList)
        return;
    void* shared = ::mmap (nullptr, sizeof (List), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared != MAP_FAILED)
        list = new (shared) List {};
}

void onTerminationSignals (void (*handler) (int))
{
    struct sigaction action
    {
    };
    action.sa_handler = handler;
    action.sa_mask = terminationSignals();
    for (const int s : { SIGINT, SIGTERM, SIGHUP })
    {
        // A signal the caller chose to ignore (nohup, a background job) stays ignored.
        struct sigaction previous
        {
        };
        if (::sigaction (s, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        ::sigaction (s, &action, nullptr);
    }
}

void installSignalHandlers()
{
    onTerminationSignals (removeTemporariesAndDie);
    std::signal (SIGXFSZ, SIG_IGN);
}

SignalsHeld::SignalsHeld() noexcept
{
    const auto held = terminationSignals();
    ::pthread_sigmask (SIG_BLOCK, &held, &previous);
}

SignalsHeld::~SignalsHeld() { ::pthread_sigmask (SIG_SETMASK, &previous, nullptr); }
}
