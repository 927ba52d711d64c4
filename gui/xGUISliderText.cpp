#include "xGUISliderText.h"

#include "xGUIFont.h"
#include "xGUINumberText.h"

#include <cmath>

xGUISliderText::xGUISliderText()
    : juce::Slider ("xGUISliderText")
    , valueLabel (std::make_unique<juce::Label> ("valueLabel", "label text"))
{
    // The base slider draws nothing and lays out nothing of its own.
    setSliderStyle (juce::Slider::LinearHorizontal);
    setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    // The wheel passes on to the parent and never changes the value.
    setScrollWheelEnabled (false);
    // The base set its look's effect while it was constructed.
    setComponentEffect (nullptr);

    addAndMakeVisible (valueLabel.get());
    valueLabel->setFont (xGUIFont::make ("Arial", 15.0f, juce::Font::italic));
    valueLabel->setJustificationType (juce::Justification::centred);
    valueLabel->setEditable (false, true, false);
    valueLabel->setColour (juce::TextEditor::textColourId, juce::Colours::black);
    valueLabel->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));
    valueLabel->addListener (this);
    // Every press, drag and double-click goes to the bar.
    valueLabel->setInterceptsMouseClicks (false, false);

    setSize (100, 20);
    setRange (0.0, 1.0, 0.0005);
}

xGUISliderText::~xGUISliderText()
{
    dragNotice.reset();
    valueLabel->removeListener (this);
    valueLabel.reset();
}

void xGUISliderText::setRange (double newMinimum, double newMaximum, double newInterval)
{
    juce::Slider::setRange (newMinimum, newMaximum, newInterval);
    minimum = newMinimum;
    maximum = newMaximum;
    interval = newInterval;
}

void xGUISliderText::setValue (double v, bool notify)
{
    // A NaN would compare false against both ends and slip through the clamp.
    if (std::isnan (v))
        v = minimum;

    if (v <= minimum)
        value = minimum;
    else if (v >= maximum)
        value = maximum;
    else
        value = v;

    updateBarPosition();
    updateLabelText();

    juce::Slider::setValue (v, notify ? juce::sendNotificationAsync : juce::dontSendNotification);
}

void xGUISliderText::updateBarPosition()
{
    const double span = maximum - minimum;
    if (span > 0.0 && barWidth > 0)
    {
        const double length = (value - minimum) / (span / barWidth);
        // Clamped before truncation so that no out-of-range double is
        // converted; for in-range lengths this is trunc then clamp.
        barPosition = (int) juce::jlimit (0.0, (double) barWidth, length);
    }
    else
    {
        barPosition = 0;
    }
    repaint();
}

void xGUISliderText::updateLabelText()
{
    const double shown = value * (displayMaximum - displayMinimum) + displayMinimum;
    setLabelText (xGUINumberText::format (shown, displayDecimals) + suffix);
}

void xGUISliderText::setBarSize (int width, int height)
{
    barWidth = width;
    barHeight = height;
    repaint();
}

void xGUISliderText::setBackgroundColour (juce::Colour c)
{
    backgroundColour = c;
    repaint();
}

void xGUISliderText::setBackgroundOutlineColour (juce::Colour c)
{
    backgroundOutlineColour = c;
    repaint();
}

void xGUISliderText::setBackgroundOutlineThickness (int pixels)
{
    backgroundOutlineThickness = pixels;
    repaint();
}

void xGUISliderText::setValueColour (juce::Colour c)
{
    valueColour = c;
    repaint();
}

void xGUISliderText::setValueOutlineColour (juce::Colour c)
{
    valueOutlineColour = c;
    repaint();
}

void xGUISliderText::setValueOutlineThickness (int pixels)
{
    valueOutlineThickness = pixels;
    repaint();
}

void xGUISliderText::setLabelBounds (int x, int y, int w, int h) { valueLabel->setBounds (x, y, w, h); }

void xGUISliderText::setLabelColour (int colourId, juce::Colour c) { valueLabel->setColour (colourId, c); }

void xGUISliderText::setLabelFont (const juce::Font& font) { valueLabel->setFont (font); }

void xGUISliderText::setLabelText (const juce::String& text) { valueLabel->setText (text, juce::dontSendNotification); }

void xGUISliderText::setSuffix (const juce::String& text) { suffix = text; }

void xGUISliderText::setDisplayRange (double shownMinimum, double shownMaximum)
{
    displayMinimum = shownMinimum;
    displayMaximum = shownMaximum;
    displayDecimals = 1;
}

void xGUISliderText::paint (juce::Graphics& g)
{
    // A fully transparent colour changes no pixel, yet JUCE would still pass
    // over every one of them (four times as many at 2 x): such parts are
    // skipped.
    const auto draw = [&g] (juce::Colour colour, auto&& drawing)
    {
        if (colour.isTransparent())
            return;
        g.setColour (colour);
        drawing();
    };
    draw (backgroundColour, [&] { g.fillRect (0, 0, barWidth, barHeight); });
    draw (backgroundOutlineColour, [&] { g.drawRect (0, 0, barWidth, barHeight, backgroundOutlineThickness); });
    draw (valueColour, [&] { g.fillRect (0, 0, barPosition, barHeight); });
    draw (valueOutlineColour, [&] { g.drawRect (0, 0, barPosition, barHeight, valueOutlineThickness); });
}

void xGUISliderText::resized() {}

void xGUISliderText::lookAndFeelChanged()
{
    juce::Slider::lookAndFeelChanged();
    // The widget draws itself completely; a look's slider effect (the old
    // look's drop shadow) would paint beside the value.
    setComponentEffect (nullptr);
}

void xGUISliderText::mouseDown (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;

    dragNotice = std::make_unique<juce::Slider::ScopedDragNotification> (*this);
    // A press sets the value just as a drag to the same point would.
    mouseDrag (e);
}

void xGUISliderText::mouseDrag (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;

    const int x = e.getPosition().x;

    barPosition = juce::jlimit (0, juce::jmax (0, barWidth), x);
    repaint();

    double newValue;
    if (! (e.mods.isShiftDown() || e.mods.isCtrlDown() || e.mods.isAltDown()))
    {
        newValue = barWidth > 0 ? minimum + (maximum - minimum) / barWidth * x : minimum;
    }
    else
    {
        // Fine mode: one step per mouse event, whatever the distance; an
        // unchanged x counts as a decrease.
        newValue = x > lastDragX ? value + interval : value - interval;
        lastDragX = x;
    }

    setValue (newValue, true);
}

void xGUISliderText::mouseUp (const juce::MouseEvent&) { dragNotice.reset(); }

void xGUISliderText::mouseDoubleClick (const juce::MouseEvent&)
{
    if (editOnDoubleClick && isEnabled())
        valueLabel->showEditor();
}

void xGUISliderText::labelTextChanged (juce::Label* label)
{
    if (label != valueLabel.get())
        return;

    // Typed in display units, unit text optional; setValue clamps.
    const float n = xGUINumberText::leadingNumber (valueLabel->getText());
    const auto v = (float) ((float) (n - displayMinimum) / (displayMaximum - displayMinimum));
    setValue (v, true);
    updateLabelText();
}
