// The standalone application of JUCE's plug-in client, with one addition: a
// "Programs" button in the title bar, beside "Options", that lists the
// processor's programs by name and selects one. JUCE's own standalone window
// offers no way to choose a program. Compiled only into the standalone
// build (the formats define JUCE_USE_CUSTOM_PLUGIN_STANDALONE_APP).
#include <juce_core/system/juce_TargetPlatform.h>

#if JucePlugin_Build_Standalone && JUCE_USE_CUSTOM_PLUGIN_STANDALONE_APP

#include <juce_audio_plugin_client/juce_audio_plugin_client.h>
#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_audio_plugin_client/Standalone/juce_StandaloneFilterWindow.h>

namespace
{
class ProgramMenuWindow final : public juce::StandaloneFilterWindow
{
public:
    ProgramMenuWindow (const juce::String& title, juce::PropertySet* settings)
        : juce::StandaloneFilterWindow (title,
                                        juce::LookAndFeel::getDefaultLookAndFeel().findColour (
                                            juce::ResizableWindow::backgroundColourId),
                                        settings, false)
    {
        programsButton.setTriggeredOnMouseDown (true);
        programsButton.onClick = [this] { showProgramMenu(); };
        juce::Component::addAndMakeVisible (programsButton);
        resized();
    }

    void resized() override
    {
        juce::StandaloneFilterWindow::resized();
        // Beside the options button, which sits at x 8, 60 wide.
        programsButton.setBounds (72, 6, 76, juce::jmax (0, getTitleBarHeight() - 8));
        auto* processor = getAudioProcessor();
        programsButton.setVisible (processor != nullptr && processor->getNumPrograms() > 1);
    }

private:
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
};

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
            juce::Timer::callAfterDelay (100, []
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
juce::JUCEApplicationBase* juce_CreateApplication()
{
    return new StandaloneApp();
}

#endif
