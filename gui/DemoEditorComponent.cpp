#include "DemoEditorComponent.h"

#include "DemoJuceFilter.h"
#include "ParameterTable.h"
#include "xGUIEarlyDiffusions.h"
#include "xGUIFont.h"
#include "xGUIInfoButton.h"
#include "xGUILateDecay.h"
#include "xGUILimiterLPF.h"
#include "xGUIListener.h"
#include "xGUIMicroReverbBg.h"
#include "xGUINumberText.h"
#include "xGUIPluginVersion.h"
#include "xGUIProductInfo.h"
#include "xGUIReverbInputSelect.h"
#include "xGUIReverbInputStereoSelect.h"
#include "xGUIReverbPower.h"
#include "xGUISliderText.h"

namespace
{
using namespace ParameterIndex;

// The bars have no track of their own: only the faint value outline is drawn.
const juce::Colour barInvisible { 0x002D342C };
const juce::Colour barValueOutline { 0x50000000 };

struct LabelColour
{
    int colourId;
    juce::Colour colour;
};

// The value labels: a faint wash with dim text; while a number is typed,
// red text and caret with white selected text.
const LabelColour labelColours[] {
    { juce::Label::backgroundColourId, juce::Colour (0xFFBCBEC1).withAlpha (0.2f) },
    { juce::Label::textColourId, juce::Colours::black.withAlpha (0.4f) },
    { juce::Label::outlineColourId, juce::Colours::black.withAlpha (0.0f) },
    { juce::TextEditor::highlightedTextColourId, juce::Colour (0xFFFFFFFF) },
    { juce::TextEditor::textColourId, juce::Colour (0xFFFF0000) },
    { juce::CaretComponent::caretColourId, juce::Colour (0xFFFF0000) },
};

const juce::Colour displayLine { 0xDD8F9295 };
const juce::Colour decayFill { 0xCCBCBEC1 };
const juce::Colour dryWetFill { 0x0FFFFFFF };
const juce::Colour dryWetOutline { 0xFFFFFF00 };

// Each input click sends all three input parameters, the clicked one last.
constexpr int leftSendOrder[3] { rightOnOff, stereoOnOff, leftOnOff };
constexpr int rightSendOrder[3] { stereoOnOff, leftOnOff, rightOnOff };
constexpr int stereoSendOrder[3] { leftOnOff, rightOnOff, stereoOnOff };

/** One plain look for the whole process, used only for what JUCE draws
    itself (the text editor of a value label). Editors come and go and JUCE's
    desktop keeps pointing at it, so it lives until the GUI subsystem shuts
    down (module unload or process exit), which deletes it last. */
struct SharedPlainLook : juce::DeletedAtShutdown
{
    ~SharedPlainLook() override
    {
        if (&juce::LookAndFeel::getDefaultLookAndFeel() == &look)
            juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
        instance = nullptr;
    }

    juce::LookAndFeel_V1 look;
    static inline SharedPlainLook* instance = nullptr;
};

void installDefaultLookAndFeel()
{
    if (SharedPlainLook::instance == nullptr)
        SharedPlainLook::instance = new SharedPlainLook();
    juce::LookAndFeel::setDefaultLookAndFeel (&SharedPlainLook::instance->look);
}
}

