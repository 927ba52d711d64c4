#include "GuiTestSupport.h"
#include "xGUISliderText.h"

#include <gtest/gtest.h>

namespace
{
/** A bar as the editor sets one up, with the value part drawn opaque red
    and the label moved out of the way, so its length can be counted. */
struct MeasuredBar
{
    explicit MeasuredBar (bool volume = false)
    {
        bar.setBounds (0, 0, 121, 12);
        bar.setBarSize (121, 12);
        bar.setBackgroundColour (juce::Colour (0x00000000));
        bar.setBackgroundOutlineColour (juce::Colour (0x00000000));
        bar.setValueColour (juce::Colour (0xFFFF0000));
        bar.setValueOutlineColour (juce::Colour (0xFFFF0000));
        bar.setValueOutlineThickness (1);
        bar.setRange (0.0, 1.0, volume ? 0.005 : 0.0005);
        bar.setLabelBounds (0, 0, 0, 0);
        bar.setSuffix (volume ? "db" : "%");
        if (volume)
            bar.setDisplayRange (-12.0, 12.0);
        else
            bar.setDisplayRange (0.0, 100.0);
    }

    int length()
    {
        const auto shot = snapshot (bar);
        int n = 0;
        for (int x = 0; x < shot.getWidth(); ++x)
            if (alphaAt (shot, x, 6) > 0)
                ++n;
        return n;
    }

    void press (float x, int mods = 0) { bar.mouseDown (mouseAt (bar, x, 6.0f, withButton (mods))); }
    void drag (float x, float y = 6.0f, int mods = 0) { bar.mouseDrag (mouseAt (bar, x, y, withButton (mods))); }
    void release (float x) { bar.mouseUp (mouseAt (bar, x, 6.0f, juce::ModifierKeys())); }

    juce::String text() { return labelText (bar); }

    void type (const juce::String& typed)
    {
        bar.mouseDoubleClick (mouseAt (bar, 60.0f, 6.0f, withButton (0), 2));
        auto* label = childLabel (bar);
        ASSERT_NE (label, nullptr);
        auto* editor = label->getCurrentTextEditor();
        ASSERT_NE (editor, nullptr) << "a double-click opens the label's editor";
        editor->setText (typed);
        editor->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        pumpMessages(); // the editor posts its Return to itself
    }

    xGUISliderText bar;
};

struct ChangeCounter : juce::Slider::Listener
{
    void sliderValueChanged (juce::Slider*) override { ++changes; }
    void sliderDragStarted (juce::Slider*) override { ++starts; }
    void sliderDragEnded (juce::Slider*) override { ++ends; }
    int changes = 0, starts = 0, ends = 0;
};
}

TEST (SliderTextBar, LengthIsTheTruncatedShareOfTheWidth)
{
    MeasuredBar m;
    const std::pair<double, int> cases[] { { 0.0, 0 }, { 0.5, 60 }, { 0.999, 120 }, { 1.0, 121 } };
    for (const auto& [value, length] : cases)
    {
        m.bar.setValue (value, false);
        EXPECT_EQ (m.length(), length) << "value " << value;
    }
}

TEST (SliderTextBar, TheOldLookAddsNoShadowBesideTheValue)
{
    juce::LookAndFeel_V1 oldLook;
    juce::LookAndFeel::setDefaultLookAndFeel (&oldLook);
    {
        MeasuredBar m;
        m.bar.setValue (0.5, false);
        EXPECT_EQ (m.length(), 60);
    }
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}

TEST (SliderTextBar, ValuesOutsideTheRangeAreClampedForBarAndLabel)
{
    MeasuredBar m;
    m.bar.setValue (1.5, false);
    EXPECT_EQ (m.bar.getValue(), 1.0);
    EXPECT_EQ (m.length(), 121);
    EXPECT_EQ (m.text(), "100.0%");

    m.bar.setValue (-3.0, false);
    EXPECT_EQ (m.bar.getValue(), 0.0);
    EXPECT_EQ (m.length(), 0);
    EXPECT_EQ (m.text(), "0.0%");
}

TEST (SliderTextBar, ANaNValueReadsAsTheMinimum)
{
    MeasuredBar m;
    m.bar.setValue (0.7, false);
    m.bar.setValue (std::numeric_limits<double>::quiet_NaN(), false);
    EXPECT_EQ (m.bar.getValue(), 0.0);
    EXPECT_EQ (m.length(), 0);
    EXPECT_EQ (m.text(), "0.0%");
}

