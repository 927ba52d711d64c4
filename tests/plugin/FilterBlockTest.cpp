#include "FilterTestSupport.h"
#include "xReverb.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
float noise (int i, int channel)
{
    // A small deterministic generator, distinct per channel.
    auto x = (uint32_t) (i * 2 + channel) * 2654435761u + 12345u;
    x ^= x >> 13;
    x *= 0x5bd1e995u;
    x ^= x >> 15;
    return (float) (x & 0xffff) / 32768.0f - 1.0f;
}

float gainFor (float volume)
{
    DemoJuceFilter f;
    f.setParameterValue (ParameterIndex::volume, volume);
    auto in = makeStereo (0, noise);
    render (f, in);
    return f.getOutputGain();
}
}

TEST (OutputGain, FollowsVolumeInDecibelSteps)
{
    EXPECT_EQ (gainFor (0.0f), 0.25118446f);
    EXPECT_EQ (gainFor (0.25f), 0.50118309f);
    EXPECT_EQ (gainFor (0.5f), 1.0f);
    EXPECT_EQ (gainFor (0.75f), 1.9952788f);
    EXPECT_EQ (gainFor (1.0f), 3.9811378f);
    EXPECT_NEAR (gainFor (2.0f), 63.0f, 0.2f) << "values beyond 1 are used as they come";
}

TEST (OutputGain, IsUnityWheneverTheEngineIsOff)
{
    DemoJuceFilter f;
    f.setParameterValue (ParameterIndex::volume, 1.0f);
    f.setParameterValue (ParameterIndex::onOff, 0.999f);
    auto in = makeStereo (0, noise);
    render (f, in);
    EXPECT_EQ (f.getOutputGain(), 1.0f);
}

TEST (Bypass, OnOffBelowOnePassesTheRoutedInputWhateverMixAndVolume)
{
    for (float onOff : { 0.999f, 0.0f })
    {
        DemoJuceFilter f;
        f.setParameterValue (ParameterIndex::onOff, onOff);
        f.setParameterValue (ParameterIndex::dryWet, 0.3f);
        f.setParameterValue (ParameterIndex::volume, 0.9f);
        auto in = makeStereo (4096, noise);
        auto out = render (f, in);
        for (int i = 0; i < 4096; ++i)
        {
            ASSERT_NEAR (out.getSample (0, i), in.getSample (0, i), 1e-6f) << i;
            ASSERT_NEAR (out.getSample (1, i), in.getSample (1, i), 1e-6f) << i;
        }
    }
}

TEST (InputRouting, LeftWinsWhenBothSwitchesAreOn)
{
    // The right input must not matter at all: render two different right
    // inputs through two fresh filters and compare.
    auto run = [] (float rightScale)
    {
        DemoJuceFilter f;
        f.setParameterValue (ParameterIndex::leftOnOff, 1.0f);
        f.setParameterValue (ParameterIndex::rightOnOff, 1.0f);
        auto in = makeStereo (8192, [rightScale] (int i, int c)
                              { return c == 0 ? noise (i, 0) : rightScale * noise (i, 1); });
        return render (f, in);
    };
    auto a = run (1.0f);
    auto b = run (-0.3f);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 8192; ++i)
            ASSERT_EQ (a.getSample (c, i), b.getSample (c, i));
}

TEST (InputRouting, DryPathCarriesTheSelectedInputOnBothChannels)
{
    DemoJuceFilter f;
    f.setParameterValue (ParameterIndex::dryWet, 0.0f);
    f.setParameterValue (ParameterIndex::volume, 0.0f);
    f.setParameterValue (ParameterIndex::rightOnOff, 1.0f);
    auto in = makeStereo (512, noise);
    auto out = render (f, in);
    const float gain = 0.25118446f;
    for (int i = 0; i < 512; ++i)
    {
        EXPECT_EQ (out.getSample (0, i), in.getSample (1, i) * gain);
        EXPECT_EQ (out.getSample (1, i), in.getSample (1, i) * gain);
    }

    f.setParameterValue (ParameterIndex::leftOnOff, 1.0f);
    out = render (f, in);
    for (int i = 0; i < 512; ++i)
    {
        EXPECT_EQ (out.getSample (0, i), in.getSample (0, i) * gain);
        EXPECT_EQ (out.getSample (1, i), in.getSample (0, i) * gain);
    }
}

TEST (InputRouting, TheStereoSwitchAloneChangesNothing)
{
    auto run = [] (float stereo)
    {
        DemoJuceFilter f;
        f.setParameterValue (ParameterIndex::stereoOnOff, stereo);
        auto in = makeStereo (8192, noise);
        return render (f, in);
    };
    auto a = run (1.0f);
    auto b = run (0.0f);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 8192; ++i)
            ASSERT_EQ (a.getSample (c, i), b.getSample (c, i));
}

