// The LV2 build's run call under the same watch as the VST 2 process call:
// the plug-in is loaded through lilv, as hosts load it, and the host moves
// every control port between blocks.
#include <gtest/gtest.h>

#include "AudioThread.h"
#include "Lv2TestHost.h"

#include <cmath>
#include <limits>

TEST (Lv2RealtimeSafety, RunStaysCleanWhileTheHostMovesEveryPortAcrossAndBeyondItsRange)
{
    if (! RealtimeProbe::isAvailable())
        GTEST_SKIP() << "the sanitizer owns the allocator: interposition is impossible in this build";

    lv2test::Instance instance;
    ASSERT_TRUE (instance.ok());
    AudioThread audio;
    ASSERT_TRUE (audio.trapsSystemCalls()) << "seccomp is needed to watch system calls";
    instance.runBlock();

    RealtimeProbe::reset();
    audio.run (
        [&instance]
        {
            const float values[] = {
                0.0f, 50.0f, -1.0f, 1.0e30f, 2.5f, std::numeric_limits<float>::quiet_NaN(), 100.0f
            };
            for (const float v : values)
            {
                for (auto& control : instance.controls)
                    control = v;
                RealtimeProbe::setInside (true);
                instance.runBlock();
                RealtimeProbe::setInside (false);
            }
        });
    const auto c = RealtimeProbe::counts();
    EXPECT_TRUE (c.clean()) << c.allocations << " allocations, " << c.deallocations << " frees, " << c.lockWaits
                            << " lock waits, " << c.systemCalls << " system calls (last: " << c.lastSystemCall << ")";
}
