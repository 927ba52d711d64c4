// The VST3 build, loaded from its bundle through JUCE's own VST3 hosting,
// must describe itself as the plug-in, carry its state, sound exactly like
// the VST 2 module, and show its editor at the host's content scale.
#include "FactoryPrograms.h"
#include "FormatTestSupport.h"
#include "MessagePump.h"
#include "ParameterUnits.h"
#include "TailLength.h"
#include "WindowCapture.h"

#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

#include "EditorPicture.h"
#include "XErrorProbe.h"

namespace
{
const char* const parameterNames[] = { "EarlySize",   "LateSize",     "Decay",        "Diffusion",
                                       "Listener",    "Dry-Wet",      "Volume",       "On-Off",
                                       "Left On-Off", "Right On-Off", "Stereo On-Off" };

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

formats::StereoSignal renderWithVst3 (juce::AudioPluginInstance& plugin, const formats::StereoSignal& in,
                                      const std::vector<formats::ParameterChange>& changes = formats::script())
{
    plugin.setPlayConfigDetails (2, 2, formats::sampleRate, formats::blockSize);
    plugin.prepareToPlay (formats::sampleRate, formats::blockSize);

    formats::StereoSignal out { std::vector<float> ((size_t) formats::frameCount),
                                std::vector<float> ((size_t) formats::frameCount) };
    juce::AudioBuffer<float> buffer (2, formats::blockSize);
    juce::MidiBuffer midi;
    const auto& parameters = plugin.getParameters();

    for (int b = 0; b < formats::blockCount; ++b)
    {
        for (const auto& c : changes)
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

/** The plug-in's own state inside the hosted instance's state, and back. */
juce::MemoryBlock componentState (juce::AudioPluginInstance& plugin)
{
    juce::MemoryBlock hostState, component;
    plugin.getStateInformation (hostState);
    if (auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), (int) hostState.getSize()))
        if (auto* child = xml->getChildByName ("IComponent"))
            component.fromBase64Encoding (child->getAllSubText());
    return component;
}

void setComponentState (juce::AudioPluginInstance& plugin, const void* data, size_t size)
{
    juce::XmlElement xml ("VST3PluginState");
    xml.createNewChildElement ("IComponent")->addTextElement (juce::MemoryBlock (data, size).toBase64Encoding());
    juce::MemoryBlock hostState;
    juce::AudioProcessor::copyXmlToBinary (xml, hostState);
    plugin.setStateInformation (hostState.getData(), (int) hostState.getSize());
}

std::vector<float> valuesOf (juce::AudioPluginInstance& plugin)
{
    std::vector<float> values;
    for (int i = 0; i < 11; ++i)
        values.push_back (plugin.getParameters()[i]->getValue());
    return values;
}

/** The values as the plug-in holds them. The plug-in reports values that it
    sets itself (a program choice) to the host with its next block, and JUCE's
    hosting passes such reports to the plug-in's controller, not to its own
    view of the values; it reads them back when it restores a state, here the
    plug-in's own. */
std::vector<float> heldValuesOf (juce::AudioPluginInstance& plugin)
{
    const auto state = componentState (plugin);
    setComponentState (plugin, state.getData(), state.getSize());
    return valuesOf (plugin);
}

std::vector<float> valuesOf (const FactoryProgram& program)
{
    const auto values = program.values();
    return { values.begin(), values.end() };
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

TEST (Vst3Format, showsTheElevenParametersInHostOrderInTheirUnitsWithTheSwitchesAsSwitches)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    const auto& parameters = plugin->getParameters();
    ASSERT_GE (parameters.size(), 11);

    for (int i = 0; i < 11; ++i)
        EXPECT_EQ (parameters[i]->getName (64), parameterNames[i]) << "parameter " << i;

    EXPECT_EQ (parameters[0]->getCurrentValueAsText(), "50.0 %");
    EXPECT_EQ (parameters[2]->getCurrentValueAsText(), "392 ms");
    EXPECT_EQ (parameters[6]->getCurrentValueAsText(), "0.0 dB");
    EXPECT_EQ (parameters[7]->getCurrentValueAsText(), "On");
    EXPECT_EQ (parameters[8]->getCurrentValueAsText(), "Off");
    EXPECT_FLOAT_EQ (parameters[10]->getValue(), 1.0f);

    // A switch reaches the host as a parameter of one step (two states),
    // every other parameter as continuous.
    for (int i = 0; i < 11; ++i)
    {
        const bool isSwitch = i >= 7;
        EXPECT_EQ (parameters[i]->isDiscrete(), isSwitch) << parameterNames[i];
        if (isSwitch)
            EXPECT_EQ (parameters[i]->getNumSteps(), 2) << parameterNames[i];
    }
}

TEST (Vst3Format, everyTextShownReadsBackAsTheValueItShowsAndNonsenseChangesNothing)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    const auto& parameters = plugin->getParameters();
    for (int i = 0; i < 11; ++i)
        for (float v : { 0.0f, 0.3f, 0.5f, 1.0f })
        {
            const auto text = parameters[i]->getText (v, 64);
            EXPECT_EQ (parameters[i]->getText (parameters[i]->getValueForText (text), 64), text) << parameterNames[i];
        }

