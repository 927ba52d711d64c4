#pragma once

namespace juce
{
// Declared by JUCE's Linux message loop; plug-ins call it to deliver pending
// messages on a host's GUI thread that runs no JUCE loop of its own.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace MessagePump
{
/** Delivers every message already waiting for the message thread (change
    broadcasts, timer callbacks, repaints) and returns how many it handled.
    Call it on the message thread only. */
int dispatchPending (int maxMessages = 1000);

/** Keeps delivering messages for about the given time, sleeping briefly when
    the queue is empty. Message thread only; for tests and tools. */
void runFor (int milliseconds);
}
