#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/** A horizontal value bar with a value label over it. Pressing or dragging
    sets the value from the mouse x; with Shift, Ctrl or Alt held each mouse
    event moves it by one fine step instead; a double-click opens the label
    for typing a number in display units.

    The widget keeps its own value (getValue), always clamped to its range;
    the juce::Slider base only carries the listeners, which hear about
    changes asynchronously on the message thread. Message thread only. */
class xGUISliderText : public juce::Slider, public juce::Label::Listener
{
public:
    xGUISliderText();
    ~xGUISliderText() override;

    /** Value range and the fine-mode step, in value units. */
    void setRange (double newMinimum, double newMaximum, double newInterval);

    /** Clamps v into the range, updates the bar and label, and hands v to
        the slider base, which notifies the listeners (asynchronously) when
        notify is true and its step-snapped copy changes. */
    void setValue (double v, bool notify);
    /** The widget's value, within the range. */
    double getValue() const noexcept { return value; }

    /** Size of the full-scale bar in pixels. */
    void setBarSize (int width, int height);
    void setBackgroundColour (juce::Colour c);
    void setBackgroundOutlineColour (juce::Colour c);
    /** Outline thickness of the whole bar, in pixels. */
    void setBackgroundOutlineThickness (int pixels);
    void setValueColour (juce::Colour c);
    void setValueOutlineColour (juce::Colour c);
    /** Outline thickness of the value part, in pixels. */
    void setValueOutlineThickness (int pixels);

    void setLabelBounds (int x, int y, int w, int h);
    /** Sets a juce::Label or juce::TextEditor colour id on the value label. */
    void setLabelColour (int colourId, juce::Colour c);
    void setLabelFont (const juce::Font& font);
    /** Replaces the label text without notifying; closes an open editor and
        drops what was typed in it. */
    void setLabelText (const juce::String& text);

    /** Unit text appended to the shown number ("%", "db"). */
    void setSuffix (const juce::String& text);
    /** Numbers shown at the range's minimum and maximum; the label then
        shows one decimal. */
    void setDisplayRange (double shownMinimum, double shownMaximum);

    void paint (juce::Graphics& g) override;
    void resized() override;
    void lookAndFeelChanged() override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseDoubleClick (const juce::MouseEvent& e) override;
    void labelTextChanged (juce::Label* label) override;

private:
    void updateBarPosition();
    void updateLabelText();

    std::unique_ptr<juce::Label> valueLabel;
    double minimum = 0.0;
    double maximum = 1.0;
    double interval = 0.0005;
    double value = 0.0;
    double displayMinimum = 0.0;
    double displayMaximum = 0.0;
    int barHeight = 20;
    int barWidth = 100;
    juce::Colour backgroundColour { 0xFFFF0000 };
    juce::Colour backgroundOutlineColour { 0xFF00FFFF };
    int backgroundOutlineThickness = 3;
    juce::Colour valueColour { 0xFFFFFFFF };
    juce::Colour valueOutlineColour { 0xFF000000 };
    int valueOutlineThickness = 3;
    int barPosition = 0;
    int displayDecimals = 0;
    int lastDragX = 0;
    juce::String suffix;
    bool editOnDoubleClick = true;

    // Sends the listeners' drag-start notice on press and drag-end on release.
    std::unique_ptr<juce::Slider::ScopedDragNotification> dragNotice;

    JUCE_DECLARE_NON_COPYABLE (xGUISliderText)
};
