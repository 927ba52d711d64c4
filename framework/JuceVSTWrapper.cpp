#include "JuceVSTWrapper.h"

#include "AudioFilterEditor.h"
#include "EditorCompWrapper.h"
#include "HostText.h"
#include "PluginModule.h"

#include <cstring>

namespace
{
// Opcodes the interface header leaves unnamed.
constexpr int effOpcodeGetTailSize = 52;
constexpr int hostOpcodeIdle = 3;

constexpr int vstVersion = 2400;
constexpr int housekeepingPeriodMs = 250;  // chunk release timer
constexpr juce::uint32 chunkKeepMs = 2000; // a fetched chunk lives at least this long

constexpr int maxProgramNameChars = 24;
constexpr int maxParameterNameChars = 8;
constexpr int maxTextChars = 64;
// The interface allows 24 characters for a program name, but hosts that let
// users type longer ones pass them whole; a longer name is cut here.
constexpr size_t maxHostNameBytes = 256;

/** Copies at most maxChars characters and always ends with a zero byte, so
    the destination needs maxChars + 1 bytes. */
void copyText (void* destination, const juce::String& text, int maxChars)
{
    if (destination == nullptr)
        return;
    auto* d = static_cast<char*> (destination);
    const auto utf8 = text.toRawUTF8();
    const auto length = juce::jmin ((size_t) maxChars, std::strlen (utf8));
    std::memcpy (d, utf8, length);
    d[length] = 0;
}

JuceVSTWrapper* wrapperOf (AEffect* e) noexcept
{
    return e != nullptr ? static_cast<JuceVSTWrapper*> (e->object) : nullptr;
}
}

JuceVSTWrapper::JuceVSTWrapper (audioMasterCallback hostCallback, std::unique_ptr<AudioFilterBase> filterToOwn,
                                const VstIdentity& id)
    : host (hostCallback)
    , filter (std::move (filterToOwn), this)
    , identity (id)
{
    filter->setPlayConfiguration (identity.numInputs, identity.numOutputs, lastSampleRate, lastBlockSize);

    effect.magic = kEffectMagic;
    effect.dispatcher = dispatcherCallback;
    effect.process = processCallback;
    effect.setParameter = setParameterCallback;
    effect.getParameter = getParameterCallback;
    effect.numPrograms = filter->programCount();
    effect.numParams = filter->parameterCount();
    effect.numInputs = identity.numInputs;
    effect.numOutputs = identity.numOutputs;
    effect.flags = effFlagsHasEditor | effFlagsCanReplacing | effFlagsProgramChunks;
    effect.initialDelay = 0;
    effect.float1 = 1.0f; // input-output ratio
    effect.object = this;
    effect.uniqueID = identity.uniqueId;
    effect.version = identity.version;
    effect.processReplacing = processReplacingCallback;
    effect.processDoubleReplacing = processDoubleReplacingCallback;
}

JuceVSTWrapper::~JuceVSTWrapper()
{
    stopTimer();
    closeEditor();
}

VstIntPtr JuceVSTWrapper::callHost (int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    return host != nullptr ? host (&effect, opcode, index, value, ptr, opt) : 0;
}

void JuceVSTWrapper::setParameterFromEditor (AudioFilterBase& f, int index, float value)
{
    f.setParameterValue (index, value);
    callHost (audioMasterAutomate, index, 0, nullptr, value);
}

