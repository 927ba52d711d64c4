#pragma once

#include <array>
#include <cstddef>

// The one table of the plug-in's parameters: host index, the name the host
// shows, the field and state attribute name, the default, and the slot of a
// ProgramRecord that stores it. Names, texts, the state documents and the
// editor all read it.
struct ParameterInfo
{
    int index;
    const char* hostName;
    const char* stateKey;
    float defaultValue;
    int recordSlot;
};

namespace ParameterIndex
{
enum : int
{
    earlySize = 0,
    lateSize,
    decay,
    diffusion,
    listener,
    dryWet,
    volume,
    onOff,
    leftOnOff,
    rightOnOff,
    stereoOnOff,
    count
};
}

inline constexpr std::array<ParameterInfo, 11> parameterTable { {
    { ParameterIndex::earlySize, "EarlySize", "fEarlySize", 0.5f, 0 },
    { ParameterIndex::lateSize, "LateSize", "fLateSize", 0.5f, 1 },
    { ParameterIndex::decay, "Decay", "fDecay", 0.5f, 2 },
    { ParameterIndex::diffusion, "Diffusion", "fDiffusion", 0.5f, 3 },
    { ParameterIndex::listener, "Listener", "fListenerPos", 0.5f, 4 },
    { ParameterIndex::dryWet, "Dry-Wet", "fMix", 0.5f, 5 },
    { ParameterIndex::volume, "Volume", "fVolume", 0.5f, 6 },
    { ParameterIndex::onOff, "On-Off", "fOnButton", 1.0f, 8 },
    { ParameterIndex::leftOnOff, "Left On-Off", "fLeftSelButton", 0.0f, 9 },
    { ParameterIndex::rightOnOff, "Right On-Off", "fRightSelButton", 0.0f, 10 },
    { ParameterIndex::stereoOnOff, "Stereo On-Off", "fStereoSelButton", 1.0f, 11 },
} };

static_assert (parameterTable.size() == ParameterIndex::count, "one row per parameter");

constexpr bool parameterTableIsInIndexOrder()
{
    for (int i = 0; i < (int) parameterTable.size(); ++i)
        if (parameterTable[(size_t) i].index != i)
            return false;
    return true;
}
static_assert (parameterTableIsInIndexOrder(), "rows are in host index order");

constexpr int programCountTotal = 128;
