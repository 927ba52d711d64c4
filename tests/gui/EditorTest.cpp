#include "DemoEditorComponent.h"
#include "DemoJuceFilter.h"
#include "GuiTestSupport.h"
#include "xGUIEarlyDiffusions.h"
#include "xGUIInfoButton.h"
#include "xGUILateDecay.h"
#include "xGUILimiterLPF.h"
#include "xGUIListener.h"
#include "xGUIMicroReverbBg.h"
#include "xGUIPluginVersion.h"
#include "xGUIProductInfo.h"
#include "xGUIReverbInputSelect.h"
#include "xGUIReverbInputStereoSelect.h"
#include "xGUIReverbPower.h"
#include "xGUISliderText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace
{
/** Applies every change from the editor and records the indices in order. */
struct RecordingHost : AudioFilterHost
{
    void setParameterFromEditor (AudioFilterBase& filter, int index, float value) override
    {
        sent.push_back (index);
        filter.setParameterValue (index, value);
    }
    std::vector<int> sent;
};

// Stacking order of the editor's children, bottom first.
enum Child
{
    backgroundChild,
    powerChild,
    leftChild,
    rightChild,
    stereoChild,
    earlySizeChild,
    lateSizeChild,
    diffusionChild,
    decayChild,
    listenerChild,
    dryWetChild,
    volumeChild,
    earlyDisplayChild,
    lateDisplayChild,
    decayDisplayChild,
    listenerDisplayChild,
    dryWetDisplayChild,
    infoPanelChild,
    infoButtonChild,
    versionChild,
    childCount
};

struct EditorFixture : ::testing::Test
{
    EditorFixture()
    {
        filter.setHost (&host);
        pumpMessages(); // the filter's own start-up broadcasts
        editor = std::make_unique<DemoEditorComponent> (&filter);
    }

    ~EditorFixture() override
    {
        editor.reset();
        filter.setHost (nullptr);
    }

    template <typename T>
    T& child (int index)
    {
        auto* c = dynamic_cast<T*> (editor->getChildComponent (index));
        EXPECT_NE (c, nullptr) << "child " << index;
        return *c;
    }

    xGUISliderText& bar (int index) { return child<xGUISliderText> (index); }
    xGUIImageSwitch& switchAt (int index) { return child<xGUIImageSwitch> (index); }

    void click (int index)
    {
        child<juce::Button> (index).triggerClick();
        pumpMessages();
    }

    /** Lines drawn by an early/late display, painted on its own. */
    std::vector<int> lines (int index) { return litColumns (snapshot (child<xGUIEarlyDiffusions> (index))); }

    void hostSets (int index, float value)
    {
        filter.setParameterValue (index, value);
        pumpMessages();
    }

    DemoJuceFilter filter;
    RecordingHost host;
    std::unique_ptr<DemoEditorComponent> editor;
};

constexpr int percentBars[] { earlySizeChild, lateSizeChild, diffusionChild, decayChild, listenerChild, dryWetChild };
}

TEST_F (EditorFixture, ChildrenLieInTheirStackingOrderAndBounds)
{
    ASSERT_EQ (editor->getNumChildComponents(), (int) childCount);
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (0, 0, 450, 223));

    const juce::Rectangle<int> bounds[] {
        { 0, 0, 450, 223 },    { 30, 17, 44, 19 },    { 92, 17, 22, 19 },    { 128, 17, 22, 19 },
        { 116, 22, 10, 10 },   { 32, 113, 121, 12 },  { 164, 113, 121, 12 }, { 32, 143, 121, 12 },
        { 164, 143, 121, 12 }, { 296, 113, 121, 12 }, { 296, 143, 121, 12 }, { 296, 21, 121, 12 },
        { 38, 41, 110, 55 },   { 170, 41, 110, 55 },  { 170, 41, 110, 55 },  { 296, 37, 121, 61 },
        { 318, 41, 78, 55 },   { 0, 0, 450, 223 },    { 45, 166, 130, 55 },  { 237, 115, 70, 20 },
    };
    for (int i = 0; i < childCount; ++i)
        EXPECT_EQ (editor->getChildComponent (i)->getBounds(), bounds[i]) << "child " << i;

    child<xGUIMicroReverbBg> (backgroundChild);
    child<xGUIReverbPower> (powerChild);
    child<xGUIReverbInputSelect> (leftChild);
    child<xGUIReverbInputSelect> (rightChild);
    child<xGUIReverbInputStereoSelect> (stereoChild);
    child<xGUILateDecay> (decayDisplayChild);
    child<xGUIListener> (listenerDisplayChild);
    child<xGUILimiterLPF> (dryWetDisplayChild);
    child<xGUIProductInfo> (infoPanelChild);
    child<xGUIInfoButton> (infoButtonChild);
    child<xGUIPluginVersion> (versionChild);

    EXPECT_FALSE (editor->getChildComponent (infoPanelChild)->isVisible());
    EXPECT_FALSE (editor->getChildComponent (versionChild)->isVisible());
    EXPECT_TRUE (editor->getChildComponent (infoButtonChild)->isVisible());
}

