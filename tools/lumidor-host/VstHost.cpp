#include "VstHost.h"

#include "Supervisor.h"

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <map>
#include <mutex>

namespace
{
using EntryPoint = AEffect* (*) (audioMasterCallback);

/** Which host owns which effect, for the callback; the host being
    constructed is the one a callback without a known effect belongs to. */
std::mutex registryLock;
std::map<AEffect*, VstHost*> registry;
VstHost* instantiating = nullptr;

constexpr VstIntPtr hostVstVersion = 2400;
/** Text kept from a module's reply, in bytes; the interface's own limits are
    far shorter (8 to 64), but modules are known to pass them. */
constexpr int maxStringLength = 256;
/** The buffer a module writes text into: room for a reply well past every
    limit, so one that ignores them still writes into our memory. */
constexpr size_t textBufferBytes = 4096;
/** Counts a module may report and the tool still believes. */
constexpr int maxChannels = 64;
constexpr int maxCount = 100000;
/** A chunk larger than this is taken for a module's error, in bytes. */
constexpr VstIntPtr maxChunkBytes = 256 * 1024 * 1024;

/** The reply cut to maxStringLength and to its first zero, with control
    characters (a newline would break every report) shown as '?'. */
std::string textFrom (const char* buffer)
{
    std::string text (buffer, strnlen (buffer, (size_t) maxStringLength - 1));
    for (auto& c : text)
        if ((unsigned char) c < 0x20 || c == 0x7f)
            c = '?';
    return text;
}

std::string lowerCase (std::string s)
{
    std::transform (s.begin(), s.end(), s.begin(), [] (unsigned char c) { return (char) std::tolower (c); });
    return s;
}
}

VstHost::VstHost (std::string path)
    : library (std::move (path))
    , modulePath (library.path())
    , timeInfo (sizeof (VstTimeInfo), 0)
{
}

VstHost::~VstHost() { unload(); }

bool VstHost::loadModule() { return library.load (lastError); }

bool VstHost::open()
{
    close();
    if (! loadModule())
        return false;

    auto entry = reinterpret_cast<EntryPoint> (library.symbol ("VSTPluginMain"));
    if (entry == nullptr)
        entry = reinterpret_cast<EntryPoint> (library.symbol ("main"));
    if (entry == nullptr)
    {
        lastError = modulePath + " exports neither VSTPluginMain nor main";
        return false;
    }

    {
        std::lock_guard<std::mutex> lock (registryLock);
        instantiating = this;
    }
    AEffect* created = library.call (Supervisor::Call::entryPoint, [entry] { return entry (&VstHost::hostCallback); });
    {
        std::lock_guard<std::mutex> lock (registryLock);
        instantiating = nullptr;
        if (created != nullptr)
            registry[created] = this;
    }

    if (created == nullptr)
    {
        lastError = modulePath + ": the entry point returned no plug-in";
        return false;
    }
    if (created->magic != kEffectMagic)
    {
        lastError = modulePath + ": the descriptor does not carry the effect magic";
        return false;
    }

    // Every count sizes a buffer or a loop of this tool: an absurd one is
    // the module's fault, refused before it costs memory or time.
    if (created->numInputs < 0 || created->numInputs > maxChannels || created->numOutputs < 0
        || created->numOutputs > maxChannels)
    {
        lastError = modulePath + " reports " + std::to_string (created->numInputs) + " inputs and "
                    + std::to_string (created->numOutputs) + " outputs; this tool takes 0 to "
                    + std::to_string (maxChannels) + " of each";
        return false;
    }
    if (created->numParams < 0 || created->numParams > maxCount || created->numPrograms < 0
        || created->numPrograms > maxCount)
    {
        lastError = modulePath + " reports " + std::to_string (created->numParams) + " parameters and "
                    + std::to_string (created->numPrograms) + " programs; this tool takes 0 to "
                    + std::to_string (maxCount) + " of each";
        return false;
    }

    effect = created;
    resumed = false;
    automations = 0;
    dispatch (effOpen);
    return true;
}

void VstHost::close()
{
    if (effect == nullptr)
        return;

    if (resumed)
        suspend();
    dispatch (effClose);
    {
        std::lock_guard<std::mutex> lock (registryLock);
        registry.erase (effect);
    }
    effect = nullptr;
}

void VstHost::unload()
{
    close();
    library.unload();
}

VstIntPtr VstHost::dispatch (int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    if (effect == nullptr)
        return 0;
    return library.call (
        Supervisor::Call::dispatcher, [&] { return effect->dispatcher (effect, opcode, index, value, ptr, opt); },
        opcode);
}

