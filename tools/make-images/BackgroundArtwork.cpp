#include "BackgroundArtwork.h"

#include "BrandPainter.h"
#include "Canvas.h"
#include "FaceLayout.h"
#include "Lettering.h"
#include "PanelPainter.h"
#include "Palette.h"

namespace
{
/** Captions on the face: bold capitals 6 px tall, slightly tracked. */
juce::Font captionFont() { return Lettering::font (Lettering::sans, 6.0f, true, 0.12f); }

void caption (juce::Graphics& g, const juce::String& text, juce::Justification justification, float x, int baseline)
{
    g.setColour (palette::ink);
    g.fillPath (Lettering::placed (captionFont(), text, justification, x, baseline));
}
} // namespace

juce::Image BackgroundArtwork::create (int scale)
{
    auto image = Canvas::blank (layout::editor.getWidth(), layout::editor.getHeight(), scale);
    {
        juce::Graphics g (image);
        Canvas::inEditorPixels (g, scale);
        BrandPainter::ground (g);
    }

    PanelPainter::texture (image, layout::panel.reduced (1), palette::faceTop, palette::faceBottom, 2.4f, 1, scale);

    juce::Graphics g (image);
    Canvas::inEditorPixels (g, scale);
    PanelPainter::frame (g, layout::panel);

    const auto p = layout::panel;
    PanelPainter::screw (g, { p.getX() + 6, p.getY() + 6 }, 3.0f, 0.3f);
    PanelPainter::screw (g, { p.getRight() - 7, p.getY() + 6 }, 3.0f, 1.2f);
    PanelPainter::screw (g, { p.getX() + 6, p.getBottom() - 7 }, 3.0f, 0.9f);
    PanelPainter::screw (g, { p.getRight() - 7, p.getBottom() - 7 }, 3.0f, 0.1f);

    topStrip (g);
    wells (g);
    barCaptions (g);
    return image;
}

void BackgroundArtwork::topStrip (juce::Graphics& g)
{
    // The power window: the switch's lit plate fills it exactly when on.
    PanelPainter::recess (g, layout::powerSwitch, palette::wellTop, palette::wellBottom);

    // Input marks, one centred under each input switch, and the bracket that
    // joins them under the stereo switch.
    const auto markFont = Lettering::font (Lettering::sans, 7.0f, true);
    const auto markBaseline = layout::leftInputSwitch.getCentreY() + 4;
    g.setColour (palette::ink);
    g.fillPath (Lettering::placed (markFont, "L", juce::Justification::horizontallyCentred,
                                   (float) layout::leftInputSwitch.getCentreX(), markBaseline));
    g.fillPath (Lettering::placed (markFont, "R", juce::Justification::horizontallyCentred,
                                   (float) layout::rightInputSwitch.getCentreX(), markBaseline));

    const auto left = layout::leftInputSwitch.getCentreX();
    const auto right = layout::rightInputSwitch.getCentreX();
    const auto bracketY = layout::stereoInputSwitch.getBottom() + 1;
    g.setColour (palette::inkSoft);
    g.fillRect (left, bracketY, right - left + 1, 1);
    g.fillRect (left, bracketY - 2, 1, 2);
    g.fillRect (right, bracketY - 2, 1, 2);

    const auto captionBaseline = layout::leftInputSwitch.getCentreY() + 3;
    caption (g, "INPUT", juce::Justification::left, (float) layout::rightInputSwitch.getRight() + 6.0f,
             captionBaseline);
    caption (g, "VOLUME", juce::Justification::right, (float) layout::volumeBar.getX() - 6.0f, captionBaseline);
}

void BackgroundArtwork::wells (juce::Graphics& g)
{
    for (auto well : { layout::earlyWell, layout::lateWell, layout::listenerWell })
        PanelPainter::recess (g, well, palette::wellTop, palette::wellBottom);

    listenerWellMarks (g);

    const auto tagFont = Lettering::font (Lettering::sans, 5.0f, true, 0.2f);
    g.setColour (palette::displayGrey.withAlpha (0.45f));
    g.fillPath (Lettering::placed (tagFont, "EARLY", juce::Justification::right,
                                   (float) layout::earlyWell.getRight() - 5.0f, layout::earlyWell.getY() + 9));
    g.fillPath (Lettering::placed (tagFont, "LATE", juce::Justification::right,
                                   (float) layout::lateWell.getRight() - 5.0f, layout::lateWell.getY() + 9));
}

void BackgroundArtwork::listenerWellMarks (juce::Graphics& g)
{
    const auto well = layout::listenerWell;

    // Cross-hair through the middle of the listening field: the listener
    // marker rides its horizontal line.
    const auto centreRow = layout::listenerDisplay.getY() + 30;
    const auto centreColumn = well.getCentreX();
    g.setColour (juce::Colours::white.withAlpha (0.07f));
    for (int x = well.getX() + 12; x < well.getRight() - 3; x += 2)
        g.fillRect (x, centreRow, 1, 1);
    for (int y = well.getY() + 4; y < well.getBottom() - 3; y += 2)
        g.fillRect (centreColumn, y, 1, 1);

    loudspeaker (g, { well.getX() + 2, well.getY() + 5 });
    loudspeaker (g, { well.getX() + 2, well.getBottom() - 14 });
}

void BackgroundArtwork::loudspeaker (juce::Graphics& g, juce::Point<int> topLeft)
{
    // 7 x 9 pixels: a magnet block and a cone opening to the right.
    const auto x = (float) topLeft.x, y = (float) topLeft.y;
    juce::Path cone;
    cone.startNewSubPath (x + 2.0f, y + 3.0f);
    cone.lineTo (x + 6.5f, y + 0.5f);
    cone.lineTo (x + 6.5f, y + 8.5f);
    cone.lineTo (x + 2.0f, y + 6.0f);
    cone.closeSubPath();

    g.setColour (palette::displayGrey.withAlpha (0.75f));
    g.fillRect (topLeft.x, topLeft.y + 3, 2, 3);
    g.fillPath (cone);
}

void BackgroundArtwork::barCaptions (juce::Graphics& g)
{
    const auto font = captionFont();

    for (const auto& bar : layout::lowerBars)
    {
        const auto x = (float) bar.bounds.getX();
        const auto baseline = bar.bounds.getY() - 4;
        caption (g, bar.caption, juce::Justification::left, x, baseline);

        const auto ruleStart = bar.bounds.getX() + juce::roundToInt (Lettering::inkWidth (font, bar.caption)) + 5;
        PanelPainter::rule (g, ruleStart, bar.bounds.getRight() - 1, baseline - 4);
    }
}