TEST_F (EditorFixture, DefaultValuesShowHalfBarsUnityVolumeAndStereoOn)
{
    for (int b : percentBars)
        EXPECT_EQ (labelText (bar (b)), "50.0%") << "bar " << b;
    EXPECT_EQ (labelText (bar (volumeChild)), "0.0db");

    EXPECT_TRUE (switchAt (powerChild).getToggleState());
    EXPECT_FALSE (switchAt (leftChild).getToggleState());
    EXPECT_FALSE (switchAt (rightChild).getToggleState());
    EXPECT_TRUE (switchAt (stereoChild).getToggleState());
}

TEST_F (EditorFixture, ValueLabelsCarryTheSharedFontAndColours)
{
    auto* label = childLabel (bar (volumeChild));
    ASSERT_NE (label, nullptr);
    EXPECT_EQ (label->getBounds(), juce::Rectangle<int> (0, 0, 121, 14));
    EXPECT_EQ (label->findColour (juce::Label::backgroundColourId).getARGB(), 0x33BCBEC1u);
    EXPECT_EQ (label->findColour (juce::Label::textColourId).getARGB(), 0x66000000u);
    EXPECT_EQ (label->findColour (juce::Label::outlineColourId).getAlpha(), 0);
    EXPECT_EQ (label->findColour (juce::TextEditor::textColourId).getARGB(), 0xFFFF0000u);
    EXPECT_EQ (label->findColour (juce::CaretComponent::caretColourId).getARGB(), 0xFFFF0000u);
    EXPECT_EQ (label->findColour (juce::TextEditor::highlightedTextColourId).getARGB(), 0xFFFFFFFFu);
    EXPECT_TRUE (label->getFont().isBold());
    EXPECT_EQ (label->getFont().getHeight(), 12.0f);
    EXPECT_EQ (label->getFont(), childLabel (bar (earlySizeChild))->getFont());
}

TEST_F (EditorFixture, ClickingTheSelectedLeftInputKeepsItOnAndSendsAllThree)
{
    click (leftChild);
    host.sent.clear();
    click (leftChild);

    EXPECT_EQ (host.sent, (std::vector<int> { 9, 10, 8 }));
    EXPECT_TRUE (switchAt (leftChild).getToggleState());
    EXPECT_EQ (filter.parameterValue (8), 1.0f);
    EXPECT_EQ (filter.parameterValue (9), 0.0f);
    EXPECT_EQ (filter.parameterValue (10), 0.0f);
}

TEST_F (EditorFixture, InputSwitchesFormOneRadioGroupWithTheirSendOrders)
{
    click (rightChild);
    EXPECT_EQ (host.sent, (std::vector<int> { 10, 8, 9 }));
    EXPECT_TRUE (switchAt (rightChild).getToggleState());
    EXPECT_FALSE (switchAt (stereoChild).getToggleState());

    host.sent.clear();
    click (stereoChild);
    EXPECT_EQ (host.sent, (std::vector<int> { 8, 9, 10 }));
    EXPECT_TRUE (switchAt (stereoChild).getToggleState());
    EXPECT_FALSE (switchAt (rightChild).getToggleState());
    EXPECT_EQ (filter.parameterValue (9), 0.0f);
    EXPECT_EQ (filter.parameterValue (10), 1.0f);
}

TEST_F (EditorFixture, HostValuesSelectingTwoInputsShowBothUntilTheNextClick)
{
    hostSets (8, 1.0f);
    hostSets (9, 1.0f);
    EXPECT_TRUE (switchAt (leftChild).getToggleState());
    EXPECT_TRUE (switchAt (rightChild).getToggleState());
    EXPECT_TRUE (host.sent.empty()) << "a refresh sends nothing back";

    click (rightChild);
    EXPECT_FALSE (switchAt (leftChild).getToggleState());
    EXPECT_TRUE (switchAt (rightChild).getToggleState());
    EXPECT_EQ (filter.parameterValue (8), 0.0f);
    EXPECT_EQ (filter.parameterValue (9), 1.0f);
}

TEST_F (EditorFixture, PowerSwitchSendsItsFlippedValue)
{
    click (powerChild);
    EXPECT_EQ (host.sent, (std::vector<int> { 7 }));
    EXPECT_EQ (filter.parameterValue (7), 0.0f);
    EXPECT_FALSE (switchAt (powerChild).getToggleState());

    hostSets (7, 0.5f);
    EXPECT_FALSE (switchAt (powerChild).getToggleState()) << "only exactly 1.0 shows on";
    click (powerChild);
    EXPECT_EQ (filter.parameterValue (7), 0.0f);
}

