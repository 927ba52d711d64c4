#include "GuiTestSupport.h"
#include "xGUIReverbInputSelect.h"
#include "xGUIReverbInputStereoSelect.h"
#include "xGUIReverbPower.h"

#include <gtest/gtest.h>

namespace
{
struct ClickRecorder : juce::Button::Listener
{
    explicit ClickRecorder (xGUIImageSwitch& s)
        : watched (s)
    {
        watched.addListener (this);
    }
    ~ClickRecorder() override { watched.removeListener (this); }
    void buttonClicked (juce::Button*) override { valuesSeen.push_back (watched.getValue()); }

    xGUIImageSwitch& watched;
    std::vector<double> valuesSeen;
};

void click (juce::Button& b)
{
    b.triggerClick();
    pumpMessages();
}

// Bytes that are no picture at all.
const unsigned char notAPicture[] { 1, 2, 3, 4, 5, 6, 7, 8 };
}

TEST (ImageSwitch, ShowsOnOnlyForExactlyOne)
{
    xGUIReverbPower s;
    s.setValue (1.0);
    EXPECT_TRUE (s.getToggleState());
    s.setValue (0.5);
    EXPECT_FALSE (s.getToggleState());
    EXPECT_EQ (s.getValue(), 0.5);
    s.setValue (0.0);
    EXPECT_FALSE (s.getToggleState());
}

TEST (ImageSwitch, AClickFlipsTheValueBeforeTheListenersHearIt)
{
    xGUIReverbInputSelect s;
    ClickRecorder recorder (s);
    click (s);
    click (s);
    ASSERT_EQ (recorder.valuesSeen.size(), 2u);
    EXPECT_EQ (recorder.valuesSeen[0], 1.0);
    EXPECT_EQ (recorder.valuesSeen[1], 0.0);
}

TEST (ImageSwitch, AClickOnAnInBetweenValueTurnsItOff)
{
    xGUIReverbInputStereoSelect s;
    s.setValue (0.5);
    click (s);
    EXPECT_EQ (s.getValue(), 0.0);
    EXPECT_FALSE (s.getToggleState());
}

TEST (ImageSwitch, SetValueTellsNobody)
{
    xGUIReverbPower s;
    ClickRecorder recorder (s);
    s.setValue (1.0);
    pumpMessages();
    EXPECT_TRUE (recorder.valuesSeen.empty());
}

TEST (ImageSwitchDrawing, OffShowsTheTopFrameAndOnTheBottomFrame)
{
    SeededArtwork art;
    xGUIReverbPower power;
    xGUIReverbInputStereoSelect stereo;

    for (xGUIImageSwitch* s : { (xGUIImageSwitch*) &power, (xGUIImageSwitch*) &stereo })
    {
        s->setValue (0.0);
        auto off = snapshot (*s);
        EXPECT_EQ (off.getPixelAt (0, 0), SeededArtwork::offColour());
        EXPECT_EQ (off.getPixelAt (s->getWidth() - 1, s->getHeight() - 1), SeededArtwork::offColour());

        s->setValue (1.0);
        auto on = snapshot (*s);
        EXPECT_EQ (on.getPixelAt (0, 0), SeededArtwork::onColour());
        EXPECT_EQ (on.getPixelAt (s->getWidth() - 1, s->getHeight() - 1), SeededArtwork::onColour());
    }
}

TEST (ImageSwitchDrawing, AMissingPictureDrawsNothingAndTheSwitchStillWorks)
{
    xGUIImageSwitch s (notAPicture, (int) sizeof (notAPicture), 22, 19, 19);
    s.setValue (1.0);
    const auto shot = snapshot (s);
    EXPECT_TRUE (litColumns (shot).empty());

    click (s);
    EXPECT_EQ (s.getValue(), 0.0);
}
