#pragma once

#include "DemoJuceFilter.h"
#include "MessagePump.h"

#include <juce_events/juce_events.h>

#include <vector>

/** Counts change callbacks delivered on the message thread. */
struct ChangeCounter : juce::ChangeListener
{
    explicit ChangeCounter (juce::ChangeBroadcaster& b)
        : broadcaster (b)
    {
        broadcaster.addChangeListener (this);
    }
    ~ChangeCounter() override { broadcaster.removeChangeListener (this); }
    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++calls; }

    juce::ChangeBroadcaster& broadcaster;
    int calls = 0;
};

/** Runs the message loop long enough for posted messages to be delivered. */
inline void pumpMessages (int milliseconds = 50) { MessagePump::runFor (milliseconds); }

/** A stereo block of the given frames, left and right filled by f(i). */
template <typename Fn>
juce::AudioBuffer<float> makeStereo (int frames, Fn f)
{
    juce::AudioBuffer<float> b (2, frames);
    for (int i = 0; i < frames; ++i)
    {
        b.setSample (0, i, f (i, 0));
        b.setSample (1, i, f (i, 1));
    }
    return b;
}

inline juce::AudioBuffer<float> render (DemoJuceFilter& filter, const juce::AudioBuffer<float>& in,
                                        bool accumulate = false)
{
    juce::AudioBuffer<float> out (in.getNumChannels(), in.getNumSamples());
    out.clear();
    juce::MidiBuffer midi;
    filter.renderBlock (in, out, accumulate, midi);
    return out;
}
