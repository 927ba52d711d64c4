#include "InfoPanelArtwork.h"

#include "BrandPainter.h"
#include "Canvas.h"
#include "FaceLayout.h"
#include "Lettering.h"
#include "PanelPainter.h"
#include "Palette.h"

juce::Image InfoPanelArtwork::create (int scale)
{
    auto image = Canvas::blank (layout::editor.getWidth(), layout::editor.getHeight(), scale);
    {
        juce::Graphics g (image);
        Canvas::inEditorPixels (g, scale);
        BrandPainter::ground (g);
    }

    PanelPainter::texture (image, layout::panel.reduced (1), palette::pageTop, palette::pageBottom, 1.6f, 2, scale);

    juce::Graphics g (image);
    Canvas::inEditorPixels (g, scale);
    PanelPainter::frame (g, layout::panel);

    // The text column is centred on the line between the version caption and
    // the version text, so the pair reads as one centred line.
    const auto column = (float) layout::versionText.getX();
    BrandPainter::emblem (g, { column, (float) layout::panel.getCentreY() }, 66.0f,
                          juce::Colours::white.withAlpha (0.045f));

    auto centred = [&g, column] (const juce::Font& font, const juce::String& text, int baseline, juce::Colour colour)
    {
        g.setColour (colour);
        g.fillPath (Lettering::placed (font, text, juce::Justification::horizontallyCentred, column, baseline));
    };

    centred (Lettering::font (Lettering::sans, 7.0f, true, 0.45f), "VELDERANE", 40, palette::pageTextSoft);
    centred (Lettering::font (Lettering::sans, 24.0f, true, 0.12f), "LUMIDOR", 72, palette::pageText);
    centred (Lettering::font (Lettering::sans, 6.0f, false, 0.3f), "STEREO ALGORITHMIC REVERB", 88,
             palette::pageTextSoft);

    g.setColour (palette::pageTextSoft.withAlpha (0.4f));
    g.fillRect (juce::roundToInt (column) - 40, 101, 80, 1);

    // The editor's version label uses a 16.6 px font, vertically centred in
    // its 20-pixel row: its baseline falls on row 130.
    const juce::Font versionFont (Lettering::pageSans, 16.6f, juce::Font::plain);
    g.setColour (palette::pageTextSoft);
    g.fillPath (
        Lettering::placed (versionFont, "Version", juce::Justification::right, column - (float) versionGap, 130));

    centred (juce::Font (Lettering::pageSans, 11.0f, juce::Font::plain), "velderane.example", 152,
             palette::pageTextSoft);
    return image;
}
