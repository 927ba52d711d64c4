#pragma once

// Watches what a thread does while it is marked as inside the audio callback:
// heap use (malloc, free, calloc, realloc, the aligned allocators, every
// operator new and delete), lock waits (a pthread_mutex_lock that finds the
// mutex taken) and system calls. The first two are interposed in this
// executable, so they also catch calls from a module loaded with dlopen; the
// system calls are trapped with a seccomp filter on the one audio thread.
//
// Interposing the allocator is impossible under a sanitizer that owns it:
// there isAvailable() is false and nothing is counted.

#include <atomic>
#include <cstdint>

namespace RealtimeProbe
{
/** What was seen inside the marked region, summed over all threads. */
struct Counts
{
    uint64_t allocations = 0;
    uint64_t deallocations = 0;
    uint64_t lockWaits = 0;
    uint64_t systemCalls = 0;
    long lastSystemCall = -1; // number of the last trapped call, -1 if none

    bool clean() const noexcept { return allocations + deallocations + lockWaits + systemCalls == 0; }
};

/** True when the allocator and lock interposition is in effect. */
bool isAvailable() noexcept;

/** Marks the calling thread as inside (or outside) the audio callback. */
void setInside (bool inside) noexcept;

Counts counts() noexcept;
void reset() noexcept;

/** Every allocation and lock seen on any thread, inside or not; shows that
    the interposition reaches the code under test. */
uint64_t allocationsEverywhere() noexcept;
uint64_t locksEverywhere() noexcept;

/** Installs the system-call trap on the calling thread, for the rest of its
    life. Outside the marked region trapped calls run as usual; inside they
    run too but are counted. Returns false where seccomp is unavailable. */
bool trapSystemCallsOnThisThread() noexcept;
}