std::string VstHost::dispatchText (int opcode, int index)
{
    char text[textBufferBytes] = {};
    dispatch (opcode, index, 0, text);
    text[textBufferBytes - 1] = 0;
    return textFrom (text);
}

int VstHost::numParameters() const noexcept { return effect != nullptr ? effect->numParams : 0; }
int VstHost::numPrograms() const noexcept { return effect != nullptr ? effect->numPrograms : 0; }
int VstHost::numInputs() const noexcept { return effect != nullptr ? effect->numInputs : 0; }
int VstHost::numOutputs() const noexcept { return effect != nullptr ? effect->numOutputs : 0; }

std::string VstHost::parameterName (int index) { return dispatchText (effGetParamName, index); }
std::string VstHost::parameterFullName (int index)
{
    static const char* const lumidorNames[] = { "EarlySize",   "LateSize",     "Decay",        "Diffusion",
                                                "Listener",    "Dry-Wet",      "Volume",       "On-Off",
                                                "Left On-Off", "Right On-Off", "Stereo On-Off" };
    const auto name = parameterName (index);
    if (index < 0 || index >= (int) std::size (lumidorNames) || dispatchText (effGetEffectName) != "Lumidor")
        return name;
    const std::string full = lumidorNames[index];
    return ! name.empty() && full.compare (0, name.size(), name) == 0 ? full : name;
}

std::string VstHost::parameterText (int index) { return dispatchText (effGetParamDisplay, index); }
std::string VstHost::parameterLabel (int index) { return dispatchText (effGetParamLabel, index); }

float VstHost::parameter (int index)
{
    if (effect == nullptr)
        return 0.0f;
    return library.call (Supervisor::Call::getParameter, [&] { return effect->getParameter (effect, index); });
}

void VstHost::setParameter (int index, float value)
{
    if (effect == nullptr)
        return;
    library.call (Supervisor::Call::setParameter, [&] { effect->setParameter (effect, index, value); });
}

int VstHost::findParameter (const std::string& nameOrIndex)
{
    if (nameOrIndex.empty())
        return -1;

    if (std::all_of (nameOrIndex.begin(), nameOrIndex.end(), [] (unsigned char c) { return std::isdigit (c); }))
    {
        const int index = std::atoi (nameOrIndex.c_str());
        return index < numParameters() ? index : -1;
    }

    const auto wanted = lowerCase (nameOrIndex);
    int cutMatch = -1, cutMatches = 0;
    for (int i = 0; i < numParameters(); ++i)
    {
        const auto name = lowerCase (parameterName (i));
        if (name == wanted)
            return i;
        // The interface asks for names of at most 8 characters, so a full
        // name typed by the user may only start with what the plug-in says.
        if (name.size() >= 8 && wanted.compare (0, name.size(), name) == 0)
        {
            cutMatch = i;
            ++cutMatches;
        }
    }
    return cutMatches == 1 ? cutMatch : -1;
}

void VstHost::setProgram (int index) { dispatch (effSetProgram, 0, index); }
int VstHost::program() { return (int) dispatch (effGetProgram); }
std::string VstHost::programName() { return dispatchText (effGetProgramName); }

std::string VstHost::programNameAt (int index)
{
    char text[textBufferBytes] = {};
    dispatch (effGetProgramNameIndexed, index, 0, text);
    text[textBufferBytes - 1] = 0;
    return textFrom (text);
}

VstIntPtr VstHost::canDo (const std::string& text)
{
    std::vector<char> copy (text.begin(), text.end());
    copy.push_back (0);
    return dispatch (effCanDo, 0, 0, copy.data());
}

std::vector<uint8_t> VstHost::getChunk (bool preset)
{
    void* data = nullptr;
    const auto size = dispatch (effGetChunk, preset ? 1 : 0, 0, &data);
    if (data == nullptr || size <= 0 || size > maxChunkBytes)
        return {};
    const auto* bytes = static_cast<const uint8_t*> (data);
    return std::vector<uint8_t> (bytes, bytes + size);
}

void VstHost::setChunk (const void* data, size_t size, bool preset)
{
    dispatch (effSetChunk, preset ? 1 : 0, (VstIntPtr) size, const_cast<void*> (data));
}

void VstHost::prepare (double sampleRate, int maxBlockSize)
{
    if (resumed)
        suspend();
    rate = sampleRate;
    maxBlock = std::max (1, maxBlockSize);
    dispatch (effSetSampleRate, 0, 0, nullptr, (float) rate);
    dispatch (effSetBlockSize, 0, maxBlock);
    resume();
}

