#pragma once

#include <array>
#include <vector>

/** One program of the factory bank: what a user sees (name, intended use)
    and the six continuous settings that make its sound. Volume, On-Off and
    the input switches stay at the plug-in's defaults (0 dB, on, stereo), so
    loading a factory program never mutes, boosts or folds a track to mono.

    Values are the normalised parameter values the plug-in stores. Each
    program starts from the shape of its kind of space (a small early field
    and a dense late one for plates, large fields for halls) and was then
    moved, with `make-factory-bank tune`, until its measured RT60, EDT and
    early/late balance sat where that kind of space has them. */
struct FactoryProgram
{
    /** At most 24 characters, the longest program name VST 2 hosts show. */
    const char* name;
    /** A few words for the bank's README. */
    const char* use;
    float earlySize, lateSize, decay, diffusion, listener, dryWet;

    static constexpr int parameterCount = 11;
    /** All eleven values in the plug-in's parameter order. */
    std::array<float, parameterCount> values() const noexcept;
};

/** The factory bank's programs in slot order; the bank's remaining slots
    keep the plug-in's own default program. */
const std::vector<FactoryProgram>& factoryPrograms();

/** The host names of the eleven parameters, in order; the tool refuses a
    module whose parameters differ, since the table would set the wrong ones. */
extern const std::array<const char*, FactoryProgram::parameterCount> factoryParameterNames;
