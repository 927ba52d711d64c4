#pragma once

#include <csignal>
#include <string>

/** What the tool must undo when it is interrupted or its work process dies,
    and how it meets termination signals, in one place that both the outputs
    (SafeOutputFile, which lists and forgets its temporaries and counts what
    it puts in place) and the supervisor (which removes a dead child's
    temporaries and reports its count) use.

    The list is plain arrays and sig_atomic_t flags: a signal handler may
    read it (unlink is async-signal-safe) and may interrupt the code that
    fills it. shareWithChildren moves it into memory a parent shares with the
    children it forks later. */
namespace Cleanup
{
/** Lists a temporary for removal; its slot, or -1 when the list is full or
    the path too long (the file is then only removed by its owner). */
int listTemporary (const std::string& path) noexcept;
/** Takes a slot off the list (after a rename or an unlink). */
void forgetTemporary (int slot) noexcept;
/** Removes every listed temporary (async-signal-safe). */
void removeListedTemporaries() noexcept;

/** Counts an output put in place, for a later crash's message. */
void noteCommit() noexcept;
int commits() noexcept;

/** Moves the list into memory shared with children forked later. Called
    once, before any fork. */
void shareWithChildren();

/** Puts `handler` in place for SIGINT, SIGTERM and SIGHUP, each blocked
    while it runs, except where the caller chose to ignore the signal. */
void onTerminationSignals (void (*handler) (int));
/** The tool's own policy, put in place once at start-up: on SIGINT, SIGTERM
    and SIGHUP remove the listed temporaries and die of the signal; ignore
    SIGXFSZ, so that a file-size limit fails a write with EFBIG and a message
    instead of killing the tool. */
void installSignalHandlers();

/** Holds SIGINT, SIGTERM and SIGHUP for its lifetime (they arrive after),
    so that no step it covers is cut in two. */
class SignalsHeld
{
public:
    SignalsHeld() noexcept;
    ~SignalsHeld();

    SignalsHeld (const SignalsHeld&) = delete;
    SignalsHeld& operator= (const SignalsHeld&) = delete;

private:
    sigset_t previous;
};
}
