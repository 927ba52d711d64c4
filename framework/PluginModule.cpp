#include "PluginModule.h"

#include "MessagePump.h"

#include <juce_gui_basics/juce_gui_basics.h>
// The one place that reaches inside JUCE's Linux message loop. JUCE's public
// interface registers descriptors but offers no way to list them or to run
// their callbacks, and a plug-in runs on its host's loop: the host has to be
// told which descriptors to watch (CLAP's posix-fd support) and each idle
// call has to run their handlers. Everything else in the framework goes
// through the two functions below.
#include <juce_events/native/juce_linux_EventLoopInternal.h>

#include <atomic>

namespace
{
void* moduleHandle = nullptr;
std::atomic<int> numInstances { 0 };
bool guiStarted = false;
bool delivering = false; // message thread only
}

void PluginModule::load (void* handle)
{
    // Only the handle is recorded here: at load time the framework's own
    // static objects in this module may not be constructed yet, so the GUI
    // subsystem starts with the first instance, on the host's thread.
    moduleHandle = handle;
}

namespace
{
/** Shuts the GUI subsystem down when the module is unloaded or the process
    exits. As a static made after the framework's own statics, it is
    destroyed before them, so the framework still has everything it frees. */
struct GuiLifetime
{
    struct Anchor : juce::DeletedAtShutdown
    {
    };

    GuiLifetime()
    {
        juce::initialiseJuce_GUI();
        // Makes the framework's list of objects to delete at shutdown exist
        // now, before this object, so that it outlives this destructor.
        new Anchor();
        guiStarted = true;
    }

    ~GuiLifetime()
    {
        juce::shutdownJuce_GUI();
        guiStarted = false;
    }
};
}

void PluginModule::unload()
{
    // The GUI subsystem goes with GuiLifetime's destructor; after this point
    // no instance may be created.
    moduleHandle = nullptr;
}

void* PluginModule::getModuleHandle() noexcept { return moduleHandle; }

void PluginModule::startGui()
{
    // Before anything touches the window system: its connection registers
    // with the message loop only if the loop already exists.
    static GuiLifetime lifetime;
}

void PluginModule::instanceCreated()
{
    startGui();

    if (numInstances.fetch_add (1) == 0)
        juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
}

void PluginModule::instanceDeleted() { numInstances.fetch_sub (1); }

int PluginModule::getNumInstances() noexcept { return numInstances.load(); }

bool PluginModule::isMessageThread() noexcept
{
    auto* mm = juce::MessageManager::getInstanceWithoutCreating();
    return mm != nullptr && mm->isThisTheMessageThread();
}

std::vector<int> PluginModule::messageLoopDescriptors() { return juce::LinuxEventLoopInternal::getRegisteredFds(); }

void PluginModule::idleEditors()
{
    if (deliverPendingMessages())
        for (int i = juce::ComponentPeer::getNumPeers(); --i >= 0;)
            if (auto* peer = juce::ComponentPeer::getPeer (i))
                peer->performAnyPendingRepaintsNow();
}

bool PluginModule::deliverPendingMessages()
{
    if (delivering || ! guiStarted || ! isMessageThread())
        return false;

    delivering = true;
    MessagePump::dispatchPending();

    // The loop wakes a handler only when its file descriptor is readable, but
    // window-system events that Xlib has already read into its own queue (as
    // it does while painting) leave nothing readable behind. Each handler
    // returns at once when it has nothing to do, so every one is asked.
    for (int fd : juce::LinuxEventLoopInternal::getRegisteredFds())
        juce::LinuxEventLoopInternal::invokeEventLoopCallbackForFd (fd);
    delivering = false;
    return true;
}
