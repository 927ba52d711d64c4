#pragma once

// How long the plug-in's output rings on after its input falls silent, as
// the VST3 and standalone builds report it to hosts (an offline bounce keeps
// that much after the last note). The VST 2 module reports no tail.
namespace TailLength
{
/** Ringing time for a normalised Decay value, in seconds: the late field's
    decay time plus the longest ringing of the diffusers, at most
    `maximumSeconds`. Monotone in Decay; whatever the other settings are,
    the output has fallen 60 dB below its peak by then. Pure, any thread. */
double secondsForDecay (float decay) noexcept;

/** The cap for the near-endless settings at the top of Decay. */
constexpr double maximumSeconds = 120.0;
} // namespace TailLength
