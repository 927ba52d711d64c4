// GoogleTest before Xlib, whose macros (None, Bool, Status) would rename
// parts of it.
#include <gtest/gtest.h>

#include "AudioThread.h"
#include "X11TestHost.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

// The audio thread must never allocate, free, wait for a lock or enter the
// kernel while it is inside processReplacing, whatever the parameters, the
// program or the state restored before. The module is loaded with dlopen, as
// a host loads it, so the interposed allocator and mutex see its calls.

// The audio thread reads the live parameter values without a lock; a float
// atomic that fell back to a lock would make every read a possible wait.
static_assert (std::atomic<float>::is_always_lock_free, "parameter reads on the audio thread must be lock-free");
static_assert (std::atomic<bool>::is_always_lock_free, "the adapter's processing flag must be lock-free");

namespace
{
constexpr int blockFrames = 512;
constexpr int blocksPerCheck = 4;
const float sweepValues[] = { -1.0f, 0.0f, 0.5f, 1.0f, 2.0f };

std::string describe (const RealtimeProbe::Counts& c)
{
    std::ostringstream s;
    s << c.allocations << " allocations, " << c.deallocations << " frees, " << c.lockWaits << " lock waits, "
      << c.systemCalls << " system calls (last: " << c.lastSystemCall << ")";
    return s.str();
}

struct RealtimeSafety : ::testing::Test
{
    void SetUp() override
    {
        if (! RealtimeProbe::isAvailable())
            GTEST_SKIP() << "the sanitizer owns the allocator: interposition is impossible in this build";

        ASSERT_TRUE (host.loaded()) << dlerror();
        effect = host.instantiate();
        ASSERT_NE (effect, nullptr);
        dispatch (effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
        dispatch (effect, effSetBlockSize, 0, blockFrames);
        dispatch (effect, effMainsChanged, 0, 1);
        ASSERT_TRUE (audio.trapsSystemCalls()) << "seccomp is needed to watch system calls";
        RealtimeProbe::reset();
    }

    /** Processes a few blocks on the audio thread and expects nothing seen. */
    void expectCleanProcessing (const std::string& situation)
    {
        RealtimeProbe::reset();
        audio.run ([this] { AudioThread::process (effect, blocksPerCheck, blockFrames); });
        const auto c = RealtimeProbe::counts();
        EXPECT_TRUE (c.clean()) << situation << ": " << describe (c);
    }

    void setAll (float value)
    {
        for (int p = 0; p < effect->numParams; ++p)
            effect->setParameter (effect, p, value);
    }

    std::vector<char> chunk (int index)
    {
        void* data = nullptr;
        const auto size = dispatch (effect, effGetChunk, index, 0, &data);
        const auto* bytes = static_cast<const char*> (data);
        return std::vector<char> (bytes, bytes + size);
    }

    TestHost host;
    AEffect* effect = nullptr;
    AudioThread audio;
};
}

TEST_F (RealtimeSafety, TheProbeSeesTheModulesAllocationsLocksAndTheAudioThreadsSystemCalls)
{
    // Without this the other tests could pass because nothing is watched.
    const auto allocationsBefore = RealtimeProbe::allocationsEverywhere();
    chunk (0);
    EXPECT_GT (RealtimeProbe::allocationsEverywhere(), allocationsBefore) << "writing a bank allocates";

    const auto locksBefore = RealtimeProbe::locksEverywhere();
    audio.run ([this] { AudioThread::process (effect, 1, blockFrames); });
    EXPECT_GT (RealtimeProbe::locksEverywhere(), locksBefore) << "the adapter takes the callback lock";
    EXPECT_TRUE (RealtimeProbe::counts().clean()) << describe (RealtimeProbe::counts());

    audio.run (
        []
        {
            RealtimeProbe::setInside (true);
            syscall (SYS_getppid);
            void* volatile p = malloc (16);
            free (p);
            RealtimeProbe::setInside (false);
        });
    const auto c = RealtimeProbe::counts();
    EXPECT_EQ (c.systemCalls, 1u);
    EXPECT_EQ (c.lastSystemCall, (long) SYS_getppid);
    EXPECT_EQ (c.allocations, 1u);
    EXPECT_EQ (c.deallocations, 1u);
}

TEST_F (RealtimeSafety, TheProbeCountsAWaitForALockThatAnotherThreadHolds)
{
    static pthread_mutex_t held = PTHREAD_MUTEX_INITIALIZER;
    std::atomic<bool> locked { false }, waiting { false };
    std::thread holder (
        [&]
        {
            pthread_mutex_lock (&held);
            locked = true;
            while (! waiting)
                std::this_thread::yield();
            usleep (20000);
            pthread_mutex_unlock (&held);
        });
    audio.run (
        [&]
        {
            while (! locked)
                std::this_thread::yield();
            RealtimeProbe::setInside (true);
            waiting = true;
            pthread_mutex_lock (&held);
            RealtimeProbe::setInside (false);
            pthread_mutex_unlock (&held);
        });
    holder.join();
    EXPECT_EQ (RealtimeProbe::counts().lockWaits, 1u);
}

TEST_F (RealtimeSafety, ProcessingStaysCleanWithEachParameterSweptAcrossAndBeyondItsRange)
{
    expectCleanProcessing ("default program");

    for (int p = 0; p < effect->numParams; ++p)
        for (float v : sweepValues)
        {
            effect->setParameter (effect, p, v);
            expectCleanProcessing ("parameter " + std::to_string (p) + " at " + std::to_string (v));
        }
}

TEST_F (RealtimeSafety, ProcessingStaysCleanWithEveryParameterAtOnceAndInMixedCombinations)
{
    for (float v : sweepValues)
    {
        setAll (v);
        expectCleanProcessing ("every parameter at " + std::to_string (v));
    }

    // Mixed corners: each parameter takes a value from the sweep chosen by
    // a small generator, with the engine switched on half of the time.
    unsigned seed = 7;
    for (int combination = 0; combination < 40; ++combination)
    {
        for (int p = 0; p < effect->numParams; ++p)
        {
            seed = seed * 1103515245u + 12345u;
            effect->setParameter (effect, p, sweepValues[(seed >> 16) % 5]);
        }
        effect->setParameter (effect, 7, combination % 2 == 0 ? 1.0f : 0.0f);
        expectCleanProcessing ("combination " + std::to_string (combination));
    }
}

TEST_F (RealtimeSafety, ProcessingStaysCleanAfterProgramChanges)
{
    for (int program : { 1, 5, 127, 0, 64 })
    {
        dispatch (effect, effSetProgram, 0, program);
        setAll (program % 2 == 0 ? 1.0f : 0.25f);
        expectCleanProcessing ("after selecting program " + std::to_string (program));
    }
    for (int program : { 1, 64, 0 })
    {
        dispatch (effect, effSetProgram, 0, program);
        expectCleanProcessing ("after returning to program " + std::to_string (program));
    }
}

TEST_F (RealtimeSafety, ProcessingStaysCleanAfterPresetAndBankRestores)
{
    setAll (1.0f);
    const auto loudPreset = chunk (1);
    dispatch (effect, effSetProgram, 0, 9);
    setAll (0.0f);
    const auto bank = chunk (0);

    dispatch (effect, effSetChunk, 1, (VstIntPtr) loudPreset.size(), const_cast<char*> (loudPreset.data()));
    expectCleanProcessing ("after a preset restore");

    dispatch (effect, effSetChunk, 0, (VstIntPtr) bank.size(), const_cast<char*> (bank.data()));
    expectCleanProcessing ("after a bank restore");

    dispatch (effect, effSetProgram, 0, 9);
    expectCleanProcessing ("after selecting a restored program");

    std::string garbage (300, 'x');
    dispatch (effect, effSetChunk, 1, (VstIntPtr) garbage.size(), garbage.data());
    dispatch (effect, effSetChunk, 0, (VstIntPtr) garbage.size(), garbage.data());
    expectCleanProcessing ("after unreadable chunks");
}

TEST_F (RealtimeSafety, ProcessingStaysCleanAcrossSuspendResumeAndOddBlockSizes)
{
    dispatch (effect, effMainsChanged, 0, 0);
    dispatch (effect, effSetSampleRate, 0, 0, nullptr, 96000.0f);
    dispatch (effect, effMainsChanged, 0, 1);
    expectCleanProcessing ("after a resume at 96 kHz");

    for (int frames : { 0, 1, 7, 4096 })
    {
        RealtimeProbe::reset();
        audio.run ([this, frames] { AudioThread::process (effect, 2, frames); });
        EXPECT_TRUE (RealtimeProbe::counts().clean()) << frames << " frames: " << describe (RealtimeProbe::counts());
    }
}

TEST_F (RealtimeSafety, TheFirstBlockPreparesTheFilterWithoutAllocating)
{
    // A host that never resumes: the adapter prepares on the audio thread.
    dispatch (effect, effMainsChanged, 0, 0);
    expectCleanProcessing ("first block after a suspend, without resume");
}

TEST_F (RealtimeSafety, HostAutomationOnTheAudioThreadStaysCleanWithTheEditorOpen)
{
    // An open editor listens to the filter: a value set on the audio thread
    // must reach it later from the message thread, not by a message posted
    // (locked, allocated, written to a pipe) from the audio thread.
    if (std::getenv ("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs an X display";
    X11HostWindow window { 450, 223 };
    ASSERT_TRUE (window.isOpen());
    ASSERT_EQ (dispatch (effect, effEditOpen, 0, 0, reinterpret_cast<void*> (window.id())), 1);
    idleEditor (window, effect, 200);

    RealtimeProbe::reset();
    audio.run (
        [this]
        {
            for (int b = 0; b < blocksPerCheck; ++b)
            {
                RealtimeProbe::setInside (true);
                for (int p = 0; p < effect->numParams; ++p)
                    effect->setParameter (effect, p, (b % 2) != 0 ? 0.25f : 0.75f);
                RealtimeProbe::setInside (false);
                AudioThread::process (effect, 1, blockFrames);
            }
        });
    const auto c = RealtimeProbe::counts();
    EXPECT_TRUE (c.clean()) << describe (c);

    // The editor hears the last values on the message thread.
    idleEditor (window, effect, 200);
    EXPECT_FLOAT_EQ (effect->getParameter (effect, 0), 0.25f);
    dispatch (effect, effEditClose);
}