DemoEditorComponent::DemoEditorComponent (DemoJuceFilter* filter)
    : AudioFilterEditor (filter)
{
    installDefaultLookAndFeel();

    versionText = "R1.2.0";
    labelFont = xGUIFont::make ("Arial", 12.0f, juce::Font::bold);

    background.reset (new xGUIMicroReverbBg());
    addAndMakeVisible (background.get());
    background->setBounds (0, 0, 450, 223);

    powerSwitch.reset (new xGUIReverbPower());
    addAndMakeVisible (powerSwitch.get());
    powerSwitch->addListener (this);
    powerSwitch->setBounds (30, 17, 44, 19);
    powerSwitch->setValue (filter->parameterValue (onOff));

    leftInputSwitch.reset (new xGUIReverbInputSelect());
    addAndMakeVisible (leftInputSwitch.get());
    leftInputSwitch->addListener (this);
    leftInputSwitch->setBounds (92, 17, 22, 19);
    leftInputSwitch->setValue (filter->parameterValue (leftOnOff));

    rightInputSwitch.reset (new xGUIReverbInputSelect());
    addAndMakeVisible (rightInputSwitch.get());
    rightInputSwitch->addListener (this);
    rightInputSwitch->setBounds (128, 17, 22, 19);
    rightInputSwitch->setValue (filter->parameterValue (rightOnOff));

    stereoInputSwitch.reset (new xGUIReverbInputStereoSelect());
    addAndMakeVisible (stereoInputSwitch.get());
    stereoInputSwitch->addListener (this);
    stereoInputSwitch->setBounds (116, 22, 10, 10);
    stereoInputSwitch->setValue (filter->parameterValue (stereoOnOff));

    struct BarPlace
    {
        std::unique_ptr<xGUISliderText>& bar;
        int parameter;
        int x, y;
    };
    const BarPlace bars[] {
        { earlySizeBar, earlySize, 32, 113 }, { lateSizeBar, lateSize, 164, 113 }, { diffusionBar, diffusion, 32, 143 },
        { decayBar, decay, 164, 143 },        { listenerBar, listener, 296, 113 }, { dryWetBar, dryWet, 296, 143 },
        { volumeBar, volume, 296, 21 },
    };
    for (const auto& place : bars)
    {
        place.bar.reset (new xGUISliderText());
        addAndMakeVisible (place.bar.get());
        place.bar->addListener (this);
        place.bar->setBounds (place.x, place.y, 121, 12);
        setUpBar (*place.bar, place.parameter, filter->parameterValue (place.parameter));
    }

    earlyDisplay.reset (new xGUIEarlyDiffusions());
    addAndMakeVisible (earlyDisplay.get());
    earlyDisplay->setBounds (38, 41, 110, 55);
    earlyDisplay->setLineColour (displayLine);
    earlyDisplay->setRoomSize (earlySizeBar->getValue());
    earlyDisplay->setDiffusionAmount (diffusionBar->getValue());

    lateDisplay.reset (new xGUIEarlyDiffusions());
    addAndMakeVisible (lateDisplay.get());
    lateDisplay->setBounds (170, 41, 110, 55);
    lateDisplay->setLineColour (displayLine);
    lateDisplay->setRoomSize (lateSizeBar->getValue());
    lateDisplay->setDiffusionAmount (diffusionBar->getValue());

    decayDisplay.reset (new xGUILateDecay());
    addAndMakeVisible (decayDisplay.get());
    decayDisplay->setBounds (170, 41, 110, 55);
    decayDisplay->setColours (decayFill, displayLine);
    decayDisplay->setDecayLength (decayBar->getValue());

    listenerDisplay.reset (new xGUIListener());
    addAndMakeVisible (listenerDisplay.get());
    listenerDisplay->setBounds (296, 37, 121, 61);
    listenerDisplay->setValue (listenerBar->getValue());

    dryWetDisplay.reset (new xGUILimiterLPF());
    addAndMakeVisible (dryWetDisplay.get());
    dryWetDisplay->setBounds (318, 41, 78, 55);
    dryWetDisplay->setShown (true);
    dryWetDisplay->setColours (dryWetFill, dryWetOutline, displayLine);
    dryWetDisplay->setLineWidths (0.0f, 1.0f);
    dryWetDisplay->setDryWet (dryWetBar->getValue());

    infoPanel.reset (new xGUIProductInfo());
    addChildComponent (infoPanel.get());
    infoPanel->setBounds (0, 0, 450, 223);
    infoPanel->addListener (this);
    infoPanel->setVisible (false);

    infoButton.reset (new xGUIInfoButton());
    addChildComponent (infoButton.get());
    infoButton->addListener (this);
    infoButton->setBounds (45, 166, 130, 55);
    infoButton->setVisible (true);

    versionDisplay.reset (new xGUIPluginVersion());
    addChildComponent (versionDisplay.get());
    versionDisplay->setBounds (237, 115, 70, 20);
    versionDisplay->setText (versionText);
    versionDisplay->setVisible (false);

    setSize (filter->editorWidth, filter->editorHeight);
    filter->addChangeListener (this);
    repaint();
}

