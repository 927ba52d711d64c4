// The bridge between the filter and JUCE's plug-in formats, tested directly
// on the processor that every format wraps.
#include "AudioFilterEditor.h"
#include "DemoEditorComponent.h"
#include "DemoJuceFilter.h"
#include "FactoryPrograms.h"
#include "FilterAudioProcessor.h"
#include "FilterProcessorEditor.h"
#include "FloatControl.h"
#include "FxpFile.h"
#include "MessagePump.h"
#include "TailLength.h"

#include <gtest/gtest.h>

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();

namespace
{
std::unique_ptr<FilterAudioProcessor> makeProcessor()
{
    return std::unique_ptr<FilterAudioProcessor> (static_cast<FilterAudioProcessor*> (createPluginFilter()));
}

/** What a format wrapper hears from the processor. */
struct HostEvents : juce::AudioProcessorListener
{
    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override
    {
        log.add ("changed " + juce::String (index) + " " + juce::String (value, 3));
    }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override
    {
        log.add ("begin " + juce::String (index));
    }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override
    {
        log.add ("end " + juce::String (index));
    }

    juce::StringArray log;
};

juce::AudioBuffer<float> renderBlock (FilterAudioProcessor& p, const juce::AudioBuffer<float>& in)
{
    juce::AudioBuffer<float> io (in);
    juce::MidiBuffer midi;
    p.processBlock (io, midi);
    return io;
}

bool sameBits (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    for (int c = 0; c < 2; ++c)
        if (std::memcmp (a.getReadPointer (c), b.getReadPointer (c), sizeof (float) * (size_t) a.getNumSamples()) != 0)
            return false;
    return true;
}
}

TEST (BridgeParameters, theHostSeesElevenParametersByNameIdAndTextInTheirUnits)
{
    auto p = makeProcessor();
    const auto& parameters = p->getParameters();
    ASSERT_EQ (parameters.size(), 11);

    const juce::StringArray names { "EarlySize", "LateSize", "Decay",       "Diffusion",    "Listener",     "Dry-Wet",
                                    "Volume",    "On-Off",   "Left On-Off", "Right On-Off", "Stereo On-Off" };
    const juce::StringArray ids { "EarlySize", "LateSize", "Decay",     "Diffusion",  "Listener",   "DryWet",
                                  "Volume",    "OnOff",    "LeftOnOff", "RightOnOff", "StereoOnOff" };
    const juce::StringArray texts { "50.0 %", "50.0 %", "392 ms", "50.0 %", "50.0 %", "50.0 %",
                                    "0.0 dB", "On",     "Off",    "Off",    "On" };
    const float defaults[] = { 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 1.0f };
    for (int i = 0; i < 11; ++i)
    {
        auto* parameter = p->getFilterParameter (i);
        EXPECT_EQ (parameter->getName (100), names[i]);
        EXPECT_EQ (parameter->getParameterID(), ids[i]);
        EXPECT_EQ (parameter->getCurrentValueAsText(), texts[i]);
        EXPECT_EQ (parameter->getLabel(), "");
        EXPECT_EQ (parameter->getDefaultValue(), defaults[i]);
    }
    EXPECT_EQ (p->getFilterParameter (0)->getName (5), "Early");
}

TEST (BridgeParameters, hostWritesGoStraightIntoTheFilterWithoutClamping)
{
    auto p = makeProcessor();
    p->getFilterParameter (6)->setValue (2.0f);
    EXPECT_EQ (p->getFilter().parameterValue (6), 2.0f);
    EXPECT_EQ (p->getFilterParameter (6)->getValue(), 2.0f);
}

TEST (BridgeParameters, anEditorChangeReachesTheHostAsOneCompleteGesture)
{
    auto p = makeProcessor();
    HostEvents events;
    p->addListener (&events);
    p->getFilter().setParameterNotifyingHost (3, 0.8f);
    p->removeListener (&events);

    EXPECT_EQ (p->getFilter().parameterValue (3), 0.8f);
    EXPECT_EQ (events.log.joinIntoString ("; "), "begin 3; changed 3 0.800; end 3");
}