    EXPECT_EQ (parameters[6]->getText (parameters[6]->getValueForText ("-3 dB"), 64), "-3.0 dB");
    EXPECT_EQ (parameters[2]->getText (parameters[2]->getValueForText ("2.5 s"), 64), "2.50 s");
    parameters[6]->setValueNotifyingHost (0.25f);
    EXPECT_FLOAT_EQ (parameters[6]->getValueForText ("loud"), 0.25f);
}

TEST (Vst3Format, theProgramListNamesTheFactoryProgramsAndAChoiceSoundsLikeTheVst2ModuleSetSo)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    const auto& factory = factoryPrograms();
    ASSERT_EQ (plugin->getNumPrograms(), 1 + (int) factory.size());
    EXPECT_EQ (plugin->getProgramName (0), "Default");
    for (size_t k = 0; k < factory.size(); ++k)
        EXPECT_EQ (plugin->getProgramName (1 + (int) k), factory[k].name);
    EXPECT_EQ (plugin->getCurrentProgram(), 0);

    // Long Plate: its values sound at once, and the project saved then
    // sounds like the VST 2 module set to them.
    const auto& program = factory[11];
    plugin->setCurrentProgram (12);
    ASSERT_EQ (heldValuesOf (*plugin), valuesOf (program));
    EXPECT_EQ (plugin->getCurrentProgram(), 12);
    juce::MemoryBlock project;
    plugin->getStateInformation (project);

    auto reopened = loadVst3();
    ASSERT_NE (reopened, nullptr);
    reopened->setStateInformation (project.getData(), (int) project.getSize());
    EXPECT_EQ (reopened->getCurrentProgram(), 12);

    std::vector<formats::ParameterChange> asProgram;
    const auto values = program.values();
    for (int i = 0; i < 11; ++i)
        asProgram.push_back ({ 0, i, values[(size_t) i] });
    const auto input = formats::makeTestSignal();
    const auto reference = formats::renderWithVst2 (input, asProgram);
    ASSERT_TRUE (formats::hasSignal (reference.left));
    const auto vst3 = renderWithVst3 (*reopened, input, {});
    EXPECT_EQ (formats::firstDifference (reference.left, vst3.left), -1);
    EXPECT_EQ (formats::firstDifference (reference.right, vst3.right), -1);
}

TEST (Vst3Format, theTailFollowsDecay)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    plugin->prepareToPlay (formats::sampleRate, formats::blockSize);
    const auto tail = [&]
    {
        return plugin->getTailLengthSeconds();
    };
    EXPECT_NEAR (tail(), TailLength::secondsForDecay (0.5f), 1.0 / formats::sampleRate);

    plugin->getParameters()[2]->setValueNotifyingHost (0.9f);
    juce::AudioBuffer<float> buffer (2, formats::blockSize);
    buffer.clear();
    juce::MidiBuffer midi;
    plugin->processBlock (buffer, midi);
    EXPECT_NEAR (tail(), TailLength::secondsForDecay (0.9f), 1.0 / formats::sampleRate);
    EXPECT_GT (tail(), 50.0);
    plugin->releaseResources();
}