TEST_F (EditorFixture, AnOutOfRangeHostValueShowsAFullBarAndDisplay)
{
    hostSets (0, 1.5f);
    EXPECT_EQ (bar (earlySizeChild).getValue(), 1.0);
    EXPECT_EQ (labelText (bar (earlySizeChild)), "100.0%");
    EXPECT_EQ (lines (earlyDisplayChild).back(), 101) << "13 lines spread over all 110 pixels";
    EXPECT_EQ (filter.parameterValue (0), 1.5f) << "the parameter is not rewritten";
}

TEST_F (EditorFixture, EveryDisplayFollowsTheHost)
{
    hostSets (1, 0.0f);
    EXPECT_TRUE (lines (lateDisplayChild).empty());
    hostSets (6, 0.25f);
    EXPECT_EQ (labelText (bar (volumeChild)), "-6.0db");
    hostSets (5, 0.0f);
    EXPECT_EQ (labelText (bar (dryWetChild)), "0.0%");
    EXPECT_GT (alphaAt (snapshot (child<xGUILimiterLPF> (dryWetDisplayChild)), 39, 54), 0);
    hostSets (2, 1.0f);
    EXPECT_GT (alphaAt (snapshot (child<xGUILateDecay> (decayDisplayChild)), 107, 53), 0);
}

TEST_F (EditorFixture, MovingTheDiffusionBarChangesBothDisplays)
{
    EXPECT_EQ (lines (earlyDisplayChild).size(), 13u);
    EXPECT_EQ (lines (lateDisplayChild).size(), 13u);

    auto& diffusion = bar (diffusionChild);
    diffusion.mouseDown (mouseAt (diffusion, 121.0f, 6.0f));
    diffusion.mouseUp (mouseAt (diffusion, 121.0f, 6.0f, juce::ModifierKeys()));
    pumpMessages();

    EXPECT_EQ (host.sent, (std::vector<int> { 3 }));
    EXPECT_EQ (filter.parameterValue (3), 1.0f);
    EXPECT_EQ (lines (earlyDisplayChild).size(), 23u);
    EXPECT_EQ (lines (lateDisplayChild).size(), 23u);
}

TEST_F (EditorFixture, EachBarSendsItsOwnParameter)
{
    const std::pair<int, int> barToIndex[] {
        { earlySizeChild, 0 }, { lateSizeChild, 1 }, { decayChild, 2 },  { diffusionChild, 3 },
        { listenerChild, 4 },  { dryWetChild, 5 },   { volumeChild, 6 },
    };
    for (const auto& [b, index] : barToIndex)
    {
        host.sent.clear();
        auto& slider = bar (b);
        slider.mouseDown (mouseAt (slider, 30.0f, 6.0f));
        slider.mouseUp (mouseAt (slider, 30.0f, 6.0f, juce::ModifierKeys()));
        pumpMessages();
        EXPECT_EQ (host.sent, (std::vector<int> { index })) << "bar " << b;
        EXPECT_FLOAT_EQ (filter.parameterValue (index), (float) (30.0 / 121.0));
    }
}

TEST_F (EditorFixture, TheListenerBarMovesTheMarker)
{
    editor.reset();
    SeededArtwork art;
    editor = std::make_unique<DemoEditorComponent> (&filter);

    auto& listener = bar (listenerChild);
    listener.mouseDown (mouseAt (listener, 121.0f, 6.0f));
    listener.mouseUp (mouseAt (listener, 121.0f, 6.0f, juce::ModifierKeys()));
    pumpMessages();
    EXPECT_EQ (SeededArtwork::frameShownBy (snapshot (child<xGUIListener> (listenerDisplayChild))), 64);
}

TEST_F (EditorFixture, TheInfoButtonOpensAndClosesThePanelWithTheVersion)
{
    auto& panel = *editor->getChildComponent (infoPanelChild);
    auto& version = *editor->getChildComponent (versionChild);

    click (infoButtonChild);
    EXPECT_TRUE (panel.isVisible());
    EXPECT_TRUE (version.isVisible());
    EXPECT_EQ (labelText (version), "R1.2.0");

    click (infoButtonChild);
    EXPECT_FALSE (panel.isVisible());
    EXPECT_FALSE (version.isVisible());
}

TEST_F (EditorFixture, AClickOnTheOpenPanelClosesIt)
{
    editor->setVisible (true); // as the host's editor window shows it
    click (infoButtonChild);
    ASSERT_TRUE (editor->getChildComponent (infoPanelChild)->isVisible());

    // Over the controls the open panel takes the click; over the logo the
    // information button does.
    EXPECT_EQ (editor->getComponentAt (100, 120), editor->getChildComponent (infoPanelChild));
    EXPECT_EQ (editor->getComponentAt (100, 190), editor->getChildComponent (infoButtonChild));

    click (infoPanelChild);
    EXPECT_FALSE (editor->getChildComponent (infoPanelChild)->isVisible());
    EXPECT_FALSE (editor->getChildComponent (versionChild)->isVisible());
    EXPECT_TRUE (host.sent.empty());
}

