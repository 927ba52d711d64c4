#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class AudioFilterBase;

/** Base of a filter's editor: a component bound to the filter that made it.
    The host adapter's editor window owns it; the filter only remembers it
    while it is open. While it is open it announces, on its timer, the values
    a host set from its audio thread. Message thread only. */
class AudioFilterEditor : public juce::Component, private juce::Timer
{
public:
    explicit AudioFilterEditor (AudioFilterBase* owner);
    ~AudioFilterEditor() override;

    AudioFilterBase* getFilter() const noexcept { return filter; }

    /** The filter went away first; the editor stops talking to it. */
    void filterBeingDeleted() noexcept { filter = nullptr; }

    /** The largest scale the editor is drawn sharp at: the largest
        resolution its artwork ships in. Above it pictures would only be
        blown up, so no host or desktop enlarges the editor further. */
    virtual double largestScale() const { return 1.0; }

    /** The scale every format's window draws the editor at: the host's
        when it gave one (a positive number), else the desktop's (the window
        system's own when above 1, else what the desktop publishes:
        DesktopScale), limited to 1 to largestScale(). */
    double scaleFor (double hostScale, double windowSystemScale) const;

private:
    void timerCallback() override;

    AudioFilterBase* filter;

    JUCE_DECLARE_NON_COPYABLE (AudioFilterEditor)
};