TEST (Vst3Format, aStateThatIsGarbageCutShortOrOfALaterLayoutChangesNothing)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    plugin->setCurrentProgram (3);
    ASSERT_EQ (heldValuesOf (*plugin), valuesOf (factoryPrograms()[2]));
    plugin->getParameters()[1]->setValueNotifyingHost (0.125f);
    const auto good = componentState (*plugin);
    ASSERT_GT (good.getSize(), 300u);
    const auto before = valuesOf (*plugin);

    juce::MemoryBlock garbage (good.getSize());
    juce::Random (7).fillBitsRandomly (garbage.getData(), garbage.getSize());
    juce::MemoryBlock later (good);
    static_cast<char*> (later.getData())[3] = '2'; // "AFS2"

    auto other = loadVst3();
    ASSERT_NE (other, nullptr);
    for (auto* p : { plugin.get(), other.get() })
    {
        const auto expected = valuesOf (*p);
        const auto program = p->getCurrentProgram();
        setComponentState (*p, garbage.getData(), garbage.getSize());
        setComponentState (*p, good.getData(), good.getSize() / 2);
        setComponentState (*p, later.getData(), later.getSize());
        EXPECT_EQ (valuesOf (*p), expected);
        EXPECT_EQ (p->getCurrentProgram(), program);
    }

    // The same container whole still restores.
    setComponentState (*other, good.getData(), good.getSize());
    EXPECT_EQ (valuesOf (*other), before);
    EXPECT_EQ (other->getCurrentProgram(), 3);
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
    EXPECT_EQ (second->getParameters()[2]->getCurrentValueAsText(),
               juce::String (ParameterUnits::formatText (2, 0.125f)));
}

TEST (Vst3Format, atAContentScaleOfTwoTheEditorTellsTheHostTwiceItsSizeAndFillsItCrisply)
{
    if (std::getenv ("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs an X display";
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);

    formats::ignoreXErrors();
    // JUCE's host window for a VST3 view: its size is the view's getSize.
    std::unique_ptr<juce::AudioProcessorEditor> editor (plugin->createEditorIfNeeded());
    ASSERT_NE (editor, nullptr);
    juce::Component window;
    window.setOpaque (true);
    window.addAndMakeVisible (*editor);
    window.setBounds (0, 300, 900, 446);
    window.addToDesktop (juce::ComponentPeer::windowAppearsOnTaskbar);
    window.setVisible (true);
    const auto settle = []
    {
        MessagePump::runFor (500);
    };
    settle();
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (0, 0, 450, 223))
        << "the desktop's scale, 1 on the test display";

    editor->setScaleFactor (2.0f);
    settle();
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (0, 0, 900, 446));

    Picture shown;
    shown.pixels = formats::captureWindow ((unsigned long) (juce::pointer_sized_int) window.getWindowHandle(),
                                           shown.width, shown.height);
    EXPECT_LT (differingShare (shown, reference ("--scale 2")), 0.01) << "the view fills the host's window at 2 x";

    window.removeChildComponent (editor.get());
    editor.reset();
}

// ---- A host that does everything VST3 allows it to: values out of range and
// not numbers, blocks of any length, rates from 8 kHz to 768 kHz and changes
// between them, activation storms, state read and written while audio runs
// on another thread, a hundred editors and instances, two instances on two
// threads. Each case ends with finite output.
namespace
{
constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

/** Processes one block of noise (with a NaN and an infinity in it, unless
    the input is to stay finite) of the buffer's length; true when every
    output sample is finite. */
bool processNoise (juce::AudioPluginInstance& plugin, juce::AudioBuffer<float>& buffer, uint32_t& seed,
                   bool finiteInput = false)
{
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
        {
            seed = seed * 1664525u + 1013904223u;
            buffer.setSample (c, i, (float) (seed >> 8) / 8388608.0f - 1.0f);
        }
    if (buffer.getNumSamples() > 3 && ! finiteInput)
    {
        buffer.setSample (0, 1, notANumber);
        buffer.setSample (1, 2, -infinity);
    }
    juce::MidiBuffer midi;
    plugin.processBlock (buffer, midi);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            if (! std::isfinite (buffer.getSample (c, i)))
                return false;
    return true;
}

/** The host's audio thread, processing noise through the prepared plug-in
    from construction until stop() (or the end of the scope). */
class AudioRunning
{
public:
    explicit AudioRunning (juce::AudioPluginInstance& plugin)
        : thread (
            [this, &plugin]
            {
                juce::AudioBuffer<float> buffer (2, 256);
                uint32_t seed = 17u;
                while (! stopping)
                    if (! processNoise (plugin, buffer, seed))
                        finite = false;
            })
    {
    }