//==============================================================================
VstIntPtr JuceVSTWrapper::dispatch (int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    // Hosts that run no loop of ours still need broadcasts and timers
    // delivered: while the editor is closed, every dispatcher call on the GUI
    // thread does it; with the editor open, editor idle does.
    if (editorWindow == nullptr && opcode != effClose)
        PluginModule::deliverPendingMessages();

    switch (opcode)
    {
        case effOpen: startTimer (housekeepingPeriodMs); return 0;

        case effClose:
            stopTimer();
            closeEditor();
            delete this;
            return 0;

        case effSetProgram:
            if (value >= 0 && value < filter->programCount())
                filter->selectProgram ((int) value);
            return 0;

        case effGetProgram: return filter->currentProgramIndex();

        case effSetProgramName:
            if (ptr != nullptr)
                filter->renameProgram (filter->currentProgramIndex(),
                                       HostText::fromHost (static_cast<const char*> (ptr), maxHostNameBytes));
            return 0;

        case effGetProgramName:
            copyText (ptr, filter->programNameAt (filter->currentProgramIndex()), maxProgramNameChars);
            return 0;

        case effGetParamLabel: copyText (ptr, {}, maxParameterNameChars); return 0;

        case effGetParamDisplay: copyText (ptr, filter->parameterText (index), maxTextChars); return 0;

        case effGetParamName: copyText (ptr, filter->parameterName (index), maxParameterNameChars); return 0;

        case effSetSampleRate: lastSampleRate = opt; return 0;

        case effSetBlockSize: lastBlockSize = (int) value; return 0;

        case effMainsChanged:
            if (value != 0)
                resume();
            else
                suspend();
            return 0;

        case effEditGetRect: return getEditorRect (ptr);

        case effEditOpen: return openEditor (ptr);

        case effEditClose: closeEditor(); return 0;

        case effEditIdle: PluginModule::idleEditors(); return 0;

        case effIdentify: return CCONST ('N', 'v', 'E', 'f');

        case effGetChunk: return getChunk (index, static_cast<void**> (ptr));

        case effSetChunk: return setChunk (index, value, ptr);

        case effCanBeAutomated: return 1;

        case effGetProgramNameIndexed:
            if (index < 0 || index >= filter->programCount())
                return 0;
            copyText (ptr, filter->programNameAt (index), maxProgramNameChars);
            return 1;

        case effGetPlugCategory: return identity.category;

        case effGetEffectName:
        case effGetProductString: copyText (ptr, identity.effectName, maxTextChars); return 1;

        case effGetVendorString: copyText (ptr, identity.vendorName, maxTextChars); return 1;

        case effGetVendorVersion: return identity.vendorVersion;

        case effCanDo: return canDo (static_cast<const char*> (ptr));

        case effOpcodeGetTailSize: return 0;

        case effGetVstVersion: return vstVersion;

        case effGetCurrentMidiProgram: return -1;

        case effGetSpeakerArrangement:
            if (auto** in = reinterpret_cast<void**> (value))
                *in = nullptr;
            if (auto** out = static_cast<void**> (ptr))
                *out = nullptr;
            return 0;

        case effSetTotalSampleToProcess: return value;

        default: return 0;
    }
}

VstIntPtr JuceVSTWrapper::canDo (const char* text) const
{
    if (text == nullptr)
        return 0;

    static const char* const refused[] = { "receiveVstEvents", "receiveVstMidiEvent", "receiveVstMidiEvents",
                                           "sendVstEvents",    "sendVstMidiEvent",    "sendVstMidiEvents" };
    for (auto* r : refused)
        if (std::strcmp (text, r) == 0)
            return -1;

    if (std::strcmp (text, "receiveVstTimeInfo") == 0 || std::strcmp (text, "conformsToWindowRules") == 0)
        return 1;

    return 0;
}

//==============================================================================
void JuceVSTWrapper::resume()
{
    // The adapter's own block state changes under the same lock as the
    // filter's, for a host that resumes on its GUI thread while its audio
    // thread still delivers blocks (the lock is recursive).
    const juce::ScopedLock sl (filter->getCallbackLock());
    filter->activate (identity.numInputs, identity.numOutputs, (double) lastSampleRate.load(), lastBlockSize.load());
    midi.clear();
    processing = true;
}

void JuceVSTWrapper::suspend()
{
    const juce::ScopedLock sl (filter->getCallbackLock());
    filter->deactivate();
    midi.clear();
    processing = false;
}

void JuceVSTWrapper::processReplacing (float** inputs, float** outputs, int numFrames)
{
    if (! processing)
        resume();

    if (inputs == nullptr || outputs == nullptr || inputs[0] == nullptr || inputs[1] == nullptr || outputs[0] == nullptr
        || outputs[1] == nullptr)
        return;

    // The buffers refer to the host's memory: nothing is copied or allocated.
    const juce::AudioBuffer<float> in (inputs, 2, juce::jmax (0, numFrames));
    juce::AudioBuffer<float> out (outputs, 2, juce::jmax (0, numFrames));

    filter->processHostBlock (in, out, midi);
}

//==============================================================================
VstIntPtr JuceVSTWrapper::getChunk (int index, void** data)
{
    if (data == nullptr)
        return 0;

    const juce::ScopedLock sl (chunkLock);
    chunk.reset();
    if (index != 0)
        filter->writePresetState (chunk);
    else
        filter->writeBankState (chunk);

    *data = chunk.getData();
    chunkFetchedAt = juce::Time::getMillisecondCounter();
    chunkHandedOut = true;
    return (VstIntPtr) chunk.getSize();
}

