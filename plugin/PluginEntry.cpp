// The module's entry point: a VST 2 host calls it with its callback and gets
// the effect descriptor of a new plug-in instance, or null.
#include "DemoJuceFilter.h"
#include "JuceVSTWrapper.h"
#include "PluginIdentity.h"
#include "PluginModule.h"

#include <dlfcn.h>

namespace
{
AEffect* createPlugin (audioMasterCallback host) noexcept
{
    if (host == nullptr)
        return nullptr;

    try
    {
        // Only a host that answers with a VST version gets a plug-in.
        if (host (nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
            return nullptr;

        PluginModule::startGui();
        juce::MouseCursor::hideWaitCursor();

        auto filter = std::make_unique<DemoJuceFilter>();
        auto* wrapper = new JuceVSTWrapper (host, std::move (filter), lumidorIdentity.vst);
        return wrapper->getAEffect();
    }
    catch (...)
    {
        return nullptr;
    }
}

void* ownModuleHandle()
{
    Dl_info info {};
    if (dladdr (reinterpret_cast<void*> (&createPlugin), &info) == 0)
        return nullptr;
    return info.dli_fbase;
}

__attribute__ ((constructor)) void moduleLoaded() { PluginModule::load (ownModuleHandle()); }

__attribute__ ((destructor)) void moduleUnloaded() { PluginModule::unload(); }
}

extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain (audioMasterCallback host)
{
    return createPlugin (host);
}

// Older hosts look the entry point up as "main".
extern "C" __attribute__ ((visibility ("default"))) AEffect*
lumidorMainEntry (audioMasterCallback host) __asm__("main");
extern "C" AEffect* lumidorMainEntry (audioMasterCallback host) { return createPlugin (host); }
