#include "Lv2FilterPlugin.h"

#include "FilterState.h"

#include <lv2/atom/atom.h>

#include <cstring>
#include <limits>
#include <string>

namespace
{
// LV2 tells a plug-in no block size; the filter does not use it, so this is
// only what it is told.
constexpr int nominalBlockSize = 1024;

bool sameBits (float a, float b) noexcept { return std::memcmp (&a, &b, sizeof (float)) == 0; }

const LV2_URID_Map* findUridMap (const LV2_Feature* const* features) noexcept
{
    for (auto* const* f = features; f != nullptr && *f != nullptr; ++f)
        if (std::strcmp ((*f)->URI, LV2_URID__map) == 0)
            return static_cast<const LV2_URID_Map*> ((*f)->data);
    return nullptr;
}

Lv2FilterPlugin* pluginOf (LV2_Handle handle) noexcept { return static_cast<Lv2FilterPlugin*> (handle); }

LV2_Handle instantiateCallback (const LV2_Descriptor* descriptor, double rate, const char*,
                                const LV2_Feature* const* features)
{
    try
    {
        // The descriptor is the first member of the description.
        const auto& description = *reinterpret_cast<const Lv2PluginDescription*> (descriptor);
        return new Lv2FilterPlugin (description, rate, features);
    }
    catch (...)
    {
        return nullptr;
    }
}

void connectPortCallback (LV2_Handle h, uint32_t port, void* data) { pluginOf (h)->connectPort (port, data); }
void activateCallback (LV2_Handle h) { pluginOf (h)->activate(); }
void runCallback (LV2_Handle h, uint32_t frames) { pluginOf (h)->run (frames); }
void deactivateCallback (LV2_Handle h) { pluginOf (h)->deactivate(); }
void cleanupCallback (LV2_Handle h) { delete pluginOf (h); }

LV2_State_Status saveCallback (LV2_Handle h, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t,
                               const LV2_Feature* const*)
{
    return pluginOf (h)->save (store, handle);
}

LV2_State_Status restoreCallback (LV2_Handle h, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle, uint32_t,
                                  const LV2_Feature* const*)
{
    return pluginOf (h)->restore (retrieve, handle);
}

const LV2_State_Interface stateInterface { saveCallback, restoreCallback };

const void* extensionDataCallback (const char* uri)
{
    return std::strcmp (uri, LV2_STATE__interface) == 0 ? &stateInterface : nullptr;
}
}

Lv2PluginDescription makeLv2PluginDescription (const PluginDescription& plugin) noexcept
{
    return { { plugin.identity.lv2Uri, instantiateCallback, connectPortCallback, activateCallback, runCallback,
               deactivateCallback, cleanupCallback, extensionDataCallback },
             plugin };
}

//==============================================================================
Lv2FilterPlugin::Lv2FilterPlugin (const Lv2PluginDescription& d, double rate, const LV2_Feature* const* features)
    : description (d)
    , filter (d.plugin.makeFilter())
    , sampleRate (rate > 0.0 ? rate : AudioFilterBase::fallbackSampleRate)
    , parameterCount ((uint32_t) juce::jmax (0, filter->parameterCount()))
    , controls (parameterCount, nullptr)
    , lastSeen (parameterCount, 0.0f)
    , seenOnce (parameterCount, false)
{
    // Without the URID map the plug-in still runs; it only cannot offer its
    // state (the state's type is a URID).
    if (auto* map = findUridMap (features))
    {
        const auto key = std::string (d.descriptor.URI) + Lv2Ports::stateKeySuffix;
        stateKey = map->map (map->handle, key.c_str());
        chunkType = map->map (map->handle, LV2_ATOM__Chunk);
    }
    filter->setPlayConfiguration ((int) Lv2Ports::audioChannels, (int) Lv2Ports::audioChannels, sampleRate,
                                  nominalBlockSize);
}

void Lv2FilterPlugin::connectPort (uint32_t port, void* data) noexcept
{
    if (port < parameterCount)
        controls[port] = static_cast<const float*> (data);
    else if (port < Lv2Ports::audioOut (parameterCount, 0))
        audioIn[port - Lv2Ports::audioIn (parameterCount, 0)] = static_cast<float*> (data);
    else if (port < Lv2Ports::count (parameterCount))
        audioOut[port - Lv2Ports::audioOut (parameterCount, 0)] = static_cast<float*> (data);
}

void Lv2FilterPlugin::activate()
{
    filter->activate ((int) Lv2Ports::audioChannels, (int) Lv2Ports::audioChannels, sampleRate, nominalBlockSize);
    prepared = true;
}

void Lv2FilterPlugin::deactivate()
{
    filter->deactivate();
    prepared = false;
}

void Lv2FilterPlugin::applyControlPorts() noexcept
{
    for (uint32_t i = 0; i < parameterCount; ++i)
    {
        const auto* port = controls[i];
        if (port == nullptr)
            continue;
        const float value = *port;
        if (seenOnce[i] && sameBits (value, lastSeen[i]))
            continue;
        lastSeen[i] = value;
        seenOnce[i] = true;
        filter->setParameterFromHost ((int) i, description.plugin.fromUnit ((int) i, value));
    }
}

void Lv2FilterPlugin::markPortsAsSeen() noexcept
{
    for (uint32_t i = 0; i < parameterCount; ++i)
        if (const auto* port = controls[i])
        {
            lastSeen[i] = *port;
            seenOnce[i] = true;
        }
}

void Lv2FilterPlugin::run (uint32_t frames) noexcept
{
    // As the VST 2 adapter does: a block before activation still comes after
    // prepare.
    if (! prepared)
        activate();

    // The values are heard from the start of this block, as a VST 2 host's
    // parameter changes between two blocks are.
    applyControlPorts();

    for (uint32_t c = 0; c < Lv2Ports::audioChannels; ++c)
        if (audioIn[c] == nullptr || audioOut[c] == nullptr)
            return;

    // The buffers refer to the host's memory. The filter reads both inputs of
    // a frame before it writes that frame, so any aliasing of input and
    // output buffers that a host chooses is safe.
    const auto numFrames = (int) juce::jmin (frames, (uint32_t) std::numeric_limits<int>::max());
    const juce::AudioBuffer<float> in (audioIn, (int) Lv2Ports::audioChannels, numFrames);
    juce::AudioBuffer<float> out (audioOut, (int) Lv2Ports::audioChannels, numFrames);

    filter->processHostBlock (in, out, midi);
}

LV2_State_Status Lv2FilterPlugin::save (LV2_State_Store_Function store, LV2_State_Handle handle)
{
    if (stateKey == 0 || store == nullptr)
        return LV2_STATE_ERR_NO_FEATURE;

    juce::MemoryBlock state;
    FilterState::write (*filter, state);
    // The host copies the value before store returns.
    return store (handle, stateKey, state.getData(), state.getSize(), chunkType,
                  LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2FilterPlugin::restore (LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle)
{
    if (stateKey == 0 || retrieve == nullptr)
        return LV2_STATE_ERR_NO_FEATURE;

    size_t size = 0;
    uint32_t type = 0, flags = 0;
    const void* data = retrieve (handle, stateKey, &size, &type, &flags);
    if (data == nullptr)
        return LV2_STATE_ERR_NO_PROPERTY;
    if (type != chunkType || size > (size_t) std::numeric_limits<int>::max())
        return LV2_STATE_ERR_BAD_TYPE;

    if (! FilterState::read (*filter, data, (int) size))
        return LV2_STATE_ERR_UNKNOWN;
    markPortsAsSeen();
    return LV2_STATE_SUCCESS;
}
