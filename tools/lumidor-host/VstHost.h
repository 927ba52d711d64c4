#pragma once

#include "ModuleLibrary.h"

#include "VstInterface.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

/** Drives one VST 2 plug-in instance through the published interface only:
    the module is loaded with dlopen, its entry point (VSTPluginMain, else
    main) is called with our host callback, and every later call goes through
    the effect descriptor, as a DAW does.

    The tool is single-threaded: the calling thread is both the host's
    dispatcher thread and its audio thread. The host callback may be called
    from any thread the plug-in runs. */
class VstHost
{
public:
    /** Opcodes the interface header leaves without a number. */
    static constexpr int effOpcodeSetBypass = 44;
    static constexpr int effOpcodeGetTailSize = 52;

    explicit VstHost (std::string modulePath);
    ~VstHost();

    VstHost (const VstHost&) = delete;
    VstHost& operator= (const VstHost&) = delete;

    /** Loads the module and calls its entry point, then opens the plug-in
        (opcode 0). Returns false with a message in error() on failure, also
        for a module that reports more than 64 inputs or outputs or more
        than 100000 parameters or programs. */
    bool open();
    /** Closes the plug-in (opcode 1); the module stays loaded. */
    void close();
    /** Closes the plug-in and unloads the module. */
    void unload();

    bool isOpen() const noexcept { return effect != nullptr; }
    const std::string& error() const noexcept { return lastError; }
    const std::string& path() const noexcept { return modulePath; }
    AEffect* descriptor() const noexcept { return effect; }

    VstIntPtr dispatch (int opcode, int index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
    /** Calls an opcode that writes a string, into a zeroed buffer far longer
        than any the interface allows; keeps at most 255 bytes, up to the
        first zero, with control characters as '?'. */
    std::string dispatchText (int opcode, int index = 0);

    int numParameters() const noexcept;
    int numPrograms() const noexcept;
    int numInputs() const noexcept;
    int numOutputs() const noexcept;

    std::string parameterName (int index);
    /** The name to print: the module's own (VST 2 names hold 8 characters),
        or for Lumidor, whose names this tool knows, the full name that the
        short one begins. */
    std::string parameterFullName (int index);
    std::string parameterText (int index);
    std::string parameterLabel (int index);
    float parameter (int index);
    void setParameter (int index, float value);

    /** The index of the parameter the text names: a decimal index, or a name
        compared without regard to case; a name the plug-in cut short (to 8
        characters, as the interface asks) matches the longer text it starts.
        Returns -1 when nothing or more than one parameter matches. */
    int findParameter (const std::string& nameOrIndex);

    void setProgram (int index);
    int program();
    std::string programName();
    std::string programNameAt (int index);

    /** Host opcode 51. */
    VstIntPtr canDo (const std::string& text);

    /** Opcode 23: the preset chunk (current program) or the bank chunk.
        Empty when the plug-in returns no chunk. */
    std::vector<uint8_t> getChunk (bool preset);
    /** Opcode 24 with the given bytes; the plug-in may not keep the pointer
        beyond the call. */
    void setChunk (const void* data, size_t size, bool preset);

    /** Stores rate and block size (opcodes 10, 11) and resumes (opcode 12). */
    void prepare (double sampleRate, int maxBlockSize);
    void resume();
    void suspend();
    double sampleRate() const noexcept { return rate; }
    int blockSize() const noexcept { return maxBlock; }

    /** Processes `frames` stereo frames in one call to the plug-in's
        processing function; `frames` must not exceed the prepared block
        size. A plug-in with more channels gets silence on the others; one
        with a single input hears the left channel, one with a single
        output is copied to both. In-place use (in == out) is allowed. */
    void processBlock (const float* inL, const float* inR, float* outL, float* outR, int frames);

    /** Processes a whole signal in blocks of the prepared block size.
        `progress` (may be null) hears the fraction done after each block. */
    void processStereo (const float* inL, const float* inR, float* outL, float* outR, int64_t frames,
                        void (*progress) (double fraction, void* context) = nullptr, void* context = nullptr);

    /** Number of automation callbacks (host opcode 0) the plug-in made. */
    int automationCount() const noexcept { return automations.load(); }

private:
    static VstIntPtr hostCallback (AEffect* effect, int opcode, int index, VstIntPtr value, void* ptr, float opt);
    VstIntPtr answer (int opcode, int index, VstIntPtr value, void* ptr, float opt);
    bool loadModule();

    ModuleLibrary library;
    const std::string& modulePath;
    std::string lastError;
    AEffect* effect = nullptr;

    double rate = 44100.0;
    int maxBlock = 512;
    bool resumed = false;
    std::atomic<int> automations { 0 };
    double samplePosition = 0.0;

    std::vector<std::vector<float>> inputs, outputs;
    std::vector<float*> inputPointers, outputPointers;
    std::vector<uint8_t> timeInfo;
};