void VstHost::resume()
{
    dispatch (effMainsChanged, 0, 1);
    resumed = true;
}

void VstHost::suspend()
{
    dispatch (effMainsChanged, 0, 0);
    resumed = false;
}

void VstHost::processBlock (const float* inL, const float* inR, float* outL, float* outR, int frames)
{
    if (effect == nullptr || frames <= 0)
        return;

    const auto ins = (size_t) std::max (2, effect->numInputs);
    const auto outs = (size_t) std::max (2, effect->numOutputs);
    const auto length = (size_t) std::max (frames, maxBlock);
    if (inputs.size() != ins || outputs.size() != outs || inputs[0].size() < length)
    {
        inputs.assign (ins, std::vector<float> (length, 0.0f));
        outputs.assign (outs, std::vector<float> (length, 0.0f));
        inputPointers.clear();
        outputPointers.clear();
        for (auto& c : inputs)
            inputPointers.push_back (c.data());
        for (auto& c : outputs)
            outputPointers.push_back (c.data());
    }

    std::copy (inL, inL + frames, inputs[0].begin());
    std::copy (effect->numInputs == 1 ? inL : inR, (effect->numInputs == 1 ? inL : inR) + frames, inputs[1].begin());
    for (auto& c : outputs)
        std::fill (c.begin(), c.begin() + frames, 0.0f);

    auto* info = reinterpret_cast<VstTimeInfo*> (timeInfo.data());
    info->samplePos = samplePosition;
    info->sampleRate = rate;

    library.call (Supervisor::Call::process,
                  [&]
                  {
                      if ((effect->flags & effFlagsCanReplacing) != 0 && effect->processReplacing != nullptr)
                          effect->processReplacing (effect, inputPointers.data(), outputPointers.data(), frames);
                      else if (effect->process != nullptr)
                          effect->process (effect, inputPointers.data(), outputPointers.data(), frames);
                  });

    samplePosition += frames;
    std::copy (outputs[0].begin(), outputs[0].begin() + frames, outL);
    const auto& right = effect->numOutputs == 1 ? outputs[0] : outputs[1];
    std::copy (right.begin(), right.begin() + frames, outR);
}

void VstHost::processStereo (const float* inL, const float* inR, float* outL, float* outR, int64_t frames,
                             void (*progress) (double, void*), void* context)
{
    const Supervisor::ModuleOutput moduleOutput;
    for (int64_t done = 0; done < frames;)
    {
        const int n = (int) std::min<int64_t> (maxBlock, frames - done);
        processBlock (inL + done, inR + done, outL + done, outR + done, n);
        done += n;
        if (progress != nullptr)
            progress ((double) done / (double) frames, context);
    }
}

VstIntPtr VstHost::hostCallback (AEffect* e, int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    VstHost* host = nullptr;
    {
        std::lock_guard<std::mutex> lock (registryLock);
        const auto found = registry.find (e);
        host = found != registry.end() ? found->second : instantiating;
    }
    if (host == nullptr)
        return opcode == audioMasterVersion ? hostVstVersion : 0;
    return host->answer (opcode, index, value, ptr, opt);
}

VstIntPtr VstHost::answer (int opcode, int, VstIntPtr, void* ptr, float)
{
    switch (opcode)
    {
        case audioMasterVersion: return hostVstVersion;
        case audioMasterAutomate: ++automations; return 0;
        case audioMasterGetSampleRate: return (VstIntPtr) rate;
        case audioMasterGetBlockSize: return maxBlock;
        case audioMasterGetTime:
        {
            auto* info = reinterpret_cast<VstTimeInfo*> (timeInfo.data());
            info->samplePos = samplePosition;
            info->sampleRate = rate;
            info->tempo = 120.0;
            info->timeSigNumerator = 4;
            info->timeSigDenominator = 4;
            return reinterpret_cast<VstIntPtr> (info);
        }
        case audioMasterGetVendorString:
            if (ptr != nullptr)
                std::strcpy (static_cast<char*> (ptr), "Lumidor");
            return ptr != nullptr ? 1 : 0;
        case audioMasterGetProductString:
            if (ptr != nullptr)
                std::strcpy (static_cast<char*> (ptr), "lumidor-host");
            return ptr != nullptr ? 1 : 0;
        case audioMasterGetVendorVersion: return 1000;
        case audioMasterGetCurrentProcessLevel: return 0;
        default:
            // Among them can-do: this host offers nothing beyond the
            // basics, so every capability question is answered "no".
            return 0;
    }
}