VstIntPtr JuceVSTWrapper::setChunk (int index, VstIntPtr size, const void* data)
{
    const juce::ScopedLock sl (chunkLock);
    chunk.reset();
    chunkHandedOut = false;

    if (size <= 0 || data == nullptr)
        return 0;

    const int bytes = (int) juce::jmin (size, (VstIntPtr) std::numeric_limits<int>::max());
    if (index != 0)
        filter->readPresetState (data, bytes);
    else
        filter->readBankState (data, bytes);
    return 0;
}

bool JuceVSTWrapper::holdsChunk() const
{
    const juce::ScopedLock sl (chunkLock);
    return chunkHandedOut && chunk.getSize() > 0;
}

void JuceVSTWrapper::timerCallback()
{
    const juce::ScopedLock sl (chunkLock);
    if (chunkHandedOut && juce::Time::getMillisecondCounter() - chunkFetchedAt > chunkKeepMs)
    {
        chunk.reset();
        chunkHandedOut = false;
    }
}

//==============================================================================
bool JuceVSTWrapper::createEditorWindow()
{
    if (editorWindow != nullptr)
        return true;

    editorWindow = EditorCompWrapper::open (*filter);
    if (editorWindow == nullptr)
        return false;

    editorWindow->onEditorResized = [this] (int w, int h)
    {
        resizeHostWindow (w, h);
    };
    editorWindow->onIdleWhileMouseDown = [this]
    {
        idleHost();
    };
    return true;
}

VstIntPtr JuceVSTWrapper::getEditorRect (void* ptr)
{
    if (! createEditorWindow())
        return 0;

    editorRect.top = 0;
    editorRect.left = 0;
    editorRect.bottom = (short) editorWindow->getHeight();
    editorRect.right = (short) editorWindow->getWidth();
    if (ptr != nullptr)
        *static_cast<ERect**> (ptr) = &editorRect;
    return (VstIntPtr) &editorRect;
}

VstIntPtr JuceVSTWrapper::openEditor (void* parentWindow)
{
    closeEditor();

    // Without the host's window there is nowhere to put the editor; a window
    // of our own outside the host is not what the host asked for.
    if (parentWindow == nullptr)
        return 0;

    if (! createEditorWindow())
        return 0;

    hostWindow = parentWindow;
    editorWindow->attachToHostWindow (parentWindow);
    return 1;
}

void JuceVSTWrapper::closeEditor()
{
    editorWindow.reset();
    hostWindow = nullptr;
}

void JuceVSTWrapper::resizeHostWindow (int width, int height)
{
    if (callHost (audioMasterCanDo, 0, 0, const_cast<char*> ("sizeWindow")) != 0)
        callHost (audioMasterSizeWindow, width, height);
}

void JuceVSTWrapper::idleHost()
{
    if (hostIdleRunning)
        return;
    hostIdleRunning = true;
    callHost (hostOpcodeIdle);
    hostIdleRunning = false;
}

//==============================================================================
VstIntPtr JuceVSTWrapper::dispatcherCallback (AEffect* e, int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    auto* w = wrapperOf (e);
    return w != nullptr ? w->dispatch (opcode, index, value, ptr, opt) : 0;
}

void JuceVSTWrapper::processCallback (AEffect*, float**, float**, int)
{
    // Accumulating processing is not offered: the host's outputs stay as
    // they are.
}

void JuceVSTWrapper::processReplacingCallback (AEffect* e, float** inputs, float** outputs, int numFrames)
{
    if (auto* w = wrapperOf (e))
        w->processReplacing (inputs, outputs, numFrames);
}

void JuceVSTWrapper::processDoubleReplacingCallback (AEffect*, double**, double**, int)
{
    // Double precision is not offered (the flag is clear).
}

void JuceVSTWrapper::setParameterCallback (AEffect* e, int index, float value)
{
    if (auto* w = wrapperOf (e))
        w->filter->setParameterFromHost (index, value);
}

float JuceVSTWrapper::getParameterCallback (AEffect* e, int index)
{
    auto* w = wrapperOf (e);
    return w != nullptr ? w->filter->parameterValue (index) : 0.0f;
}
