#include "GuiTestSupport.h"
#include "xGUIListener.h"

#include <gtest/gtest.h>

namespace
{
int frameShown (xGUIListener& l) { return SeededArtwork::frameShownBy (snapshot (l)); }
}

TEST (ListenerMarker, ShowsTheFrameOfTheTruncatedValue)
{
    SeededArtwork art;
    xGUIListener l;
    const std::pair<double, int> cases[] { { 0.0, 0 }, { 0.5, 32 }, { 0.999, 63 }, { 1.0, 64 } };
    for (const auto& [value, frame] : cases)
    {
        l.setValue (value);
        EXPECT_EQ (frameShown (l), frame) << "value " << value;
    }
}

TEST (ListenerMarker, ClampsValuesOutsideTheRange)
{
    SeededArtwork art;
    xGUIListener l;
    l.setValue (7.0);
    EXPECT_EQ (l.getValue(), 1.0);
    EXPECT_EQ (frameShown (l), 64);
    l.setValue (-1.0);
    EXPECT_EQ (frameShown (l), 0);
    l.setValue (std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ (l.getValue(), 0.0);
    EXPECT_EQ (frameShown (l), 0);
}

TEST (ListenerMarker, PressingOrDraggingChangesNothing)
{
    SeededArtwork art;
    xGUIListener l;
    l.setValue (0.25);

    struct Counter : juce::Slider::Listener
    {
        void sliderValueChanged (juce::Slider*) override { ++calls; }
        int calls = 0;
    } counter;
    l.addListener (&counter);

    l.mouseDown (mouseAt (l, 110.0f, 30.0f));
    l.mouseDrag (mouseAt (l, 5.0f, 30.0f));
    l.mouseUp (mouseAt (l, 5.0f, 30.0f, juce::ModifierKeys()));
    l.mouseDoubleClick (mouseAt (l, 5.0f, 30.0f, withButton (0), 2));
    pumpMessages();

    EXPECT_EQ (l.getValue(), 0.25);
    EXPECT_EQ (frameShown (l), 16);
    EXPECT_EQ (counter.calls, 0);
    l.removeListener (&counter);
}
