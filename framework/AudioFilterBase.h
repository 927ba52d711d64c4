#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>

class AudioFilterBase;
class AudioFilterEditor;

/** What a filter needs from the host it is attached to. The VST 2 adapter
    implements it; a filter without a host has none. Called on the thread that
    made the change (the message thread for the editor). */
class AudioFilterHost
{
public:
    virtual ~AudioFilterHost() = default;

    /** The editor changed a parameter: the host applies it to the filter and
        then records it as automation. */
    virtual void setParameterFromEditor (AudioFilterBase& filter, int index, float value) = 0;
};

/** The plug-in filter as a host adapter sees it: parameters, programs, state
    chunks, block processing and an editor. The virtual operations are listed
    in the order that the adapters rely on. */
class AudioFilterBase
{
public:
    AudioFilterBase() = default;
    virtual ~AudioFilterBase();

    AudioFilterBase (const AudioFilterBase&) = delete;
    AudioFilterBase& operator= (const AudioFilterBase&) = delete;

    /** Called before the first block, with the host's rate in Hz. */
    virtual void prepare (double sampleRate, int blockSize) = 0;
    /** Called when the host switches processing off. */
    virtual void release() = 0;
    /** Processes one block on the audio thread, under the callback lock. */
    virtual void renderBlock (const juce::AudioBuffer<float>& input, juce::AudioBuffer<float>& output, bool accumulate,
                              juce::MidiBuffer& midi) = 0;
    /** Creates a new editor; the caller owns it. May return nullptr. */
    virtual AudioFilterEditor* makeEditor() = 0;

    virtual int parameterCount() = 0;
    virtual juce::String parameterName (int index) = 0;
    virtual float parameterValue (int index) = 0;
    virtual juce::String parameterText (int index) = 0;
    virtual void setParameterValue (int index, float value) = 0;

    virtual int programCount() = 0;
    virtual int currentProgramIndex() = 0;
    virtual void selectProgram (int index) = 0;
    virtual juce::String programNameAt (int index) = 0;
    virtual void renameProgram (int index, const juce::String& newName) = 0;

    virtual void writeBankState (juce::MemoryBlock& destination) = 0;
    virtual void writePresetState (juce::MemoryBlock& destination) = 0;
    /** Restore a chunk; one that cannot be used changes nothing. */
    virtual void readBankState (const void* data, int sizeInBytes) = 0;
    virtual void readPresetState (const void* data, int sizeInBytes) = 0;
    /** Whether the readers above would take the chunk, without touching the
        filter: a state made of several chunks is refused whole before any
        of them is restored. */
    virtual bool isUsableBankState (const void* data, int sizeInBytes) = 0;
    virtual bool isUsablePresetState (const void* data, int sizeInBytes) = 0;

    /** Stores a parameter value as setParameterValue does but tells no
        listener, since the change broadcast may lock, allocate and wake the
        message thread. Adapters reach it through setParameterFromHost,
        which also arranges the announcement. */
    virtual void setParameterValueQuietly (int index, float value) { setParameterValue (index, value); }
    /** Sends the change broadcast for values stored quietly. Message thread. */
    virtual void announceParameterChanges() {}

    /** A value a host sent, the one way every adapter hands it over. On the
        message thread it is set and announced at once. On any other thread
        (the host's audio thread, as a rule) it is stored quietly and only
        flagged, so that thread never locks, allocates or wakes another; the
        open editor's timer announces it through announceHostChanges(). */
    void setParameterFromHost (int index, float value);
    /** Announces the values setParameterFromHost stored quietly since the
        last call, if any. Message thread. */
    void announceHostChanges();

    /** The rate a filter is configured for when the host gives none it can
        use (none yet, zero, negative or not a number). */
    static constexpr double fallbackSampleRate = 44100.0;

    /** Switches processing on as every format does when its host does:
        configured for the channels, the host's rate (or the fallback) and
        block size, then prepared. Under the callback lock, since a host may
        do this on its GUI thread while its audio thread still delivers
        blocks, and a prepare must not overlap one. */
    void activate (int inputs, int outputs, double hostRate, int hostBlockSize);
    /** Switches processing off, under the callback lock. */
    void deactivate();

    /** One host block as the plug-in adapters run it: under the callback
        lock, rendered, or the output cleared while the filter is suspended;
        any MIDI the filter left in `midi` is dropped. Audio thread. */
    void processHostBlock (const juce::AudioBuffer<float>& input, juce::AudioBuffer<float>& output,
                           juce::MidiBuffer& midi);

    /** Sets a parameter as the user did it: through the host when there is
        one (so it is recorded as automation), otherwise directly. */
    void setParameterNotifyingHost (int index, float value);

    /** The lock the adapter holds around every block and around switching
        processing on and off. The message thread never takes it while an
        instance lives, so a host's audio thread never waits on its GUI. */
    const juce::CriticalSection& getCallbackLock() const noexcept { return callbackLock; }

    void setHost (AudioFilterHost* newHost) noexcept { host = newHost; }
    AudioFilterHost* getHost() const noexcept { return host; }

    /** Returns the open editor, creating it through makeEditor the first time.
        Message thread. */
    AudioFilterEditor* createEditorIfNeeded();
    /** The open editor, or nullptr. */
    AudioFilterEditor* getActiveEditor() const noexcept;
    /** Called by an editor as it is deleted, so the filter forgets it. */
    void editorBeingDeleted (AudioFilterEditor* editor);

    void setPlayConfiguration (int inputs, int outputs, double rate, int block) noexcept;
    int getNumInputChannels() const noexcept { return numInputChannels; }
    int getNumOutputChannels() const noexcept { return numOutputChannels; }
    double getSampleRate() const noexcept { return sampleRate; }
    int getBlockSize() const noexcept { return blockSize; }

    /** A suspended filter's output is cleared by the adapter instead of
        being rendered. */
    bool isSuspended() const noexcept { return suspended; }
    void setSuspended (bool shouldBeSuspended) noexcept { suspended = shouldBeSuspended; }

private:
    juce::CriticalSection callbackLock;
    std::atomic<bool> hostChangesPending { false };
    AudioFilterHost* host = nullptr;
    std::atomic<AudioFilterEditor*> activeEditor { nullptr };
    int numInputChannels = 0;
    int numOutputChannels = 0;
    double sampleRate = 0.0;
    int blockSize = 0;
    bool suspended = false;
};
