#include "ModuleLibrary.h"

#include <dlfcn.h>

ModuleLibrary::ModuleLibrary (std::string path, bool unmapOnUnload)
    : modulePath (std::move (path))
    , unmap (unmapOnUnload)
    , slot (Supervisor::registerModule (modulePath))
{
}

ModuleLibrary::~ModuleLibrary() { unload(); }

bool ModuleLibrary::load (std::string& error)
{
    if (handle != nullptr)
        return true;
    // A library's constructors run inside dlopen: module code already.
    handle = call (Supervisor::Call::load, [this] { return dlopen (modulePath.c_str(), RTLD_NOW | RTLD_LOCAL); });
    if (handle == nullptr)
    {
        const char* why = dlerror();
        error = "cannot load " + modulePath + ": " + (why != nullptr ? why : "unknown error");
        return false;
    }
    return true;
}

void ModuleLibrary::unload()
{
    if (handle == nullptr)
        return;
    if (unmap)
        call (Supervisor::Call::unload, [this] { dlclose (handle); });
    handle = nullptr;
}

void* ModuleLibrary::symbol (const char* name) const { return handle != nullptr ? dlsym (handle, name) : nullptr; }