    ~AudioRunning() { stop(); }

    /** Ends the thread; true when every block it processed was finite. */
    bool stop()
    {
        stopping = true;
        if (thread.joinable())
            thread.join();
        return finite;
    }

private:
    std::atomic<bool> stopping { false }, finite { true };
    std::thread thread;
};
}

TEST (Vst3HostileHost, valuesOutOfRangeAndNotNumbersGiveFiniteOutput)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    plugin->setPlayConfigDetails (2, 2, 44100.0, 512);
    plugin->prepareToPlay (44100.0, 512);
    juce::AudioBuffer<float> buffer (2, 512);
    uint32_t seed = 7u;
    for (float hostile : { notANumber, infinity, -infinity, 1.0e30f, -1.0e30f, 2.0f, -1.0f })
    {
        // The host's bypass (JUCE's, after the eleven) hands the input on
        // untouched, as bypassing means: it is fed finite samples.
        const auto& parameters = plugin->getParameters();
        for (int i = 0; i < parameters.size(); ++i)
        {
            parameters[i]->setValue (hostile);
            ASSERT_TRUE (processNoise (*plugin, buffer, seed, i >= 11))
                << parameters[i]->getName (32) << " at " << hostile;
        }
        // JUCE's hosting ends its bypass a block after it hears it switched
        // off: that block too is fed finite samples.
        for (int i = 11; i < parameters.size(); ++i)
            parameters[i]->setValue (0.0f);
        for (int settle = 0; settle < 2; ++settle)
            ASSERT_TRUE (processNoise (*plugin, buffer, seed, true));
    }
    plugin->releaseResources();
}

TEST (Vst3HostileHost, blocksOfAnyLengthAtRatesFrom8To768KilohertzAndChangesBetweenThem)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    plugin->getParameters()[2]->setValue (1.0f); // the longest decay keeps every delay line busy
    uint32_t seed = 11u;
    for (double rate : { 8000.0, 768000.0, 22050.0, 384000.0, 44100.0, 192000.0, 96000.0 })
    {
        plugin->setPlayConfigDetails (2, 2, rate, 20000);
        plugin->prepareToPlay (rate, 20000);
        for (int frames : { 0, 1, 7, 333, 8192, 8193, 20000 })
        {
            juce::AudioBuffer<float> buffer (2, frames);
            ASSERT_TRUE (processNoise (*plugin, buffer, seed)) << rate << " Hz, a block of " << frames;
        }
        plugin->releaseResources();
    }
}

TEST (Vst3HostileHost, activationStormsLeaveItRunning)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    juce::AudioBuffer<float> buffer (2, 64);
    uint32_t seed = 13u;
    for (int i = 0; i < 200; ++i)
    {
        plugin->setPlayConfigDetails (2, 2, i % 2 == 0 ? 44100.0 : 48000.0, 64);
        plugin->prepareToPlay (i % 2 == 0 ? 44100.0 : 48000.0, 64);
        if (i % 3 == 0)
            ASSERT_TRUE (processNoise (*plugin, buffer, seed)) << i;
        plugin->releaseResources();
    }
}

TEST (Vst3HostileHost, stateIsSavedAndRestoredWhileAnotherThreadProcesses)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    plugin->setCurrentProgram (3);
    juce::MemoryBlock programThree;
    plugin->getStateInformation (programThree);
    plugin->setPlayConfigDetails (2, 2, 44100.0, 256);
    plugin->prepareToPlay (44100.0, 256);

    AudioRunning audio (*plugin);

    for (int i = 0; i < 100; ++i)
    {
        juce::MemoryBlock state;
        plugin->getStateInformation (state);
        plugin->setStateInformation (programThree.getData(), (int) programThree.getSize());
    }
    EXPECT_TRUE (audio.stop());
    plugin->releaseResources();
    EXPECT_EQ (plugin->getCurrentProgram(), 3);
}

