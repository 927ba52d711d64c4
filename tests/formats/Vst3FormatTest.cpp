// The VST3 build, loaded from its bundle through JUCE's own VST3 hosting,
// must describe itself as the plug-in, carry its state, and sound exactly
// like the VST 2 module.
#include "FormatTestSupport.h"

#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

namespace
{
const char* const parameterNames[] = { "EarlySize", "LateSize", "Decay", "Diffusion", "Listener", "Dry-Wet",
                                       "Volume", "On-Off", "Left On-Off", "Right On-Off", "Stereo On-Off" };

std::unique_ptr<juce::PluginDescription> describeVst3()
{
    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, LUMIDOR_VST3_PATH);
    if (types.isEmpty())
        return {};
    return std::make_unique<juce::PluginDescription> (*types[0]);
}

std::unique_ptr<juce::AudioPluginInstance> loadVst3()
{
    const auto description = describeVst3();
    if (description == nullptr)
        return {};
    juce::VST3PluginFormat format;
    juce::String error;
    return format.createInstanceFromDescription (*description, formats::sampleRate, formats::blockSize, error);
}

formats::StereoSignal renderWithVst3 (juce::AudioPluginInstance& plugin, const formats::StereoSignal& in)
{
    plugin.setPlayConfigDetails (2, 2, formats::sampleRate, formats::blockSize);
    plugin.prepareToPlay (formats::sampleRate, formats::blockSize);

    formats::StereoSignal out { std::vector<float> ((size_t) formats::frameCount), std::vector<float> ((size_t) formats::frameCount) };
    juce::AudioBuffer<float> buffer (2, formats::blockSize);
    juce::MidiBuffer midi;
    const auto& parameters = plugin.getParameters();

    for (int b = 0; b < formats::blockCount; ++b)
    {
        for (const auto& c : formats::script())
            if (c.block == b)
                parameters[c.index]->setValueNotifyingHost (c.value);

        const auto offset = (size_t) (b * formats::blockSize);
        buffer.copyFrom (0, 0, in.left.data() + offset, formats::blockSize);
        buffer.copyFrom (1, 0, in.right.data() + offset, formats::blockSize);
        plugin.processBlock (buffer, midi);
        std::copy_n (buffer.getReadPointer (0), formats::blockSize, out.left.data() + offset);
        std::copy_n (buffer.getReadPointer (1), formats::blockSize, out.right.data() + offset);
    }

    plugin.releaseResources();
    return out;
}
}

TEST (Vst3Format, theBundleDescribesAStereoEffectByVendorAndName)
{
    const auto description = describeVst3();
    ASSERT_NE (description, nullptr) << "no plug-in in " << LUMIDOR_VST3_PATH;
    EXPECT_EQ (description->name, "Lumidor");
    EXPECT_EQ (description->manufacturerName, "Velderane");
    EXPECT_EQ (description->pluginFormatName, "VST3");
    EXPECT_FALSE (description->isInstrument);
    EXPECT_EQ (description->numInputChannels, 2);
    EXPECT_EQ (description->numOutputChannels, 2);
    EXPECT_TRUE (description->category.contains ("Reverb")) << description->category;
}

TEST (Vst3Format, showsTheElevenParametersInHostOrderWithTheirTexts)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    const auto& parameters = plugin->getParameters();
    ASSERT_GE (parameters.size(), 11);

    for (int i = 0; i < 11; ++i)
        EXPECT_EQ (parameters[i]->getName (64), parameterNames[i]) << "parameter " << i;

    EXPECT_EQ (parameters[0]->getCurrentValueAsText(), "0.50");
    EXPECT_EQ (parameters[7]->getCurrentValueAsText(), "1.00");
    EXPECT_EQ (parameters[8]->getCurrentValueAsText(), "0.00");
    EXPECT_FLOAT_EQ (parameters[10]->getValue(), 1.0f);
    EXPECT_EQ (plugin->getNumPrograms(), 128);
    EXPECT_EQ (plugin->getProgramName (127), "Default");
}

TEST (Vst3Format, rendersBitForBitWhatTheVst2ModuleRendersUnderTheSameAutomation)
{
    const auto input = formats::makeTestSignal();
    const auto reference = formats::renderWithVst2 (input);
    ASSERT_TRUE (formats::hasSignal (reference.left)) << "the VST 2 module did not load or stayed silent";

    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    const auto vst3 = renderWithVst3 (*plugin, input);

    EXPECT_EQ (formats::firstDifference (reference.left, vst3.left), -1);
    EXPECT_EQ (formats::firstDifference (reference.right, vst3.right), -1);
}

TEST (Vst3Format, aSavedProjectRestoresTheProgramAndValuesInANewInstance)
{
    juce::MemoryBlock saved;
    {
        auto first = loadVst3();
        ASSERT_NE (first, nullptr);
        first->setCurrentProgram (4);
        first->getParameters()[2]->setValueNotifyingHost (0.125f);
        first->getParameters()[5]->setValueNotifyingHost (0.875f);
        first->getStateInformation (saved);
    }
    ASSERT_GT (saved.getSize(), 0u);

    auto second = loadVst3();
    ASSERT_NE (second, nullptr);
    second->setStateInformation (saved.getData(), (int) saved.getSize());

    EXPECT_EQ (second->getCurrentProgram(), 4);
    EXPECT_FLOAT_EQ (second->getParameters()[2]->getValue(), 0.125f);
    EXPECT_FLOAT_EQ (second->getParameters()[5]->getValue(), 0.875f);
    EXPECT_EQ (second->getParameters()[2]->getCurrentValueAsText(), "0.13");
}
