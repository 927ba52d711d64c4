#pragma once

#include "AudioFilterBase.h"
#include "FilterInstance.h"
#include "VstIdentity.h"

#include "VstInterface.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <memory>

class EditorCompWrapper;

/** Presents an AudioFilterBase to a VST 2 host: fills the effect descriptor,
    answers the dispatcher, turns the host's channel pointers into buffers,
    carries the state chunks and places the editor in the host's window.

    The adapter owns the filter. The host deletes the adapter through the close
    opcode. Dispatcher calls come from the host's GUI thread, which is also the
    framework's message thread; the process calls come from the audio thread
    and are serialised with the filter's callback lock. */
class JuceVSTWrapper : public AudioFilterHost, private juce::Timer
{
public:
    JuceVSTWrapper (audioMasterCallback hostCallback, std::unique_ptr<AudioFilterBase> filterToOwn,
                    const VstIdentity& identity);
    ~JuceVSTWrapper() override;

    AEffect* getAEffect() noexcept { return &effect; }
    AudioFilterBase& getFilter() noexcept { return *filter; }

    void setParameterFromEditor (AudioFilterBase& f, int index, float value) override;

    /** True while the chunk last handed to the host is still held. */
    bool holdsChunk() const;

private:
    VstIntPtr dispatch (int opcode, int index, VstIntPtr value, void* ptr, float opt);
    void processReplacing (float** inputs, float** outputs, int numFrames);
    void resume();
    void suspend();

    VstIntPtr getChunk (int index, void** data);
    VstIntPtr setChunk (int index, VstIntPtr size, const void* data);
    VstIntPtr canDo (const char* text) const;

    VstIntPtr getEditorRect (void* ptr);
    VstIntPtr openEditor (void* parentWindow);
    void closeEditor();
    bool createEditorWindow();
    void resizeHostWindow (int width, int height);
    void idleHost();

    VstIntPtr callHost (int opcode, int index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);

    void timerCallback() override;

    static VstIntPtr dispatcherCallback (AEffect*, int, int, VstIntPtr, void*, float);
    static void processCallback (AEffect*, float**, float**, int);
    static void processReplacingCallback (AEffect*, float**, float**, int);
    static void processDoubleReplacingCallback (AEffect*, double**, double**, int);
    static void setParameterCallback (AEffect*, int, float);
    static float getParameterCallback (AEffect*, int);

    audioMasterCallback host;
    FilterInstance filter;
    VstIdentity identity;
    AEffect effect {};

    // Set by the dispatcher, read by a resume that the audio thread may run.
    std::atomic<float> lastSampleRate { 44100.0f };
    std::atomic<int> lastBlockSize { 1024 };
    std::atomic<bool> processing { false };

    std::unique_ptr<EditorCompWrapper> editorWindow;
    void* hostWindow = nullptr;
    ERect editorRect {};
    bool hostIdleRunning = false;

    juce::CriticalSection chunkLock;
    juce::MemoryBlock chunk;
    juce::uint32 chunkFetchedAt = 0;
    bool chunkHandedOut = false;

    juce::MidiBuffer midi;

    JUCE_DECLARE_NON_COPYABLE (JuceVSTWrapper)
};
