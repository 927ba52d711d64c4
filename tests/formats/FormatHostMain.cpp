#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

// JUCE's message manager lives on the test thread: plug-in instances are
// created and their change broadcasts delivered there.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