TEST_F (EditorFixture, ReopeningRestoresTheSizeAndCurrentValues)
{
    editor->setSize (500, 260);
    EXPECT_EQ (filter.editorWidth, 500);
    EXPECT_EQ (filter.editorHeight, 260);
    editor.reset();

    filter.setParameterValue (6, 1.0f);
    filter.setParameterValue (10, 0.0f);
    editor = std::make_unique<DemoEditorComponent> (&filter);
    EXPECT_EQ (editor->getWidth(), 500);
    EXPECT_EQ (editor->getHeight(), 260);
    EXPECT_EQ (labelText (bar (volumeChild)), "12.0db");
    EXPECT_FALSE (switchAt (stereoChild).getToggleState());
}

TEST_F (EditorFixture, AChangeAfterClosingReachesNoEditor)
{
    editor.reset();
    filter.setParameterValue (0, 0.2f);
    pumpMessages(); // a still-registered editor would be called after deletion
    EXPECT_EQ (filter.parameterValue (0), 0.2f);
}

TEST_F (EditorFixture, ImagesAreTakenOnOpeningAndReturnedOnClosing)
{
    editor.reset();
    SeededArtwork art;
    editor = std::make_unique<DemoEditorComponent> (&filter);
    EXPECT_EQ (art.background.getReferenceCount(), 2 + 1);
    EXPECT_EQ (art.infoPanel.getReferenceCount(), 2 + 1);
    EXPECT_EQ (art.power.getReferenceCount(), 2 + 2);
    EXPECT_EQ (art.input.getReferenceCount(), 2 + 4);
    EXPECT_EQ (art.stereo.getReferenceCount(), 2 + 2);
    EXPECT_EQ (art.listener.getReferenceCount(), 2 + 1);

    editor.reset();
    for (const auto* image : { &art.background, &art.infoPanel, &art.power, &art.input, &art.stereo, &art.listener })
        EXPECT_EQ (image->getReferenceCount(), 2);
}

TEST (FilterEditor, TheFilterMakesOneEditorAndForgetsItWhenItCloses)
{
    DemoJuceFilter filter;
    std::unique_ptr<AudioFilterEditor> editor (filter.createEditorIfNeeded());
    ASSERT_NE (dynamic_cast<DemoEditorComponent*> (editor.get()), nullptr);
    EXPECT_EQ (filter.createEditorIfNeeded(), editor.get());
    EXPECT_EQ (editor->getWidth(), 450);
    EXPECT_EQ (editor->getHeight(), 223);
    editor.reset();
    EXPECT_EQ (filter.getActiveEditor(), nullptr);
}

TEST_F (EditorFixture, RendersIntoAnImage)
{
    click (leftChild);
    const auto shot = editor->createComponentSnapshot (editor->getLocalBounds());
    ASSERT_TRUE (shot.isValid());
    EXPECT_EQ (shot.getWidth(), 450);
    EXPECT_EQ (shot.getHeight(), 223);
    EXPECT_EQ (shot.getPixelAt (5, 5).getAlpha(), 255) << "the face covers the editor";

    // LUMIDOR_EDITOR_SNAPSHOT=/path.png keeps a picture for a look by eye.
    const auto path = juce::SystemStats::getEnvironmentVariable ("LUMIDOR_EDITOR_SNAPSHOT", {});
    if (path.isNotEmpty())
    {
        juce::File file (path);
        file.deleteFile();
        juce::FileOutputStream out (file);
        ASSERT_TRUE (out.openedOk());
        EXPECT_TRUE (juce::PNGImageFormat().writeImageToStream (shot, out));
    }
}

TEST_F (EditorFixture, FollowingTheHostNeverWaitsForTheBlockLock)
{
    // A long block on the audio thread holds the lock while the editor
    // catches up with a host change: the editor must not wait for it.
    std::atomic<bool> held { false };
    std::thread audio (
        [&]
        {
            const juce::ScopedLock block (filter.getCallbackLock());
            held = true;
            std::this_thread::sleep_for (std::chrono::seconds (3));
        });
    while (! held)
        std::this_thread::yield();

    const auto start = std::chrono::steady_clock::now();
    hostSets (6, 0.25f);
    const auto waited = std::chrono::steady_clock::now() - start;
    audio.join();

    EXPECT_LT (waited, std::chrono::seconds (2));
    EXPECT_EQ (labelText (bar (volumeChild)), "-6.0db");
}
