#include "AudioFiles.h"
#include "ToolRunner.h"
#include "VstHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
/** Noise with a few clicks, so every stage of the module has work. */
AudioFiles::Sound makeInput (int channels, double rate, int frames)
{
    AudioFiles::Sound s;
    s.sampleRate = rate;
    s.samples.setSize (channels, frames);
    unsigned seed = 5;
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < frames; ++i)
        {
            seed = seed * 1664525u + 1013904223u;
            const float click = i % 9000 == 0 ? 0.8f : 0.0f;
            s.samples.setSample (c, i, 0.2f * ((float) (seed >> 8) / 8388608.0f - 1.0f) + click);
        }
    return s;
}

/** The same render done in this process through the module's interface. */
juce::AudioBuffer<float> renderDirectly (const juce::AudioBuffer<float>& input, double rate, int block, int tailFrames,
                                         const std::vector<std::pair<int, float>>& parameters)
{
    VstHost host (LUMIDOR_DEFAULT_MODULE);
    EXPECT_TRUE (host.open()) << host.error();
    for (const auto& [index, value] : parameters)
        host.setParameter (index, value);

    const int frames = input.getNumSamples() + tailFrames;
    juce::AudioBuffer<float> in (2, frames), out (2, frames);
    in.clear();
    in.copyFrom (0, 0, input, 0, 0, input.getNumSamples());
    in.copyFrom (1, 0, input, input.getNumChannels() > 1 ? 1 : 0, 0, input.getNumSamples());
    host.prepare (rate, block);
    host.processStereo (in.getReadPointer (0), in.getReadPointer (1), out.getWritePointer (0), out.getWritePointer (1),
                        frames);
    return out;
}

bool identical (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    if (a.getNumChannels() != b.getNumChannels() || a.getNumSamples() != b.getNumSamples())
        return false;
    for (int c = 0; c < a.getNumChannels(); ++c)
        if (std::memcmp (a.getReadPointer (c), b.getReadPointer (c), sizeof (float) * (size_t) a.getNumSamples()) != 0)
            return false;
    return true;
}
}

TEST (Render, FloatFileThroughTheToolIsBitIdenticalToTheModuleDrivenDirectly)
{
    ScratchFolder scratch;
    const auto input = makeInput (2, 48000.0, 30000);
    std::string error;
    ASSERT_TRUE (AudioFiles::write (scratch.path ("in.wav"), input, error)) << error;

    const auto r = runTool ({ "render", scratch.path ("in.wav"), scratch.path ("out.wav"), "--block", "300", "--tail",
                              "0.5", "--param", "Decay=0.7", "--param", "5=0.8", "--param", "EarlySize=0.25" });
    ASSERT_EQ (r.status, 0) << r.output;
    EXPECT_NE (r.output.find ("peak"), std::string::npos);
    EXPECT_NE (r.output.find ("RMS"), std::string::npos);

    AudioFiles::Sound rendered;
    ASSERT_TRUE (AudioFiles::read (scratch.path ("out.wav"), rendered, error)) << error;
    EXPECT_EQ (rendered.sampleRate, 48000.0);
    EXPECT_TRUE (rendered.floatingPoint);

    const auto direct = renderDirectly (input.samples, 48000.0, 300, 24000, { { 2, 0.7f }, { 5, 0.8f }, { 0, 0.25f } });
    EXPECT_TRUE (identical (rendered.samples, direct));
}

TEST (Render, MonoFileFeedsBothInputs)
{
    ScratchFolder scratch;
    const auto mono = makeInput (1, 44100.0, 20000);
    std::string error;
    ASSERT_TRUE (AudioFiles::write (scratch.path ("mono.wav"), mono, error)) << error;

    const auto r = runTool ({ "render", scratch.path ("mono.wav"), scratch.path ("out.wav"), "--tail", "0.2" });
    ASSERT_EQ (r.status, 0) << r.output;

    AudioFiles::Sound rendered;
    ASSERT_TRUE (AudioFiles::read (scratch.path ("out.wav"), rendered, error)) << error;
    ASSERT_EQ (rendered.samples.getNumChannels(), 2);
    EXPECT_TRUE (identical (rendered.samples, renderDirectly (mono.samples, 44100.0, 512, 8820, {})));
}

TEST (Render, IntegerFilesKeepTheirSampleFormat)
{
    ScratchFolder scratch;
    auto input = makeInput (2, 44100.0, 8000);
    input.floatingPoint = false;
    input.bitsPerSample = 16;
    std::string error;
    ASSERT_TRUE (AudioFiles::write (scratch.path ("in.aiff"), input, error)) << error;

    ASSERT_EQ (runTool ({ "render", scratch.path ("in.aiff"), scratch.path ("out.flac"), "--tail", "0" }).status, 0);
    AudioFiles::Sound rendered;
    ASSERT_TRUE (AudioFiles::read (scratch.path ("out.flac"), rendered, error)) << error;
    EXPECT_EQ (rendered.bitsPerSample, 16);
    EXPECT_EQ (rendered.samples.getNumSamples(), 8000);
}

TEST (Render, RefusesWhatItCannotDo)
{
    ScratchFolder scratch;
    const auto input = makeInput (2, 44100.0, 1000);
    std::string error;
    ASSERT_TRUE (AudioFiles::write (scratch.path ("in.wav"), input, error)) << error;

    EXPECT_NE (runTool ({ "render", scratch.path ("missing.wav"), scratch.path ("out.wav") }).status, 0);
    EXPECT_NE (runTool ({ "render", scratch.path ("in.wav"), scratch.path ("out.xyz") }).status, 0);
    const auto unknown =
        runTool ({ "render", scratch.path ("in.wav"), scratch.path ("out.wav"), "--param", "Loudness=1" });
    EXPECT_NE (unknown.status, 0);
    EXPECT_NE (unknown.output.find ("Loudness"), std::string::npos);
    EXPECT_NE (runTool ({ "render", scratch.path ("in.wav"), scratch.path ("out.wav"), "--block", "0" }).status, 0);
    EXPECT_NE (runTool ({ "render", scratch.path ("in.wav"), scratch.path ("out.wav"), "--volume", "1" }).status, 0);
}
