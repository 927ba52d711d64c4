#include "MessagePump.h"

#include <juce_events/juce_events.h>

int MessagePump::dispatchPending (int maxMessages)
{
    int handled = 0;
    while (handled < maxMessages && juce::dispatchNextMessageOnSystemQueue (true))
        ++handled;
    return handled;
}

void MessagePump::runFor (int milliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) juce::jmax (0, milliseconds);
    do
    {
        if (dispatchPending() == 0)
            juce::Thread::sleep (1);
    } while (juce::Time::getMillisecondCounter() < end);
}