TEST (BridgePrograms, aChoiceSoundsAtOnceInTheSoundingProgramAndComesBackWithTheState)
{
    const auto& cathedral = factoryPrograms()[20];
    ASSERT_STREQ (cathedral.name, "Cathedral");
    const auto values = cathedral.values();

    auto p = makeProcessor();
    HostEvents events;
    p->addListener (&events);
    p->setCurrentProgram (21);
    p->removeListener (&events);

    auto& filter = p->getFilter();
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ (filter.parameterValue (i), values[(size_t) i]) << "parameter " << i;
    EXPECT_EQ (p->getCurrentProgram(), 21);
    // The host hears each value that moved, and the filter's own table keeps
    // its shape: the sounding program (still 0) took the values and the name.
    EXPECT_TRUE (events.log.contains ("changed 2 " + juce::String (values[2], 3))) << events.log.joinIntoString ("; ");
    EXPECT_FALSE (events.log.contains ("changed 6 0.500"));
    EXPECT_EQ (filter.currentProgramIndex(), 0);
    EXPECT_EQ (filter.programNameAt (0), "Cathedral");
    EXPECT_EQ (filter.programNameAt (1), "Default");

    // A value moved afterwards stays in that program; menu names are fixed
    // and choices outside the menu are ignored.
    p->getFilterParameter (5)->setValue (0.9f);
    p->changeProgramName (21, "Mine");
    p->setCurrentProgram (27);
    p->setCurrentProgram (-1);
    EXPECT_EQ (p->getCurrentProgram(), 21);
    EXPECT_EQ (p->getProgramName (21), "Cathedral");

    juce::MemoryBlock state;
    p->getStateInformation (state);
    auto restored = makeProcessor();
    restored->setStateInformation (state.getData(), (int) state.getSize());
    EXPECT_EQ (restored->getCurrentProgram(), 21);
    EXPECT_EQ (restored->getFilter().parameterValue (5), 0.9f);
    EXPECT_EQ (restored->getFilter().parameterValue (2), values[2]);

    p->setCurrentProgram (0);
    EXPECT_EQ (p->getCurrentProgram(), 0);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ (filter.parameterValue (i), makeProcessor()->getFilter().parameterValue (i)) << "parameter " << i;
}

TEST (BridgeState, aSavedStateBringsBackEveryProgramTheCurrentOneAndItsValues)
{
    auto first = makeProcessor();
    auto& table = first->getFilter();                // the filter's program table, as a VST 2 host sees it
    first->getFilterParameter (3)->setValue (0.15f); // program 0
    table.selectProgram (5);
    first->getFilterParameter (0)->setValue (0.9f);
    table.renameProgram (5, "Chamber");
    table.selectProgram (2);
    first->getFilterParameter (1)->setValue (0.2f);
    first->getFilterParameter (9)->setValue (1.0f);
    table.renameProgram (2, "Booth");
    juce::MemoryBlock state;
    first->getStateInformation (state);

    auto second = makeProcessor();
    second->setStateInformation (state.getData(), (int) state.getSize());
    EXPECT_EQ (second->getFilter().currentProgramIndex(), 2);
    EXPECT_EQ (second->getFilter().programNameAt (2), "Booth");
    EXPECT_EQ (second->getFilter().programNameAt (5), "Chamber");
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ (second->getFilter().parameterValue (i), first->getFilter().parameterValue (i)) << "parameter " << i;

    // The sounding values land in the program they came from, not in
    // whichever program the restoring instance had selected.
    for (int program : { 0, 5 })
    {
        first->getFilter().selectProgram (program);
        second->getFilter().selectProgram (program);
        for (int i = 0; i < 11; ++i)
            EXPECT_EQ (second->getFilter().parameterValue (i), first->getFilter().parameterValue (i))
                << "program " << program << ", parameter " << i;
    }
}

TEST (BridgeState, aDamagedContainerLeavesEverythingAsItWas)
{
    auto source = makeProcessor();
    source->getFilterParameter (2)->setValue (0.3f);
    juce::MemoryBlock state;
    source->getStateInformation (state);

    auto p = makeProcessor();
    p->getFilterParameter (2)->setValue (0.7f);
    p->getFilter().renameProgram (0, "Mine");

    // Cut anywhere inside the container, or with a size running past its end.
    for (size_t cut : { (size_t) 4, (size_t) 7, (size_t) 11, (size_t) 13, state.getSize() / 2, state.getSize() - 1 })
        p->setStateInformation (state.getData(), (int) cut);
    juce::MemoryBlock oversized (state);
    auto* bytes = static_cast<juce::uint8*> (oversized.getData());
    bytes[8] = 0xff;
    bytes[9] = 0xff;
    bytes[10] = 0xff;
    bytes[11] = 0x7f;
    p->setStateInformation (oversized.getData(), (int) oversized.getSize());
    p->setStateInformation (nullptr, 100);

    // Bytes that are no state at all, and a container of a later layout
    // than this build reads.
    juce::MemoryBlock garbage (300);
    juce::Random random (18);
    random.fillBitsRandomly (garbage.getData(), garbage.getSize());
    p->setStateInformation (garbage.getData(), (int) garbage.getSize());
    juce::MemoryBlock newer (state);
    static_cast<char*> (newer.getData())[3] = '2';
    p->setStateInformation (newer.getData(), (int) newer.getSize());

    EXPECT_EQ (p->getFilter().parameterValue (2), 0.7f);
    EXPECT_EQ (p->getFilter().programNameAt (0), "Mine");
}

