// A host that does everything LV2 allows it to, and some of what it does not
// promise to avoid: values no control port declares, blocks of any length,
// every rate from 8 kHz to 768 kHz, activation storms, state saved while
// another thread runs the plug-in, many instances at once. Each case must
// end with finite output and nothing leaked (the sanitizer build runs it).
#include "Lv2TestHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

namespace
{
using lv2test::controlCount;

constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

/** One instance at any rate, run in blocks of any length, its ports on
    buffers of its own. */
class RawInstance
{
public:
    explicit RawInstance (double rate, size_t largestBlock = 8192)
        : in { std::vector<float> (largestBlock), std::vector<float> (largestBlock) }
        , out { std::vector<float> (largestBlock), std::vector<float> (largestBlock) }
    {
        std::vector<float> minimum (lv2test::portCount), maximum (lv2test::portCount), defaults (lv2test::portCount);
        lilv_plugin_get_port_ranges_float (lv2test::plugin(), minimum.data(), maximum.data(), defaults.data());
        mapFeature = { LV2_URID__map, &urids.feature };
        const LV2_Feature* features[] = { &mapFeature, nullptr };
        instance = lilv_plugin_instantiate (lv2test::plugin(), rate, features);
        if (instance == nullptr)
            return;
        for (int p = 0; p < controlCount; ++p)
        {
            controls[(size_t) p] = defaults[(size_t) p];
            lilv_instance_connect_port (instance, (uint32_t) p, &controls[(size_t) p]);
        }
        for (uint32_t c = 0; c < 2; ++c)
        {
            lilv_instance_connect_port (instance, controlCount + c, in[c].data());
            lilv_instance_connect_port (instance, controlCount + 2 + c, out[c].data());
        }
    }

    ~RawInstance()
    {
        if (instance != nullptr)
            lilv_instance_free (instance);
    }

    RawInstance (const RawInstance&) = delete;
    RawInstance& operator= (const RawInstance&) = delete;

    bool ok() const { return instance != nullptr; }
    void activate() { lilv_instance_activate (instance); }
    void deactivate() { lilv_instance_deactivate (instance); }

    /** Runs one block of noise with a NaN and an infinity in it; true when
        every output sample is finite. */
    bool runNoise (uint32_t frames)
    {
        for (uint32_t i = 0; i < frames; ++i)
        {
            seed = seed * 1664525u + 1013904223u;
            in[0][i] = (float) (seed >> 8) / 8388608.0f - 1.0f;
            in[1][i] = -in[0][i] * 0.5f;
        }
        if (frames > 3)
        {
            in[0][1] = notANumber;
            in[1][2] = -infinity;
        }
        lilv_instance_run (instance, frames);
        for (uint32_t i = 0; i < frames; ++i)
            if (! std::isfinite (out[0][i]) || ! std::isfinite (out[1][i]))
                return false;
        return true;
    }

    LilvInstance* instance = nullptr;
    lv2test::UridMap urids;
    std::array<float, controlCount> controls {};

private:
    LV2_Feature mapFeature {};
    std::vector<float> in[2], out[2];
    uint32_t seed = 99u;
};

/** The state's bytes as the plug-in stores them. */
LV2_State_Status saveState (RawInstance& plugin, lv2test::Instance::Stored& stored)
{
    const auto* state = static_cast<const LV2_State_Interface*> (
        lilv_instance_get_extension_data (plugin.instance, LV2_STATE__interface));
    auto store = [] (LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type, uint32_t)
    {
        auto& s = *static_cast<lv2test::Instance::Stored*> (h);
        s.key = key;
        s.type = type;
        s.bytes.assign (static_cast<const uint8_t*> (value), static_cast<const uint8_t*> (value) + size);
        ++s.stores;
        return LV2_STATE_SUCCESS;
    };
    return state->save (lilv_instance_get_handle (plugin.instance), store, &stored, LV2_STATE_IS_POD, nullptr);
}
}

