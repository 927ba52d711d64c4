#pragma once

#include "Supervisor.h"

#include <string>
#include <utility>

/** A plug-in module's shared library and the one way this tool calls into
    it: loading, unloading and every call go through here, each marked for
    the supervisor (its watchdog, its crash messages, the module's printing
    kept off standard output). The VST 2 host and the CLAP editor host both
    hold one, so a call cannot be made without its mark. */
class ModuleLibrary
{
public:
    /** `unmapOnUnload` false keeps the library mapped after unload(), for a
        module whose framework keeps process-wide state in it that a leak
        checker would otherwise report from unmapped code. */
    explicit ModuleLibrary (std::string path, bool unmapOnUnload = true);
    ~ModuleLibrary();

    ModuleLibrary (const ModuleLibrary&) = delete;
    ModuleLibrary& operator= (const ModuleLibrary&) = delete;

    /** Loads the library (its constructors run here, marked as the load).
        Returns false with dlopen's reason in `error`. */
    bool load (std::string& error);
    /** Unloads it (its destructors run here, marked as the unload). */
    void unload();

    bool isLoaded() const noexcept { return handle != nullptr; }
    const std::string& path() const noexcept { return modulePath; }
    /** An exported symbol, or nullptr. */
    void* symbol (const char* name) const;

    /** Runs `f`, which calls into the module, marked as a call of `kind`. */
    template <typename Function>
    decltype (auto) call (Supervisor::Call kind, Function&& f, int opcode = 0) const
    {
        const Supervisor::ModuleCall marker (slot, kind, opcode);
        return std::forward<Function> (f)();
    }

private:
    std::string modulePath;
    bool unmap;
    void* handle = nullptr;
    int slot = -1;
};