TEST (BridgeState, aBareBankOrPresetChunkFromTheVst2ModuleIsAccepted)
{
    auto source = makeProcessor();
    source->getFilterParameter (4)->setValue (0.1f);
    source->getFilter().renameProgram (0, "Imported");
    juce::MemoryBlock bank, preset;
    source->getFilter().writeBankState (bank);
    source->getCurrentProgramStateInformation (preset);

    // A bank restores the stored programs; the program is heard once selected.
    auto fromBank = makeProcessor();
    fromBank->setStateInformation (bank.getData(), (int) bank.getSize());
    EXPECT_EQ (fromBank->getFilter().programNameAt (0), "Imported");
    fromBank->getFilter().selectProgram (0);
    EXPECT_EQ (fromBank->getFilter().parameterValue (4), 0.1f);

    auto fromPreset = makeProcessor();
    fromPreset->setStateInformation (preset.getData(), (int) preset.getSize());
    EXPECT_EQ (fromPreset->getFilter().parameterValue (4), 0.1f);
}

TEST (BridgeState, aVst2ProgramOrBankFileIsReadAsTheStateItCarries)
{
    auto source = makeProcessor();
    source->getFilter().selectProgram (2);
    source->getFilterParameter (2)->setValue (0.8f);
    source->getFilter().renameProgram (2, "Long Hall");

    FxpFile bankFile;
    bankFile.kind = FxpFile::Kind::bank;
    juce::MemoryBlock bank;
    source->getFilter().writeBankState (bank);
    bankFile.chunk.assign (static_cast<const juce::uint8*> (bank.getData()),
                           static_cast<const juce::uint8*> (bank.getData()) + bank.getSize());

    // Loading a bank file is heard at once: the current program comes back
    // from the restored records.
    auto fromBank = makeProcessor();
    fromBank->getFilter().selectProgram (2);
    const auto bankBytes = bankFile.toBytes();
    fromBank->setStateInformation (bankBytes.data(), (int) bankBytes.size());
    EXPECT_EQ (fromBank->getFilter().programNameAt (2), "Long Hall");
    EXPECT_EQ (fromBank->getFilter().parameterValue (2), 0.8f);

    FxpFile programFile;
    juce::MemoryBlock preset;
    source->getCurrentProgramStateInformation (preset);
    programFile.chunk.assign (static_cast<const juce::uint8*> (preset.getData()),
                              static_cast<const juce::uint8*> (preset.getData()) + preset.getSize());
    auto fromProgram = makeProcessor();
    const auto programBytes = programFile.toBytes();
    fromProgram->setStateInformation (programBytes.data(), (int) programBytes.size());
    EXPECT_EQ (fromProgram->getFilter().parameterValue (2), 0.8f);
    EXPECT_EQ (fromProgram->getFilter().programNameAt (0), "Long Hall");

    // A file cut inside its chunk changes nothing.
    auto fromCut = makeProcessor();
    fromCut->setStateInformation (bankBytes.data(), (int) bankBytes.size() - 100);
    EXPECT_EQ (fromCut->getFilter().parameterValue (2), 0.5f);
    EXPECT_EQ (fromCut->getFilter().programNameAt (2), "Default");
}

TEST (BridgeAudio, onlyStereoInAndOutIsOffered)
{
    auto p = makeProcessor();
    juce::AudioProcessor::BusesLayout stereo, mono;
    stereo.inputBuses.add (juce::AudioChannelSet::stereo());
    stereo.outputBuses.add (juce::AudioChannelSet::stereo());
    mono.inputBuses.add (juce::AudioChannelSet::mono());
    mono.outputBuses.add (juce::AudioChannelSet::stereo());
    EXPECT_TRUE (p->checkBusesLayoutSupported (stereo));
    EXPECT_FALSE (p->checkBusesLayoutSupported (mono));
}

