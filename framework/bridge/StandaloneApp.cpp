// The standalone application of JUCE's plug-in client, with two additions:
// - a "Programs" button in the title bar, beside "Options", that lists the
//   processor's programs by name and selects one (JUCE's own standalone
//   window offers no way to choose a program);
// - on Linux it is a JACK client whenever a JACK server (or PipeWire's JACK)
//   runs at its first start, and an ALSA one otherwise; the device chosen is
//   kept in its settings like the rest of JUCE's audio setup;
// - it follows the desktop's scale also where JUCE does not find it.
// Compiled only into the standalone build (the formats define
// JUCE_USE_CUSTOM_PLUGIN_STANDALONE_APP).
#include <juce_core/system/juce_TargetPlatform.h>

#if JucePlugin_Build_Standalone && JUCE_USE_CUSTOM_PLUGIN_STANDALONE_APP

#include <juce_audio_plugin_client/juce_audio_plugin_client.h>
#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_audio_plugin_client/Standalone/juce_StandaloneFilterWindow.h>

#include "DesktopScale.h"

namespace
{
const juce::String jackTypeName { "JACK" };

/** On a first start with a JACK server running, the audio setup JUCE's
    window reads names JACK and the server's default devices (for the dummy
    or a sound card's server, "system"), so it opens no ALSA device at all;
    after that the setup it saved on quitting (JACK or whatever the user
    chose) wins. JUCE's JACK type lists the server's clients, and none
    without a server (it never starts one). */
void preferJackOnFirstStart (juce::PropertySet& settings)
{
    if (settings.containsKey ("audioSetup"))
        return;
    std::unique_ptr<juce::AudioIODeviceType> jack (juce::AudioIODeviceType::createAudioIODeviceType_JACK());
    if (jack == nullptr)
        return;
    jack->scanForDevices();
    const auto outputs = jack->getDeviceNames (false);
    const auto inputs = jack->getDeviceNames (true);
    if (outputs.isEmpty())
        return;

    juce::XmlElement setup ("DEVICESETUP");
    setup.setAttribute ("deviceType", jackTypeName);
    setup.setAttribute ("audioOutputDeviceName", outputs[juce::jmax (0, jack->getDefaultDeviceIndex (false))]);
    if (! inputs.isEmpty())
        setup.setAttribute ("audioInputDeviceName", inputs[juce::jmax (0, jack->getDefaultDeviceIndex (true))]);
    settings.setValue ("audioSetup", &setup);
}

class ProgramMenuWindow final : public juce::StandaloneFilterWindow, private juce::ChangeListener
{
public:
    ProgramMenuWindow (const juce::String& title, juce::PropertySet* settings)
        : juce::StandaloneFilterWindow (title,
                                        juce::LookAndFeel::getDefaultLookAndFeel().findColour (
                                            juce::ResizableWindow::backgroundColourId),
                                        settings, false)
    {
        programsButton.setTriggeredOnMouseDown (true);
        programsButton.onClick = [this]
        {
            showProgramMenu();
        };
        juce::Component::addAndMakeVisible (programsButton);
        resized();

        // The mute switch the user saved stands, except that a JACK client
        // passes its input.
        deviceType = pluginHolder->deviceManager.getCurrentAudioDeviceType();
        if (deviceType == jackTypeName)
            pluginHolder->getMuteInputValue().setValue (false);
        pluginHolder->deviceManager.addChangeListener (this);
    }

    ~ProgramMenuWindow() override { pluginHolder->deviceManager.removeChangeListener (this); }

    void resized() override
    {
        juce::StandaloneFilterWindow::resized();
        // Beside the options button, which sits at x 8, 60 wide.
        programsButton.setBounds (72, 6, 76, juce::jmax (0, getTitleBarHeight() - 8));
        auto* processor = getAudioProcessor();
        programsButton.setVisible (processor != nullptr && processor->getNumPrograms() > 1);
    }

private:
    void changeListenerCallback (juce::ChangeBroadcaster*) override { followDeviceType(); }