DemoEditorComponent::~DemoEditorComponent()
{
    if (auto* filter = getDemoFilter())
        filter->removeChangeListener (this);

    // Top-most first, the face last; each widget hands back its images.
    versionDisplay.reset();
    infoButton.reset();
    infoPanel.reset();
    dryWetDisplay.reset();
    listenerDisplay.reset();
    decayDisplay.reset();
    lateDisplay.reset();
    earlyDisplay.reset();
    volumeBar.reset();
    dryWetBar.reset();
    listenerBar.reset();
    decayBar.reset();
    diffusionBar.reset();
    lateSizeBar.reset();
    earlySizeBar.reset();
    stereoInputSwitch.reset();
    rightInputSwitch.reset();
    leftInputSwitch.reset();
    powerSwitch.reset();
    background.reset();
}

double DemoEditorComponent::largestScale() const { return xGUIScaledImage::largestResolution; }

DemoJuceFilter* DemoEditorComponent::getDemoFilter() const noexcept
{
    return static_cast<DemoJuceFilter*> (getFilter());
}

void DemoEditorComponent::setUpBar (xGUISliderText& bar, int parameterIndex, float initialValue)
{
    const bool isVolume = parameterIndex == volume;

    bar.setBarSize (121, 12);
    bar.setBackgroundColour (barInvisible);
    bar.setBackgroundOutlineColour (barInvisible);
    bar.setBackgroundOutlineThickness (1);
    bar.setValueColour (barInvisible);
    bar.setValueOutlineColour (barValueOutline);
    bar.setValueOutlineThickness (1);
    // Volume steps 0.005 (0.12 dB) in fine mode, the others 0.0005 (0.05 %).
    bar.setRange (0.0, 1.0, isVolume ? 0.005 : 0.0005);
    bar.setValue (initialValue, false);
    bar.setLabelBounds (0, 0, 121, 14);
    for (const auto& c : labelColours)
        bar.setLabelColour (c.colourId, c.colour);
    bar.setLabelFont (labelFont);

    if (isVolume)
    {
        bar.setLabelText (xGUINumberText::format (bar.getValue() * 24.0 - 12.0, 1) + "db");
        bar.setSuffix ("db");
        bar.setDisplayRange (-12.0, 12.0);
    }
    else
    {
        bar.setLabelText (xGUINumberText::format (bar.getValue() * 100.0, 1) + "%");
        bar.setSuffix ("%");
        bar.setDisplayRange (0.0, 100.0);
    }
}

void DemoEditorComponent::paint (juce::Graphics& g) { g.fillAll (juce::Colour::greyLevel (0.9f)); }

void DemoEditorComponent::resized()
{
    if (auto* filter = getDemoFilter())
    {
        filter->editorWidth = getWidth();
        filter->editorHeight = getHeight();
    }
}

void DemoEditorComponent::changeListenerCallback (juce::ChangeBroadcaster*)
{
    auto* filter = getDemoFilter();
    if (filter == nullptr)
        return;

    float power, left, right, stereo, early, late, decayValue, diffusionValue, listenerValue, mix, gain;
    {
        // Copied in one go before any widget is touched. Each value is read
        // whole; no lock is taken, since the audio thread holds the block
        // lock and must never wait on the editor.
        power = filter->parameterValue (onOff);
        left = filter->parameterValue (leftOnOff);
        right = filter->parameterValue (rightOnOff);
        stereo = filter->parameterValue (stereoOnOff);
        early = filter->parameterValue (earlySize);
        late = filter->parameterValue (lateSize);
        decayValue = filter->parameterValue (decay);
        diffusionValue = filter->parameterValue (diffusion);
        listenerValue = filter->parameterValue (listener);
        mix = filter->parameterValue (dryWet);
        gain = filter->parameterValue (volume);
    }

    powerSwitch->setValue (power);
    leftInputSwitch->setValue (left);
    rightInputSwitch->setValue (right);
    stereoInputSwitch->setValue (stereo);

    // The displays follow the bars' clamped values, never the raw parameters.
    earlySizeBar->setValue (early, false);
    earlyDisplay->setRoomSize (earlySizeBar->getValue());
    lateSizeBar->setValue (late, false);
    lateDisplay->setRoomSize (lateSizeBar->getValue());
    decayBar->setValue (decayValue, false);
    decayDisplay->setDecayLength (decayBar->getValue());
    diffusionBar->setValue (diffusionValue, false);
    earlyDisplay->setDiffusionAmount (diffusionBar->getValue());
    lateDisplay->setDiffusionAmount (diffusionBar->getValue());
    dryWetBar->setValue (mix, false);
    dryWetDisplay->setDryWet (dryWetBar->getValue());
    listenerBar->setValue (listenerValue, false);
    listenerDisplay->setValue (listenerBar->getValue());
    volumeBar->setValue (gain, false);
}