TEST (SliderTextBar, AnEmptyRangeDrawsNoValuePart)
{
    MeasuredBar m;
    m.bar.setRange (0.5, 0.5, 0.0);
    m.bar.setValue (0.5, false);
    EXPECT_EQ (m.bar.getValue(), 0.5);
    EXPECT_EQ (m.length(), 0);
}

TEST (SliderTextLabel, ShowsDisplayUnitsWithOneDecimalAndTheSuffix)
{
    MeasuredBar percent;
    percent.bar.setValue (0.5, false);
    EXPECT_EQ (percent.text(), "50.0%");

    MeasuredBar volume (true);
    volume.bar.setValue (0.5, false);
    EXPECT_EQ (volume.text(), "0.0db");
    volume.bar.setValue (0.4999, false);
    EXPECT_EQ (volume.text(), "-0.0db");
    volume.bar.setValue (0.0, false);
    EXPECT_EQ (volume.text(), "-12.0db");
    volume.bar.setValue (1.0, false);
    EXPECT_EQ (volume.text(), "12.0db");
}

TEST (SliderTextMouse, APressSetsTheValueAtTheMouse)
{
    MeasuredBar m;
    m.press (30.0f);
    EXPECT_DOUBLE_EQ (m.bar.getValue(), 30.0 / 121.0);
    EXPECT_EQ (m.length(), 30);
}

TEST (SliderTextMouse, DragsLeavingTheBarEndAtItsEnds)
{
    MeasuredBar m;
    m.press (60.0f);
    m.drag (400.0f);
    EXPECT_EQ (m.bar.getValue(), 1.0);
    EXPECT_EQ (m.length(), 121);
    EXPECT_EQ (m.text(), "100.0%");

    m.drag (-80.0f);
    EXPECT_EQ (m.bar.getValue(), 0.0);
    EXPECT_EQ (m.length(), 0);
    EXPECT_EQ (m.text(), "0.0%");
}

TEST (SliderTextMouse, FineModeMovesOneStepPerEventWhateverTheDistance)
{
    MeasuredBar m;
    m.bar.setValue (0.5, false);

    m.press (60.0f, juce::ModifierKeys::shiftModifier);
    EXPECT_NEAR (m.bar.getValue(), 0.5005, 1e-12);
    m.drag (110.0f, 6.0f, juce::ModifierKeys::ctrlModifier);
    EXPECT_NEAR (m.bar.getValue(), 0.5010, 1e-12);
    m.drag (0.0f, 6.0f, juce::ModifierKeys::altModifier);
    EXPECT_NEAR (m.bar.getValue(), 0.5005, 1e-12);
}

TEST (SliderTextMouse, FineModeMovingOnlyVerticallyKeepsDecreasing)
{
    MeasuredBar m;
    m.bar.setValue (0.5, false);
    m.press (70.0f, juce::ModifierKeys::shiftModifier);
    const double afterPress = m.bar.getValue();
    for (int i = 1; i <= 4; ++i)
    {
        m.drag (70.0f, 6.0f + (float) i, juce::ModifierKeys::shiftModifier);
        EXPECT_NEAR (m.bar.getValue(), afterPress - 0.0005 * i, 1e-12);
    }
}

TEST (SliderTextMouse, FineModeOnTheVolumeBarMovesByAFifthOfAPercent)
{
    MeasuredBar m (true);
    m.bar.setValue (0.5, false);
    m.press (61.0f, juce::ModifierKeys::shiftModifier);
    EXPECT_NEAR (m.bar.getValue(), 0.505, 1e-12);
    EXPECT_EQ (m.text(), "0.1db") << "one step is 0.12 dB";
}

TEST (SliderTextMouse, FineModeStopsAtTheRangeEnds)
{
    MeasuredBar m;
    m.bar.setValue (0.0, false);
    m.press (0.0f, juce::ModifierKeys::shiftModifier);
    EXPECT_EQ (m.bar.getValue(), 0.0);
    m.bar.setValue (1.0, false);
    m.drag (50.0f, 6.0f, juce::ModifierKeys::shiftModifier);
    EXPECT_EQ (m.bar.getValue(), 1.0);
}

