#pragma once

#include <vector>

// The module-wide side of every format the framework binds itself (VST 2, LV2,
// CLAP): the framework's GUI subsystem is started once, with the first
// instance, and shut down when the module is unloaded; the host's GUI thread,
// which makes the instance and editor calls, serves as the framework's
// message thread. Every instance in the process shares it.
namespace PluginModule
{
/** Module load: records the module handle. */
void load (void* moduleHandle);
/** Module unload: shuts the GUI subsystem down. */
void unload();

void* getModuleHandle() noexcept;

/** Starts the GUI subsystem once, on the calling thread. */
void startGui();

/** A new instance is created on the calling thread. The first instance
    starts the GUI subsystem and makes that thread the message thread (hosts
    instantiate on their GUI thread). */
void instanceCreated();
void instanceDeleted();
int getNumInstances() noexcept;

/** True on the framework's message thread. */
bool isMessageThread() noexcept;

/** Delivers the messages waiting for the message thread (change broadcasts,
    timers, repaints), when called on that thread and not already inside a
    delivery. Returns true if it ran. */
bool deliverPendingMessages();

/** The editors' idle time, however a format's host gives it (VST 2's
    effEditIdle, LV2's idle interface, CLAP's timer and descriptor calls):
    delivers the waiting messages, then paints what they made dirty at once,
    since the host's loop, not the framework's, owns the thread. */
void idleEditors();

/** The file descriptors the framework's message loop wants watched (the
    display connection, its own wake-up pipe), for a host that watches them
    on the plug-in's behalf. */
std::vector<int> messageLoopDescriptors();
}
