#include "xGUILimiterLPF.h"

xGUILimiterLPF::xGUILimiterLPF()
{
    setSize (150, 61);
    setDryWet (0.0);
}

xGUILimiterLPF::~xGUILimiterLPF() = default;

void xGUILimiterLPF::setShown (bool shouldBeShown)
{
    shown = shouldBeShown;
    rebuild();
}

void xGUILimiterLPF::setColours (juce::Colour fill, juce::Colour outline, juce::Colour level)
{
    fillColour = fill;
    outlineColour = outline;
    levelColour = level;
    repaint();
}

void xGUILimiterLPF::setLineWidths (float outline, float level)
{
    outlineWidth = outline;
    levelLineWidth = level;
    repaint();
}

void xGUILimiterLPF::setDryWet (double x)
{
    levelFraction = (float) (1.0 - x);
    rebuild();
}

void xGUILimiterLPF::rebuild()
{
    levelY = levelFraction * height;

    area.clear();
    area.startNewSubPath (0.0f, height);
    area.lineTo (0.0f, 0.0f);
    area.lineTo (width, 0.0f);
    area.lineTo (width, height);
    area.closeSubPath();

    levelLine.clear();
    levelLine.startNewSubPath (width, levelY);
    levelLine.lineTo (0.0f, levelY);

    repaint();
}

void xGUILimiterLPF::paint (juce::Graphics& g)
{
    if (! shown)
        return;

    g.setColour (fillColour);
    g.fillPath (area);

    if (outlineWidth > 0.0f)
    {
        g.setColour (outlineColour);
        g.strokePath (area,
                      juce::PathStrokeType (outlineWidth, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
    }

    if (levelLineWidth > 0.0f)
    {
        g.setColour (levelColour);
        g.strokePath (levelLine, juce::PathStrokeType (levelLineWidth, juce::PathStrokeType::mitered,
                                                       juce::PathStrokeType::square));
    }
}

void xGUILimiterLPF::resized()
{
    width = (float) getWidth();
    height = (float) getHeight();
}
