#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <dlfcn.h>

// JUCE's message manager lives on the test thread: plug-in instances are
// created and their change broadcasts delivered there.
int main (int argc, char** argv)
{
#if defined(__SANITIZE_ADDRESS__)
    // JUCE's hosting unloads the VST3 module at exit, before the leak check:
    // what the module keeps for the whole process (the editor's shared look)
    // would then be reported as leaks from an unmapped, unnamed module.
    // Kept mapped, only real leaks are reported.
    dlopen (LUMIDOR_VST3_BINARY, RTLD_NOW | RTLD_NODELETE);
#endif
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
