#include "AudioThread.h"
#include "ClapTestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

// The CLAP process call is held to the VST 2 one's rule: no allocation, free,
// lock wait or system call on the audio thread inside it, also while it hears
// parameter events at offsets in the block with the editor listening to the
// filter (the change broadcast would post to the message loop).

namespace
{
constexpr uint32_t blockFrames = 512;

struct ClapRealtimeSafety : ::testing::Test
{
    void SetUp() override
    {
        if (! RealtimeProbe::isAvailable())
            GTEST_SKIP() << "the sanitizer owns the allocator: interposition is impossible in this build";
        ASSERT_TRUE (plugin.ok());
        ASSERT_TRUE (audio.trapsSystemCalls()) << "seccomp is needed to watch system calls";
        ASSERT_TRUE (plugin.activate (48000.0, 8192));
        // The editor exists, and listens to the filter, without a window.
        ASSERT_TRUE (plugin.gui->create (plugin.plugin, CLAP_WINDOW_API_X11, false));
    }

    void TearDown() override
    {
        if (plugin.gui != nullptr)
            plugin.gui->destroy (plugin.plugin);
    }

    /** Processes blocks of noise with the events on the audio thread; only
        the process calls are marked. The events are made before. */
    void expectCleanProcessing (claptest::InputEvents& events, uint32_t frames, const std::string& situation)
    {
        RealtimeProbe::reset();
        audio.run (
            [&]
            {
                thread_local std::vector<float> l, r;
                l.assign (frames, 0.25f);
                r.assign (frames, -0.5f);
                float* channels[2] = { l.data(), r.data() };
                claptest::OutputEvents pushed;
                for (int b = 0; b < 4; ++b)
                {
                    RealtimeProbe::setInside (true);
                    plugin.process (channels, channels, frames, events, &pushed);
                    RealtimeProbe::setInside (false);
                }
            });
        const auto c = RealtimeProbe::counts();
        EXPECT_TRUE (c.clean()) << situation << ": " << c.allocations << " allocations, " << c.deallocations
                                << " frees, " << c.lockWaits << " lock waits, " << c.systemCalls
                                << " system calls (last: " << c.lastSystemCall << ")";
    }

    claptest::Host host;
    claptest::Plugin plugin { host };
    AudioThread audio;
};
}

TEST_F (ClapRealtimeSafety, ProcessingStaysCleanWhileEventsInsideTheBlockMoveEveryParameterAcrossAndBeyondItsRange)
{
    const double values[] = { -1.0, 0.0, 0.5, 1.0, 2.0, std::numeric_limits<double>::quiet_NaN() };
    for (double v : values)
    {
        claptest::InputEvents events;
        for (clap_id p = 0; p < 11; ++p)
            events.events.push_back (claptest::parameterEvent (p * 40, p, v));
        expectCleanProcessing (events, blockFrames, "every parameter at " + std::to_string (v));
    }
}

TEST_F (ClapRealtimeSafety, ProcessingStaysCleanAfterAStateRestoreAndAReactivationAtOddBlockSizes)
{
    const auto saved = plugin.save();
    ASSERT_TRUE (plugin.load (saved));
    plugin.deactivate();
    ASSERT_TRUE (plugin.activate (192000.0, 8192));
    for (uint32_t frames : { 1u, 7u, 4096u, 8192u })
    {
        claptest::InputEvents events;
        events.events.push_back (claptest::parameterEvent (frames / 2, 2, 0.9));
        expectCleanProcessing (events, frames, std::to_string (frames) + " frames");
    }
}