TEST (Lv2HostileHost, controlValuesNoPortDeclaresGiveFiniteOutput)
{
    RawInstance plugin (44100.0);
    ASSERT_TRUE (plugin.ok());
    plugin.activate();
    for (float hostile : { notANumber, infinity, -infinity, 1.0e30f, -1.0e30f, 2.0f, -1.0f })
    {
        for (int p = 0; p < controlCount; ++p)
        {
            plugin.controls[(size_t) p] = hostile;
            ASSERT_TRUE (plugin.runNoise (64)) << "port " << p << " at " << hostile;
        }
        // Every port at once, then back to where each was.
        ASSERT_TRUE (plugin.runNoise (512)) << "every port at " << hostile;
    }
    plugin.deactivate();
}

TEST (Lv2HostileHost, blocksOfAnyLengthAtEveryRateFrom8To768Kilohertz)
{
    for (double rate : { 8000.0, 22050.0, 44100.0, 96000.0, 192000.0, 384000.0, 768000.0 })
    {
        RawInstance plugin (rate, 20000);
        ASSERT_TRUE (plugin.ok()) << rate;
        plugin.controls[2] = 20.0f; // a long decay keeps every delay line busy
        plugin.activate();
        for (uint32_t frames : { 0u, 1u, 7u, 333u, 8192u, 8193u, 20000u })
            ASSERT_TRUE (plugin.runNoise (frames)) << rate << " Hz, a block of " << frames;
        plugin.deactivate();
    }
}

TEST (Lv2HostileHost, activationStormsLeaveItRunning)
{
    RawInstance plugin (48000.0);
    ASSERT_TRUE (plugin.ok());
    for (int i = 0; i < 200; ++i)
    {
        plugin.activate();
        if (i % 3 == 0)
            ASSERT_TRUE (plugin.runNoise ((uint32_t) (1 + i % 97)));
        plugin.deactivate();
    }
    plugin.activate();
    EXPECT_TRUE (plugin.runNoise (512));
    plugin.deactivate();
}

TEST (Lv2HostileHost, stateIsSavedWhileAnotherThreadRunsThePlugin)
{
    // LV2 lets a host save state concurrently with run (restore is an
    // instantiation call, never concurrent with it).
    RawInstance plugin (44100.0);
    ASSERT_TRUE (plugin.ok());
    plugin.activate();

    std::atomic<bool> stop { false }, finite { true };
    std::thread audio (
        [&]
        {
            while (! stop)
                if (! plugin.runNoise (128))
                    finite = false;
        });

    lv2test::Instance::Stored first;
    int saved = 0;
    for (int i = 0; i < 300; ++i)
    {
        lv2test::Instance::Stored stored;
        if (saveState (plugin, stored) == LV2_STATE_SUCCESS && stored.stores == 1 && ! stored.bytes.empty())
            ++saved;
        if (i == 0)
            first = stored;
    }
    stop = true;
    audio.join();

    EXPECT_TRUE (finite);
    EXPECT_EQ (saved, 300);
    // What was saved under load restores into a fresh instance.
    lv2test::Instance fresh;
    ASSERT_TRUE (fresh.ok());
    EXPECT_EQ (fresh.restore (first), LV2_STATE_SUCCESS);
    plugin.deactivate();
}

TEST (Lv2HostileHost, aHundredInstancesComeAndGoAndTwoRunOnTwoThreadsWithTheSameBits)
{
    for (int i = 0; i < 100; ++i)
    {
        RawInstance plugin (i % 2 == 0 ? 44100.0 : 96000.0);
        ASSERT_TRUE (plugin.ok()) << i;
        if (i % 10 == 0)
        {
            plugin.activate();
            ASSERT_TRUE (plugin.runNoise (256));
            plugin.deactivate();
        }
    }

    // Two instances fed alike on two threads sound alike, and like the VST 2
    // module for the same values.
    const auto signal = lv2test::testSignal (formats::blockCount);
    formats::StereoSignal results[2];
    std::thread threads[2];
    for (int t = 0; t < 2; ++t)
        threads[t] = std::thread (
            [&, t]
            {
                lv2test::Instance plugin;
                if (plugin.ok())
                    results[t] = plugin.render (signal);
            });
    for (auto& thread : threads)
        thread.join();

    const auto reference = formats::renderWithVst2 (signal, {});
    ASSERT_TRUE (formats::hasSignal (reference.left));
    for (const auto& result : results)
    {
        EXPECT_EQ (formats::firstDifference (reference.left, result.left), -1);
        EXPECT_EQ (formats::firstDifference (reference.right, result.right), -1);
    }
}
