#pragma once

#include "RealtimeProbe.h"
#include "TestHost.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

/** A thread that stands in for the host's audio thread: it traps its own
    system calls and runs jobs handed to it by the test thread, one at a time.
    Only process() marks the probe's region, so the hand-over itself may lock
    and sleep. */
class AudioThread
{
public:
    AudioThread()
        : worker ([this] { loop(); })
    {
        std::unique_lock<std::mutex> lock (mutex);
        wake.wait (lock, [this] { return started; });
    }

    ~AudioThread()
    {
        {
            std::lock_guard<std::mutex> lock (mutex);
            quit = true;
        }
        wake.notify_all();
        worker.join();
    }

    AudioThread (const AudioThread&) = delete;
    AudioThread& operator= (const AudioThread&) = delete;

    /** True if the system-call trap is installed on the thread. */
    bool trapsSystemCalls() const { return trapping; }

    /** Runs job on the audio thread and waits for it. */
    void run (std::function<void()> job)
    {
        {
            std::unique_lock<std::mutex> lock (mutex);
            pending = std::move (job);
            done = false;
        }
        wake.notify_all();
        std::unique_lock<std::mutex> lock (mutex);
        wake.wait (lock, [this] { return done; });
    }

    /** Processes blocks of stereo noise through the effect; only the
        processReplacing calls are marked. Call from inside a job. */
    static void process (AEffect* effect, int blocks, int frames, float level = 0.5f)
    {
        thread_local std::vector<float> inL, inR, outL, outR;
        inL.resize ((size_t) frames);
        inR.resize ((size_t) frames);
        outL.resize ((size_t) frames);
        outR.resize ((size_t) frames);
        thread_local unsigned seed = 1;

        for (int b = 0; b < blocks; ++b)
        {
            for (int i = 0; i < frames; ++i)
            {
                seed = seed * 1664525u + 1013904223u;
                inL[(size_t) i] = level * ((float) (seed >> 8) / 8388608.0f - 1.0f);
                inR[(size_t) i] = -inL[(size_t) i];
            }
            float* ins[] = { inL.data(), inR.data() };
            float* outs[] = { outL.data(), outR.data() };

            RealtimeProbe::setInside (true);
            effect->processReplacing (effect, ins, outs, frames);
            RealtimeProbe::setInside (false);
        }
    }

private:
    void loop()
    {
        const bool trapped = RealtimeProbe::trapSystemCallsOnThisThread();
        std::unique_lock<std::mutex> lock (mutex);
        trapping = trapped;
        started = true;
        wake.notify_all();

        for (;;)
        {
            wake.wait (lock, [this] { return quit || pending != nullptr; });
            if (quit)
                return;
            auto job = std::move (pending);
            pending = nullptr;
            lock.unlock();
            job();
            lock.lock();
            done = true;
            wake.notify_all();
        }
    }

    std::mutex mutex;
    std::condition_variable wake;
    std::function<void()> pending;
    bool started = false, done = false, quit = false, trapping = false;
    std::thread worker;
};
