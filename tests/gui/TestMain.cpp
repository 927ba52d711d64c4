#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

// JUCE's GUI runtime lives on the test thread, so tests can pump the message
// loop and receive asynchronous slider and change notifications.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