    /** JUCE mutes the input of an effect against the howl of a laptop's own
        microphone and speakers. JACK ports are patched by the user, so a
        JACK client passes its input; a change back to another device type
        mutes it again. Only a change of type touches the switch, so a
        user's own choice within one type stands. */
    void followDeviceType()
    {
        const auto type = pluginHolder->deviceManager.getCurrentAudioDeviceType();
        if (type == deviceType)
            return;
        deviceType = type;
        pluginHolder->getMuteInputValue().setValue (type != jackTypeName);
    }

    void showProgramMenu()
    {
        auto* processor = getAudioProcessor();
        if (processor == nullptr)
            return;

        juce::PopupMenu menu;
        const auto current = processor->getCurrentProgram();
        for (int i = 0; i < processor->getNumPrograms(); ++i)
            menu.addItem (i + 1, processor->getProgramName (i), true, i == current);

        juce::Component::SafePointer<ProgramMenuWindow> window (this);
        menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (&programsButton),
                            [window] (int chosen)
                            {
                                if (window == nullptr || chosen <= 0)
                                    return;
                                if (auto* p = window->getAudioProcessor())
                                    p->setCurrentProgram (chosen - 1);
                            });
    }

    juce::TextButton programsButton { "Programs" };
    juce::String deviceType;
};

/** JUCE finds the desktop's scale only through a window manager's work
    area and the GNOME settings; where it finds none above 1, what GTK and Qt
    desktops publish (DesktopScale) scales every window of the application. */
void followDesktopScale()
{
    auto& desktop = juce::Desktop::getInstance();
    const auto* display = desktop.getDisplays().getPrimaryDisplay();
    const auto found = display != nullptr ? display->scale : 1.0;
    const auto published = DesktopScale::read();
    if (found <= 1.0 && published > 1.0)
        desktop.setGlobalScaleFactor ((float) juce::jlimit (1.0, 3.0, published));
}

/** JUCE's standalone application as it is, making the window above. */
class StandaloneApp final : public juce::JUCEApplication
{
public:
    StandaloneApp()
    {
        juce::PropertiesFile::Options options;
        options.applicationName = getApplicationName();
        options.filenameSuffix = ".settings";
        options.osxLibrarySubFolder = "Application Support";
        options.folderName = "~/.config";
        properties.setStorageParameters (options);
    }

    const juce::String getApplicationName() override { return JucePlugin_Name; }
    const juce::String getApplicationVersion() override { return JucePlugin_VersionString; }
    bool moreThanOneInstanceAllowed() override { return true; }
    void anotherInstanceStarted (const juce::String&) override {}

    void initialise (const juce::String&) override
    {
        if (auto* settings = properties.getUserSettings())
            preferJackOnFirstStart (*settings);
        followDesktopScale();
        window = std::make_unique<ProgramMenuWindow> (getApplicationName(), properties.getUserSettings());
        window->setVisible (true);
    }

    void shutdown() override
    {
        window = nullptr;
        properties.saveIfNeeded();
    }

    void systemRequestedQuit() override
    {
        if (window != nullptr)
            window->pluginHolder->savePluginState();

        if (juce::ModalComponentManager::getInstance()->cancelAllModalComponents())
        {
            juce::Timer::callAfterDelay (100,
                                         []
                                         {
                                             if (auto* app = juce::JUCEApplicationBase::getInstance())
                                                 app->systemRequestedQuit();
                                         });
        }
        else
        {
            quit();
        }
    }

private:
    juce::ApplicationProperties properties;
    std::unique_ptr<ProgramMenuWindow> window;
};
}

juce::JUCEApplicationBase* juce_CreateApplication();
juce::JUCEApplicationBase* juce_CreateApplication() { return new StandaloneApp(); }

#endif