void DemoEditorComponent::sendParameter (int index, double value)
{
    if (auto* filter = getDemoFilter())
        filter->setParameterNotifyingHost (index, (float) value);
}

void DemoEditorComponent::sliderValueChanged (juce::Slider* slider)
{
    // Notices arrive asynchronously and may be coalesced, so the bar's
    // current value is what is sent.
    if (slider == earlySizeBar.get())
    {
        sendParameter (earlySize, earlySizeBar->getValue());
        earlyDisplay->setRoomSize (earlySizeBar->getValue());
    }
    else if (slider == lateSizeBar.get())
    {
        sendParameter (lateSize, lateSizeBar->getValue());
        lateDisplay->setRoomSize (lateSizeBar->getValue());
    }
    else if (slider == decayBar.get())
    {
        sendParameter (decay, decayBar->getValue());
        decayDisplay->setDecayLength (decayBar->getValue());
    }
    else if (slider == diffusionBar.get())
    {
        sendParameter (diffusion, diffusionBar->getValue());
        earlyDisplay->setDiffusionAmount (diffusionBar->getValue());
        lateDisplay->setDiffusionAmount (diffusionBar->getValue());
    }
    else if (slider == dryWetBar.get())
    {
        sendParameter (dryWet, dryWetBar->getValue());
        dryWetDisplay->setDryWet (dryWetBar->getValue());
    }
    else if (slider == listenerBar.get())
    {
        sendParameter (listener, listenerBar->getValue());
        listenerDisplay->setValue (listenerBar->getValue());
    }
    else if (slider == volumeBar.get())
    {
        sendParameter (volume, volumeBar->getValue());
    }
}

void DemoEditorComponent::selectInput (double left, double right, double stereo, const int (&sendOrder)[3])
{
    leftInputSwitch->setValue (left);
    rightInputSwitch->setValue (right);
    stereoInputSwitch->setValue (stereo);

    for (const int index : sendOrder)
    {
        const double value = index == leftOnOff    ? leftInputSwitch->getValue()
                             : index == rightOnOff ? rightInputSwitch->getValue()
                                                   : stereoInputSwitch->getValue();
        sendParameter (index, value);
    }
}

void DemoEditorComponent::setInfoPanelShown (bool shouldBeShown)
{
    infoPanel->setVisible (shouldBeShown);
    versionDisplay->setVisible (shouldBeShown);
}

void DemoEditorComponent::buttonClicked (juce::Button* button)
{
    // The switches flip their own value before the listeners hear the click.
    if (button == powerSwitch.get())
    {
        sendParameter (onOff, powerSwitch->getValue());
    }
    else if (button == leftInputSwitch.get())
    {
        selectInput (1.0, 0.0, 0.0, leftSendOrder);
    }
    else if (button == rightInputSwitch.get())
    {
        selectInput (0.0, 1.0, 0.0, rightSendOrder);
    }
    else if (button == stereoInputSwitch.get())
    {
        selectInput (0.0, 0.0, 1.0, stereoSendOrder);
    }
    else if (button == infoPanel.get())
    {
        if (infoPanel->isVisible())
            setInfoPanelShown (false);
    }
    else if (button == infoButton.get())
    {
        setInfoPanelShown (! infoPanel->isVisible());
    }
}

void DemoEditorComponent::buttonStateChanged (juce::Button*) {}
void DemoEditorComponent::sliderDragStarted (juce::Slider*) {}
void DemoEditorComponent::sliderDragEnded (juce::Slider*) {}
