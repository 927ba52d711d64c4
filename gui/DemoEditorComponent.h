#pragma once

#include "AudioFilterEditor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class DemoJuceFilter;
class xGUIEarlyDiffusions;
class xGUIInfoButton;
class xGUILateDecay;
class xGUILimiterLPF;
class xGUIListener;
class xGUIMicroReverbBg;
class xGUIPluginVersion;
class xGUIProductInfo;
class xGUIReverbInputSelect;
class xGUIReverbInputStereoSelect;
class xGUIReverbPower;
class xGUISliderText;

/** The plug-in's editor: a 450 × 223 face with seven value bars and four
    switches bound to the eleven parameters, five live displays fed from the
    bars, and an information panel with the version text.

    It follows the filter through its change broadcasts (copying the values
    under the callback lock, updating the widgets after releasing it) and
    sends the user's changes through setParameterNotifyingHost. The host
    adapter's editor window owns it. Message thread only. */
class DemoEditorComponent : public AudioFilterEditor,
                            public juce::ChangeListener,
                            public juce::Button::Listener,
                            public juce::Slider::Listener
{
public:
    explicit DemoEditorComponent (DemoJuceFilter* filter);
    ~DemoEditorComponent() override;

    void paint (juce::Graphics& g) override;
    /** Stores the size in the filter, so the next editor opens with it. */
    void resized() override;
    /** As large as the artwork is drawn. */
    double largestScale() const override;

    /** Refreshes every widget from the filter; sends nothing back. */
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void buttonClicked (juce::Button* button) override;
    void buttonStateChanged (juce::Button* button) override;
    void sliderValueChanged (juce::Slider* slider) override;
    void sliderDragStarted (juce::Slider* slider) override;
    void sliderDragEnded (juce::Slider* slider) override;

private:
    DemoJuceFilter* getDemoFilter() const noexcept;
    void setUpBar (xGUISliderText& bar, int parameterIndex, float initialValue);
    void sendParameter (int index, double value);
    void selectInput (double left, double right, double stereo, const int (&sendOrder)[3]);
    void setInfoPanelShown (bool shouldBeShown);

    juce::String versionText;
    juce::Font labelFont;
    std::unique_ptr<xGUIMicroReverbBg> background;
    std::unique_ptr<xGUISliderText> earlySizeBar;
    std::unique_ptr<xGUISliderText> lateSizeBar;
    std::unique_ptr<xGUISliderText> decayBar;
    std::unique_ptr<xGUISliderText> diffusionBar;
    std::unique_ptr<xGUISliderText> dryWetBar;
    std::unique_ptr<xGUISliderText> listenerBar;
    std::unique_ptr<xGUISliderText> volumeBar;
    std::unique_ptr<xGUIReverbPower> powerSwitch;
    std::unique_ptr<xGUIReverbInputSelect> leftInputSwitch;
    std::unique_ptr<xGUIReverbInputSelect> rightInputSwitch;
    std::unique_ptr<xGUIReverbInputStereoSelect> stereoInputSwitch;
    std::unique_ptr<xGUIEarlyDiffusions> earlyDisplay;
    std::unique_ptr<xGUIEarlyDiffusions> lateDisplay;
    std::unique_ptr<xGUILateDecay> decayDisplay;
    std::unique_ptr<xGUIListener> listenerDisplay;
    std::unique_ptr<xGUILimiterLPF> dryWetDisplay;
    std::unique_ptr<xGUIProductInfo> infoPanel;
    std::unique_ptr<xGUIPluginVersion> versionDisplay;
    std::unique_ptr<xGUIInfoButton> infoButton;

    JUCE_DECLARE_NON_COPYABLE (DemoEditorComponent)
};
