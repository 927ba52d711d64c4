#include "BrandPainter.h"

#include "FaceLayout.h"
#include "Lettering.h"
#include "PanelPainter.h"
#include "Palette.h"

void BrandPainter::emblem (juce::Graphics& g, juce::Point<float> centre, float radius, juce::Colour colour)
{
    const auto stroke = juce::jmax (1.0f, radius * 0.085f);
    const auto ring = juce::Rectangle<float> (radius * 2.0f, radius * 2.0f).withCentre (centre);
    g.setColour (colour);
    g.drawEllipse (ring.reduced (stroke * 0.5f), stroke);

    // A V and, above it, two echoes of it that fade as they rise, cut off by
    // the ring.
    juce::Path inside;
    inside.addEllipse (ring.reduced (stroke * 1.8f));
    juce::Graphics::ScopedSaveState saved (g);
    g.reduceClipRegion (inside);

    constexpr float echoAlpha[] = { 1.0f, 0.5f, 0.22f };
    const auto rise = radius * 0.3f;
    for (int i = 0; i < 3; ++i)
    {
        const auto tip = centre + juce::Point<float> (0.0f, radius * 0.52f - rise * (float) i);
        juce::Path v;
        v.startNewSubPath (tip.x - radius * 0.62f, tip.y - radius * 1.1f);
        v.lineTo (tip);
        v.lineTo (tip.x + radius * 0.62f, tip.y - radius * 1.1f);

        g.setColour (colour.withMultipliedAlpha (echoAlpha[i]));
        g.strokePath (v, juce::PathStrokeType (stroke * (i == 0 ? 1.4f : 1.0f), juce::PathStrokeType::mitered,
                                               juce::PathStrokeType::butt));
    }
}

void BrandPainter::ground (juce::Graphics& g)
{
    g.fillAll (palette::ground);
    logo (g, layout::infoButton);
    namePlate (g, { 262, 174, 168, 38 });
}

void BrandPainter::logo (juce::Graphics& g, juce::Rectangle<int> area)
{
    const auto centreY = (float) area.getCentreY();
    emblem (g, { (float) area.getX() + 17.0f, centreY }, 13.0f, palette::brand);

    // Word mark and tag line share one measure, ending inside the button.
    const auto wordX = (float) area.getX() + 38.0f;
    const auto measure = (float) area.getRight() - 7.0f - wordX;
    const auto wordFont = Lettering::fitted (Lettering::sans, 8.0f, true, "VELDERANE", measure);
    g.setColour (palette::brand);
    g.fillPath (Lettering::placed (wordFont, "VELDERANE", juce::Justification::left, wordX, (int) centreY + 1));

    const auto tagFont = Lettering::fitted (Lettering::sans, 5.0f, false, "STUDIO INSTRUMENTS", measure);
    g.setColour (palette::brandSoft);
    g.fillPath (
        Lettering::placed (tagFont, "STUDIO INSTRUMENTS", juce::Justification::left, wordX, (int) centreY + 10));
}

void BrandPainter::namePlate (juce::Graphics& g, juce::Rectangle<int> area)
{
    // A brushed plate screwed to the ground, lettering cut into it.
    g.setColour (juce::Colours::white.withAlpha (0.08f));
    g.fillRect (area.expanded (1));

    g.setGradientFill (juce::ColourGradient::vertical (juce::Colour (0xff3a3d41), (float) area.getY(),
                                                       juce::Colour (0xff1d1f22), (float) area.getBottom()));
    g.fillRect (area);

    g.setColour (juce::Colours::white.withAlpha (0.22f));
    g.fillRect (area.getX(), area.getY(), area.getWidth(), 1);
    g.fillRect (area.getX(), area.getY(), 1, area.getHeight());
    g.setColour (juce::Colours::black.withAlpha (0.6f));
    g.fillRect (area.getX() + 1, area.getBottom() - 1, area.getWidth() - 1, 1);
    g.fillRect (area.getRight() - 1, area.getY() + 1, 1, area.getHeight() - 1);

    const auto nameFont = Lettering::fitted (Lettering::sans, 17.0f, true, "LUMIDOR", (float) area.getWidth() - 36.0f);
    const auto centreX = (float) area.getCentreX();
    const auto baseline = area.getCentreY() + 8;

    g.setColour (juce::Colours::black.withAlpha (0.7f));
    g.fillPath (
        Lettering::placed (nameFont, "LUMIDOR", juce::Justification::horizontallyCentred, centreX, baseline - 1));
    g.setGradientFill (juce::ColourGradient::vertical (juce::Colour (0xffeef0f2), (float) (baseline - 17),
                                                       juce::Colour (0xffa9adb2), (float) baseline));
    g.fillPath (Lettering::placed (nameFont, "LUMIDOR", juce::Justification::horizontallyCentred, centreX, baseline));

    PanelPainter::screw (g, { area.getX() + 7, area.getCentreY() }, 2.5f, 0.4f);
    PanelPainter::screw (g, { area.getRight() - 8, area.getCentreY() }, 2.5f, 1.1f);
}
