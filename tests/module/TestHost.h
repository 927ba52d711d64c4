#pragma once

// A minimal VST 2 host for tests: loads the module with dlopen exactly as a
// DAW does, answers the plug-in's callbacks and records every one of them.
#include "VstInterface.h"

#include <dlfcn.h>

#include <mutex>
#include <string>
#include <vector>

struct HostCall
{
    int opcode;
    int index;
    VstIntPtr value;
    float opt;
    std::string text;
};

class TestHost
{
public:
    /** What the host answers to the version query; 0 refuses plug-ins. */
    VstIntPtr hostVersion = 2400;
    /** What the host answers to "sizeWindow". */
    VstIntPtr canSizeWindow = 1;

    TestHost()
    {
        module = dlopen (LUMIDOR_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        if (module != nullptr)
        {
            entry = reinterpret_cast<Entry> (dlsym (module, "VSTPluginMain"));
            mainEntry = reinterpret_cast<Entry> (dlsym (module, "main"));
        }
    }

    ~TestHost()
    {
        for (auto* e : open)
            e->dispatcher (e, effClose, 0, 0, nullptr, 0.0f);
            // Under AddressSanitizer the module stays mapped: objects it keeps for
            // the whole process (the editor's shared look) would otherwise turn
            // into unexplained leaks from an unmapped, unnamed module.
#if ! defined(__SANITIZE_ADDRESS__)
        if (module != nullptr)
            dlclose (module);
#endif
    }

    TestHost (const TestHost&) = delete;
    TestHost& operator= (const TestHost&) = delete;

    bool loaded() const { return module != nullptr && entry != nullptr; }

    /** Calls the entry point and opens the plug-in, as hosts do. */
    AEffect* instantiate()
    {
        current = this;
        auto* e = entry (&callback);
        if (e != nullptr)
        {
            e->dispatcher (e, effOpen, 0, 0, nullptr, 0.0f);
            open.push_back (e);
        }
        return e;
    }

    void close (AEffect* e)
    {
        std::erase (open, e);
        e->dispatcher (e, effClose, 0, 0, nullptr, 0.0f);
    }

    std::vector<HostCall> calls() const
    {
        std::lock_guard<std::mutex> lock (callsMutex);
        return recorded;
    }

    void clearCalls()
    {
        std::lock_guard<std::mutex> lock (callsMutex);
        recorded.clear();
    }

    using Entry = AEffect* (*) (audioMasterCallback);
    Entry entry = nullptr;
    Entry mainEntry = nullptr;

    static TestHost* current;

private:
    static VstIntPtr callback (AEffect*, int opcode, int index, VstIntPtr value, void* ptr, float opt)
    {
        auto* self = current;
        if (self == nullptr)
            return 0;

        {
            std::lock_guard<std::mutex> lock (self->callsMutex);
            self->recorded.push_back ({ opcode, index, value, opt,
                                        opcode == audioMasterCanDo && ptr != nullptr
                                            ? std::string (static_cast<const char*> (ptr))
                                            : std::string() });
        }

        if (opcode == audioMasterVersion)
            return self->hostVersion;
        if (opcode == audioMasterCanDo && ptr != nullptr
            && std::string (static_cast<const char*> (ptr)) == "sizeWindow")
            return self->canSizeWindow;
        if (opcode == audioMasterSizeWindow)
            return 1;
        return 0;
    }

    void* module = nullptr;
    std::vector<AEffect*> open;
    mutable std::mutex callsMutex;
    std::vector<HostCall> recorded;
};

inline TestHost* TestHost::current = nullptr;

inline VstIntPtr dispatch (AEffect* e, int opcode, int index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                           float opt = 0.0f)
{
    return e->dispatcher (e, opcode, index, value, ptr, opt);
}

inline std::string dispatchText (AEffect* e, int opcode, int index = 0)
{
    char text[256];
    std::fill (std::begin (text), std::end (text), '\x7f');
    dispatch (e, opcode, index, 0, text);
    return std::string (text);
}