TEST (SliderTextMouse, TheWheelLeavesTheValueAlone)
{
    MeasuredBar m;
    m.bar.setValue (0.25, false);
    juce::MouseWheelDetails wheel {};
    wheel.deltaY = 1.0f;
    m.bar.mouseWheelMove (mouseAt (m.bar, 60.0f, 6.0f, juce::ModifierKeys()), wheel);
    EXPECT_EQ (m.bar.getValue(), 0.25);
}

TEST (SliderTextNotification, ListenersHearChangesLaterAndOnlyWhenAsked)
{
    MeasuredBar m;
    ChangeCounter counter;
    m.bar.addListener (&counter);

    m.bar.setValue (0.3, true);
    EXPECT_EQ (counter.changes, 0) << "delivered asynchronously";
    pumpMessages();
    EXPECT_EQ (counter.changes, 1);

    m.bar.setValue (0.3, true);
    m.bar.setValue (0.7, false);
    pumpMessages();
    EXPECT_EQ (counter.changes, 1) << "no change, or no notice asked for";

    m.bar.setValue (0.1, true);
    m.bar.setValue (0.2, true);
    pumpMessages();
    EXPECT_EQ (counter.changes, 2) << "several changes may arrive as one";
    EXPECT_DOUBLE_EQ (m.bar.getValue(), 0.2);

    m.bar.removeListener (&counter);
}

TEST (SliderTextNotification, PressAndReleaseSendDragNotices)
{
    MeasuredBar m;
    ChangeCounter counter;
    m.bar.addListener (&counter);

    m.press (10.0f);
    EXPECT_EQ (counter.starts, 1);
    EXPECT_EQ (counter.ends, 0);
    m.drag (20.0f);
    m.release (20.0f);
    EXPECT_EQ (counter.ends, 1);
    pumpMessages();
    EXPECT_EQ (counter.changes, 1);

    m.bar.removeListener (&counter);
}

TEST (SliderTextTyping, ANumberIsTypedInDisplayUnits)
{
    MeasuredBar volume (true);
    volume.bar.setValue (0.5, false);
    volume.type ("-6");
    EXPECT_DOUBLE_EQ (volume.bar.getValue(), 0.25);
    EXPECT_EQ (volume.text(), "-6.0db");
    EXPECT_EQ (childLabel (volume.bar)->getCurrentTextEditor(), nullptr);
}

TEST (SliderTextTyping, OutOfRangeInputIsClampedAndTheLabelRewritten)
{
    MeasuredBar percent;
    percent.bar.setValue (0.5, false);
    percent.type ("200%");
    EXPECT_EQ (percent.bar.getValue(), 1.0);
    EXPECT_EQ (percent.text(), "100.0%");

    percent.type ("-20");
    EXPECT_EQ (percent.bar.getValue(), 0.0);
    EXPECT_EQ (percent.text(), "0.0%");
}

TEST (SliderTextTyping, TextWithoutANumberMeansZeroDisplayUnits)
{
    MeasuredBar percent;
    percent.bar.setValue (0.5, false);
    percent.type ("half");
    EXPECT_EQ (percent.bar.getValue(), 0.0);
    EXPECT_EQ (percent.text(), "0.0%");

    MeasuredBar volume (true);
    volume.bar.setValue (0.9, false);
    volume.type ("unity");
    EXPECT_DOUBLE_EQ (volume.bar.getValue(), 0.5);
    EXPECT_EQ (volume.text(), "0.0db");
}

TEST (SliderTextTyping, ATypedValueNotifiesTheListeners)
{
    MeasuredBar percent;
    ChangeCounter counter;
    percent.bar.addListener (&counter);
    percent.type ("25");
    pumpMessages();
    EXPECT_EQ (counter.changes, 1);
    EXPECT_DOUBLE_EQ (percent.bar.getValue(), 0.25);
    percent.bar.removeListener (&counter);
}

TEST (SliderTextTyping, AValueSetWhileTypingDiscardsTheTyping)
{
    MeasuredBar percent;
    percent.bar.mouseDoubleClick (mouseAt (percent.bar, 60.0f, 6.0f, withButton (0), 2));
    auto* label = childLabel (percent.bar);
    ASSERT_NE (label->getCurrentTextEditor(), nullptr);
    label->getCurrentTextEditor()->setText ("12");

    percent.bar.setValue (0.75, false);
    EXPECT_EQ (label->getCurrentTextEditor(), nullptr);
    EXPECT_EQ (percent.bar.getValue(), 0.75);
    EXPECT_EQ (percent.text(), "75.0%");
}