TEST (BridgeAudio, aHostThatFlushesDenormalsHearsTheSameSamples)
{
    // Quiet input with denormal samples: read as zero under the processor
    // flags that JUCE's wrappers set, they would change the output.
    juce::AudioBuffer<float> in (2, 256);
    for (int i = 0; i < 256; ++i)
    {
        in.setSample (0, i, (i % 3 == 0) ? 1.0e-39f * (float) (i + 1) : 0.0f);
        in.setSample (1, i, (i % 5 == 0) ? -2.0e-40f * (float) (i + 1) : 0.0f);
    }

    auto plain = makeProcessor();
    auto flushing = makeProcessor();
    for (auto* p : { plain.get(), flushing.get() })
    {
        p->getFilterParameter (5)->setValue (0.0f); // all dry: the input reaches the output
        p->prepareToPlay (44100.0, 256);
    }

    const auto expected = renderBlock (*plain, in);
    // The host's flush-to-zero flags, whichever processor this is.
    const auto saved = FloatControl::read();
    const auto hosts = saved | FloatControl::flushToZeroBits;
    FloatControl::write (hosts);
    const auto flushed = renderBlock (*flushing, in);
    const auto after = FloatControl::read();
    FloatControl::write (saved);

    EXPECT_NE (hosts, saved);
    EXPECT_TRUE (sameBits (expected, flushed));
    EXPECT_NE (expected.getSample (0, 3), 0.0f);
    EXPECT_EQ (after, hosts) << "the host's flags come back after the block";
}

TEST (BridgeAudio, theReportedTailOutlastsTheRingingOfTheLongestSettings)
{
    // Largest fields, high Diffusion, late field only, all wet: the diffusers
    // ring longest here, close to what the tail allows at this Decay.
    auto p = makeProcessor();
    const std::pair<int, float> settings[] = { { 0, 1.0f },  { 1, 1.0f }, { 2, 0.6f },
                                               { 3, 0.95f }, { 4, 1.0f }, { 5, 1.0f } };
    for (auto [index, value] : settings)
        p->getFilterParameter (index)->setValue (value);
    EXPECT_DOUBLE_EQ (p->getTailLengthSeconds(), TailLength::secondsForDecay (0.6f));
    p->getFilterParameter (2)->setValue (1.0f);
    EXPECT_EQ (p->getTailLengthSeconds(), TailLength::maximumSeconds);
    p->getFilterParameter (2)->setValue (0.6f);

    constexpr int block = 4096;
    const auto frames = (int) (p->getTailLengthSeconds() * 44100.0);
    p->prepareToPlay (44100.0, block);
    juce::AudioBuffer<float> io (2, block);
    juce::MidiBuffer midi;
    float peak = 0.0f, last = 0.0f;
    for (int done = 0; done < frames; done += block)
    {
        io.clear();
        if (done == 0)
        {
            io.setSample (0, 0, 1.0f);
            io.setSample (1, 0, 1.0f);
        }
        p->processBlock (io, midi);
        const auto level = juce::jmax (io.getMagnitude (0, 0, block), io.getMagnitude (1, 0, block));
        peak = juce::jmax (peak, level);
        last = level;
    }
    ASSERT_GT (peak, 0.0f);
    EXPECT_LT (last, peak * 0.001f) << "still within 60 dB of the peak when the reported tail ends";
}

TEST (BridgeEditor, opensAtTheEditorsFixedSizeHoldingTheFilterEditor)
{
    auto p = makeProcessor();
    std::unique_ptr<juce::AudioProcessorEditor> editor (p->createEditorIfNeeded());
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (editor->getWidth(), 450);
    EXPECT_EQ (editor->getHeight(), 223);
    EXPECT_FALSE (editor->isResizable());

    auto& content = static_cast<FilterProcessorEditor&> (*editor).getContent();
    EXPECT_NE (dynamic_cast<DemoEditorComponent*> (&content), nullptr);
    EXPECT_EQ (p->getFilter().getActiveEditor(), &content);
    EXPECT_EQ (content.getBounds(), editor->getLocalBounds());

    editor.reset();
    EXPECT_EQ (p->getFilter().getActiveEditor(), nullptr);

    std::unique_ptr<juce::AudioProcessorEditor> reopened (p->createEditorIfNeeded());
    EXPECT_NE (reopened, nullptr);
}

TEST (BridgeEditor, aValueChangedByTheHostShowsInTheOpenEditorLater)
{
    auto p = makeProcessor();
    std::unique_ptr<juce::AudioProcessorEditor> editor (p->createEditorIfNeeded());
    ASSERT_NE (editor, nullptr);

    p->getFilterParameter (0)->setValueNotifyingHost (0.25f);
    MessagePump::runFor (100);

    // The early-size bar sits at (32, 113) on the face.
    juce::Slider* earlySizeBar = nullptr;
    for (auto* child : editor->getChildComponent (0)->getChildren())
        if (child->getPosition() == juce::Point<int> (32, 113))
            earlySizeBar = dynamic_cast<juce::Slider*> (child);
    ASSERT_NE (earlySizeBar, nullptr);
    EXPECT_DOUBLE_EQ (earlySizeBar->getValue(), 0.25);
}
