#pragma once

#include <cstdint>

// The port layout of a filter behind LV2, shared by the plug-in, its UI and
// the tool that writes the bundle's data files: one input control port per
// filter parameter in host index order, then the stereo audio ports. Plain
// C++, no JUCE.
namespace Lv2Ports
{
constexpr uint32_t audioChannels = 2;

constexpr uint32_t control (int parameterIndex) noexcept { return (uint32_t) parameterIndex; }
constexpr uint32_t audioIn (uint32_t parameterCount, uint32_t channel) noexcept { return parameterCount + channel; }
constexpr uint32_t audioOut (uint32_t parameterCount, uint32_t channel) noexcept
{
    return parameterCount + audioChannels + channel;
}
constexpr uint32_t count (uint32_t parameterCount) noexcept { return parameterCount + 2 * audioChannels; }

/** The key under which the plug-in's state is stored: the plug-in URI and
    this suffix. */
constexpr const char* stateKeySuffix = ":state";
}