TEST (Vst3HostileHost, aHundredEditorsOpenAndCloseWhileAudioRuns)
{
    if (std::getenv ("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs an X display";
    formats::ignoreXErrors();
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    plugin->setPlayConfigDetails (2, 2, 44100.0, 256);
    plugin->prepareToPlay (44100.0, 256);

    AudioRunning audio (*plugin);

    for (int i = 0; i < 100; ++i)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (plugin->createEditorIfNeeded());
        ASSERT_NE (editor, nullptr) << i;
        juce::Component window;
        window.addAndMakeVisible (*editor);
        window.setBounds (0, 0, 450, 223);
        window.addToDesktop (0);
        window.setVisible (true);
        plugin->getParameters()[(size_t) (i % 7)]->setValueNotifyingHost ((float) (i % 5) / 4.0f);
        MessagePump::runFor (10);
        window.removeChildComponent (editor.get());
        editor.reset();
    }
    EXPECT_TRUE (audio.stop());
    plugin->releaseResources();
}

TEST (Vst3HostileHost, aHundredInstancesComeAndGoAndTwoRunOnTwoThreadsWithTheVst2Bits)
{
    for (int i = 0; i < 100; ++i)
    {
        auto plugin = loadVst3();
        ASSERT_NE (plugin, nullptr) << i;
        if (i % 10 == 0 && std::getenv ("DISPLAY") != nullptr)
        {
            formats::ignoreXErrors();
            std::unique_ptr<juce::AudioProcessorEditor> editor (plugin->createEditorIfNeeded());
            EXPECT_NE (editor, nullptr) << i;
        }
    }

    const auto input = formats::makeTestSignal();
    const auto reference = formats::renderWithVst2 (input);
    ASSERT_TRUE (formats::hasSignal (reference.left));
    std::unique_ptr<juce::AudioPluginInstance> plugins[2] { loadVst3(), loadVst3() };
    ASSERT_NE (plugins[0], nullptr);
    ASSERT_NE (plugins[1], nullptr);
    // JUCE's hosting prepares and releases under the message thread's lock:
    // the host does both here, and only the blocks run on the two threads.
    formats::StereoSignal results[2];
    for (int t = 0; t < 2; ++t)
    {
        plugins[t]->setPlayConfigDetails (2, 2, formats::sampleRate, formats::blockSize);
        plugins[t]->prepareToPlay (formats::sampleRate, formats::blockSize);
        results[t] = { std::vector<float> ((size_t) formats::frameCount),
                       std::vector<float> ((size_t) formats::frameCount) };
    }
    std::thread threads[2];
    for (int t = 0; t < 2; ++t)
        threads[t] = std::thread (
            [&, t]
            {
                juce::AudioBuffer<float> buffer (2, formats::blockSize);
                juce::MidiBuffer midi;
                const auto& parameters = plugins[t]->getParameters();
                for (int b = 0; b < formats::blockCount; ++b)
                {
                    for (const auto& c : formats::script())
                        if (c.block == b)
                            parameters[c.index]->setValueNotifyingHost (c.value);
                    const auto offset = (size_t) (b * formats::blockSize);
                    buffer.copyFrom (0, 0, input.left.data() + offset, formats::blockSize);
                    buffer.copyFrom (1, 0, input.right.data() + offset, formats::blockSize);
                    plugins[t]->processBlock (buffer, midi);
                    std::copy_n (buffer.getReadPointer (0), formats::blockSize, results[t].left.data() + offset);
                    std::copy_n (buffer.getReadPointer (1), formats::blockSize, results[t].right.data() + offset);
                }
            });
    for (auto& thread : threads)
        thread.join();
    for (int t = 0; t < 2; ++t)
    {
        plugins[t]->releaseResources();
        EXPECT_EQ (formats::firstDifference (reference.left, results[t].left), -1) << t;
        EXPECT_EQ (formats::firstDifference (reference.right, results[t].right), -1) << t;
    }
}

TEST (Vst3HostileHost, theHostsXErrorHandlerIsItsOwnAfterTwoRoundsOfLoadOpenCloseEnd)
{
    if (std::getenv ("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs an X display";
    const auto previous = xprobe::installHostHandler();
    for (int round = 0; round < 2; ++round)
    {
        auto plugin = loadVst3();
        ASSERT_NE (plugin, nullptr);
        std::unique_ptr<juce::AudioProcessorEditor> editor (plugin->createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);
        juce::Component window;
        window.addAndMakeVisible (*editor);
        window.setBounds (0, 0, 450, 223);
        window.addToDesktop (0);
        window.setVisible (true);
        MessagePump::runFor (100);
        window.removeChildComponent (editor.get());
        editor.reset();
    }
    EXPECT_TRUE (xprobe::hostHandlerStillHears (previous));
}
