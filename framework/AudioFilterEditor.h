#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class AudioFilterBase;

/** Base of a filter's editor: a component bound to the filter that made it.
    The host adapter's editor window owns it; the filter only remembers it
    while it is open. While it is open it announces, on its timer, the values
    a host set from its audio thread. Message thread only. */
class AudioFilterEditor : public juce::Component,
                          private juce::Timer
{
public:
    explicit AudioFilterEditor (AudioFilterBase* owner);
    ~AudioFilterEditor() override;

    AudioFilterBase* getFilter() const noexcept { return filter; }

    /** The filter went away first; the editor stops talking to it. */
    void filterBeingDeleted() noexcept { filter = nullptr; }

private:
    void timerCallback() override;

    AudioFilterBase* filter;

    JUCE_DECLARE_NON_COPYABLE (AudioFilterEditor)
};