TEST (DryWet, FullyWetIsTheEngineOutputTimesTheGain)
{
    DemoJuceFilter f;
    f.setParameterValue (ParameterIndex::dryWet, 1.0f);
    auto in = makeStereo (8192, noise);
    auto out = render (f, in);

    // The same settings pushed into an engine of our own.
    xReverb engine;
    engine.setBypass (false);
    engine.setEarlySize (24.0f);
    engine.setLateSize (12.0f);
    engine.setDiffusion (0.5f);
    engine.setDecay (30.0f);
    engine.setListener (0.5f);
    for (int i = 0; i < 8192; ++i)
    {
        float frame[2] = { in.getSample (0, i), in.getSample (1, i) };
        engine.processFrame (frame, 2);
        ASSERT_EQ (out.getSample (0, i), frame[0]) << i;
        ASSERT_EQ (out.getSample (1, i), frame[1]) << i;
    }
}

TEST (WrongChannelCounts, GiveSilenceOrLeaveAnAccumulatingOutputAlone)
{
    DemoJuceFilter f;
    juce::MidiBuffer midi;
    juce::AudioBuffer<float> mono (1, 256), stereo (2, 256), out (2, 256), monoOut (1, 256);
    mono.clear();
    stereo.clear();

    out.clear();
    out.setSample (0, 10, 0.7f);
    f.renderBlock (mono, out, false, midi);
    EXPECT_EQ (out.getMagnitude (0, 256), 0.0f);

    out.setSample (0, 10, 0.7f);
    f.renderBlock (mono, out, true, midi);
    EXPECT_EQ (out.getSample (0, 10), 0.7f);

    monoOut.clear();
    monoOut.setSample (0, 3, 0.2f);
    f.renderBlock (stereo, monoOut, false, midi);
    EXPECT_EQ (monoOut.getMagnitude (0, 256), 0.0f);
}

TEST (Accumulate, AddsTheBlockToWhatTheOutputHeld)
{
    auto in = makeStereo (1024, noise);
    DemoJuceFilter a, b;
    auto replaced = render (a, in);

    juce::AudioBuffer<float> acc (2, 1024);
    for (int i = 0; i < 1024; ++i)
        for (int c = 0; c < 2; ++c)
            acc.setSample (c, i, 0.25f);
    juce::MidiBuffer midi;
    b.renderBlock (in, acc, true, midi);
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ (acc.getSample (0, i), 0.25f + replaced.getSample (0, i));
}

TEST (EmptyBlock, StillPushesTheSettingsIntoTheEngine)
{
    DemoJuceFilter f;
    f.setParameterValue (ParameterIndex::volume, 1.0f);
    auto empty = makeStereo (0, noise);
    render (f, empty);
    EXPECT_EQ (f.getOutputGain(), 3.9811378f);
}

TEST (NonFiniteInput, EntersTheEngineAsSilence)
{
    DemoJuceFilter f;
    f.setParameterValue (ParameterIndex::dryWet, 0.7f);
    const float bad[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity() };
    auto in = makeStereo (44100, [&bad] (int i, int c) { return i < 3 ? bad[(i + c) % 3] : noise (i, c); });
    auto out = render (f, in);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 44100; ++i)
            ASSERT_TRUE (std::isfinite (out.getSample (c, i))) << c << " " << i;
    // The engine's tiny anti-denormal offsets are all that the first frames carry.
    EXPECT_LT (std::abs (out.getSample (0, 0)), 1e-6f);
}

TEST (InPlace, ProcessingTheSameBufferGivesTheSameOutput)
{
    auto in = makeStereo (4096, noise);
    DemoJuceFilter a, b;
    auto separate = render (a, in);

    juce::AudioBuffer<float> shared (in);
    juce::MidiBuffer midi;
    b.renderBlock (shared, shared, false, midi);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 4096; ++i)
            ASSERT_EQ (shared.getSample (c, i), separate.getSample (c, i));
}

TEST (ExtremeSettings, LeaveTheEngineAbleToRecoverOnceTheyAreBackInRange)
{
    for (int p = 0; p < 7; ++p)
        for (float extreme : { 1e30f, -1e30f, 1e6f, -1e6f })
        {
            DemoJuceFilter f;
            f.setParameterValue (p, extreme);
            auto in = makeStereo (4096, noise);
            render (f, in);
            f.setParameterValue (p, 0.5f);
            f.setParameterValue (ParameterIndex::decay, 0.3f);
            for (int block = 0; block < 40; ++block)
                render (f, in);
            auto out = render (f, in);
            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < 4096; ++i)
                    ASSERT_TRUE (std::isfinite (out.getSample (c, i))) << "parameter " << p << " at " << extreme;
        }
}
