// The VST3 and standalone builds' audio callback under the same watch as the
// VST 2 process call: the processor JUCE's wrappers drive, with its editor
// open, the host automating every parameter at block rate from the audio
// thread (as JUCE's VST3 wrapper sets them) while the user moves values in
// the editor on the message thread.
#include <gtest/gtest.h>

#include "AudioThread.h"
#include "FilterAudioProcessor.h"
#include "MessagePump.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <thread>

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();

TEST (BridgeRealtimeSafety, ProcessBlockStaysCleanWithTheEditorOpenWhileHostAndEditorMoveEveryValue)
{
    if (! RealtimeProbe::isAvailable())
        GTEST_SKIP() << "the sanitizer owns the allocator: interposition is impossible in this build";
    juce::ScopedJuceInitialiser_GUI juce;
    std::unique_ptr<FilterAudioProcessor> processor (static_cast<FilterAudioProcessor*> (createPluginFilter()));
    constexpr int frames = 512;
    processor->setPlayConfigDetails (2, 2, 44100.0, frames);
    processor->prepareToPlay (44100.0, frames);
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor->createEditorIfNeeded());
    ASSERT_NE (editor, nullptr);
    MessagePump::runFor (100);

    AudioThread audio;
    ASSERT_TRUE (audio.trapsSystemCalls()) << "seccomp is needed to watch system calls";
    juce::AudioBuffer<float> buffer (2, frames);
    juce::MidiBuffer midi;
    const auto parameters = processor->getParameters();
    RealtimeProbe::reset();

    std::atomic<bool> finished { false };
    std::thread host (
        [&]
        {
            audio.run (
                [&]
                {
                    for (int b = 0; b < 400; ++b)
                    {
                        for (int c = 0; c < 2; ++c)
                            for (int i = 0; i < frames; ++i)
                                buffer.setSample (c, i, ((i * 7 + b) % 13) / 13.0f - 0.5f);
                        RealtimeProbe::setInside (true);
                        for (int p = 0; p < 7; ++p)
                            parameters[p]->setValue ((b % 2) != 0 ? 0.25f : 0.75f);
                        processor->processBlock (buffer, midi);
                        RealtimeProbe::setInside (false);
                    }
                });
            finished = true;
        });

    // The user drags the bars meanwhile; the editor hears the host's values.
    auto& filter = processor->getFilter();
    for (int step = 0; ! finished; ++step)
    {
        filter.setParameterNotifyingHost (step % 7, (float) (step % 11) / 10.0f);
        MessagePump::runFor (2);
    }
    host.join();

    const auto c = RealtimeProbe::counts();
    EXPECT_TRUE (c.clean()) << c.allocations << " allocations, " << c.deallocations << " frees, " << c.lockWaits
                            << " lock waits, " << c.systemCalls << " system calls (last: " << c.lastSystemCall << ")";
    editor.reset();
    processor->releaseResources();
}
