#pragma once

#include "ParameterTable.h"

#include <juce_core/juce_core.h>

/** One stored program: twelve floats in the order of the filter's float
    fields, then a name. Slot 7 stands where the filter keeps its derived gain;
    it holds 1.0 and is never read or saved. */
struct ProgramRecord
{
    static constexpr int slotCount = 12;
    static constexpr int unusedGainSlot = 7;

    ProgramRecord()
    {
        for (const auto& p : parameterTable)
            values[(size_t) p.recordSlot] = p.defaultValue;
        values[unusedGainSlot] = 1.0f;
    }

    float& valueOf (int parameterIndex) noexcept
    {
        return values[(size_t) parameterTable[(size_t) parameterIndex].recordSlot];
    }
    float valueOf (int parameterIndex) const noexcept
    {
        return values[(size_t) parameterTable[(size_t) parameterIndex].recordSlot];
    }

    std::array<float, slotCount> values {};
    juce::String name { "Default" };
};
