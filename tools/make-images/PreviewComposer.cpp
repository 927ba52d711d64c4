#include "PreviewComposer.h"

#include "FaceLayout.h"
#include "ListenerStripArtwork.h"
#include "PngFile.h"

namespace
{
/** Draws the on or off frame of a two-frame strip as the switch widgets do. */
void switchFrame (juce::Graphics& g, const juce::Image& strip, juce::Rectangle<int> bounds, bool on)
{
    juce::Graphics::ScopedSaveState saved (g);
    g.reduceClipRegion (bounds);
    g.drawImageAt (strip, bounds.getX(), bounds.getY() - (on ? bounds.getHeight() : 0));
}

juce::String percent (float value) { return juce::String (value * 100.0f, 1) + "%"; }
} // namespace

bool PreviewComposer::writeAll (const Artwork& artwork, const juce::File& folder)
{
    if (! folder.createDirectory())
        return false;

    const EditorState defaults { true, false, false, true, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f };
    const EditorState moved { false, true, false, false, 0.9f, 0.25f, 0.85f, 1.0f, 1.0f, 0.2f, 0.75f };
    const EditorState near { true, false, true, false, 0.15f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f };

    auto info = editor (artwork, defaults);
    {
        juce::Graphics g (info);
        g.drawImageAt (artwork.infoPanel, 0, 0);
        g.setColour (juce::Colour (0xfffbfbfb));
        g.setFont (juce::Font ("DejaVu Sans", 16.6f, juce::Font::plain));
        g.drawText ("R1.2.0", layout::versionText.withTrimmedLeft (5), juce::Justification::centredLeft, false);
    }

    // Switch strips whose marks are dark ink for the light face are shown
    // over a light ground.
    const std::tuple<const char*, juce::Image, bool> pictures[] = {
        { "editor-default", editor (artwork, defaults), false },
        { "editor-moved", editor (artwork, moved), false },
        { "editor-near", editor (artwork, near), false },
        { "editor-info", info, false },
        { "backgroundImage", artwork.background, false },
        { "infoPanelImage", artwork.infoPanel, false },
        { "powerSwitchImage", artwork.powerSwitch, false },
        { "inputSwitchImage", artwork.inputSwitch, true },
        { "stereoSwitchImage", artwork.stereoSwitch, true },
        { "listenerStripTop", artwork.listenerStrip.getClippedImage ({ 0, 0, 121, 61 * 3 }), false },
    };

    const std::pair<const char*, juce::Rectangle<int>> details[] = {
        { "detail-top-left", { 18, 14, 150, 50 } },  { "detail-top-right", { 230, 14, 201, 50 } },
        { "detail-listener", { 290, 34, 141, 66 } }, { "detail-captions", { 18, 95, 150, 69 } },
        { "detail-logo", { 40, 163, 140, 60 } },     { "detail-plate", { 255, 168, 180, 50 } },
    };
    const auto composed = editor (artwork, defaults);
    for (const auto& [name, area] : details)
        if (! PngFile::write (enlarged (composed.getClippedImage (area), 6),
                              folder.getChildFile (juce::String (name) + "-x6.png")))
            return false;
    if (! PngFile::write (enlarged (info.getClippedImage ({ 150, 100, 200, 63 }), 6),
                          folder.getChildFile ("detail-version-x6.png")))
        return false;

    for (const auto& [name, image, lightGround] : pictures)
    {
        const auto stem = juce::String (name);
        if (! PngFile::write (image, folder.getChildFile (stem + ".png"))
            || ! PngFile::write (enlarged (image, 3, lightGround), folder.getChildFile (stem + "-x3.png")))
            return false;
    }
    return true;
}

juce::Image PreviewComposer::editor (const Artwork& artwork, const EditorState& state)
{
    auto image = artwork.background.createCopy();
    juce::Graphics g (image);

    switchFrame (g, artwork.powerSwitch, layout::powerSwitch, state.power);
    switchFrame (g, artwork.inputSwitch, layout::leftInputSwitch, state.left);
    switchFrame (g, artwork.inputSwitch, layout::rightInputSwitch, state.right);
    switchFrame (g, artwork.stereoSwitch, layout::stereoInputSwitch, state.stereo);

    const float values[] = {
        state.earlySize, state.lateSize, state.listener, state.diffusion, state.decay, state.dryWet
    };
    for (size_t i = 0; i < std::size (layout::lowerBars); ++i)
        bar (g, layout::lowerBars[i].bounds, values[i], percent (values[i]));
    bar (g, layout::volumeBar, state.volume, juce::String (state.volume * 24.0f - 12.0f, 1) + "db");

    displays (g, state);

    const auto frame = (int) (state.listener * (float) (ListenerStripArtwork::frameCount - 1));
    {
        juce::Graphics::ScopedSaveState saved (g);
        g.reduceClipRegion (layout::listenerDisplay);
        g.drawImageAt (artwork.listenerStrip, layout::listenerDisplay.getX(),
                       layout::listenerDisplay.getY() - frame * ListenerStripArtwork::frameHeight);
    }
    return image;
}

void PreviewComposer::bar (juce::Graphics& g, juce::Rectangle<int> bounds, float value, const juce::String& text)
{
    juce::Graphics::ScopedSaveState saved (g);
    g.reduceClipRegion (bounds);

    g.setColour (juce::Colour (0x50000000));
    g.drawRect (bounds.withWidth ((int) (value * (float) bounds.getWidth())), 1);

    const auto label = bounds.withHeight (14);
    g.setColour (juce::Colour (0x33bcbec1));
    g.fillRect (label);
    g.setColour (juce::Colour (0x66000000));
    g.setFont (juce::Font ("Liberation Sans", 12.0f, juce::Font::bold));
    g.drawText (text, label.reduced (5, 1), juce::Justification::centred, false);
}

void PreviewComposer::displays (juce::Graphics& g, const EditorState& state)
{
    const auto lineColour = juce::Colour (0xdd8f9295);
    const auto lineCount = (int) (state.diffusion * 20.0f + 3.0f);

    for (auto [area, size] :
         { std::pair { layout::earlyDisplay, state.earlySize }, std::pair { layout::lateDisplay, state.lateSize } })
    {
        const auto extent = (float) area.getWidth() * size;
        g.setColour (lineColour);
        for (int i = 0; extent > 0.0f && i < lineCount; ++i)
        {
            const auto x = (int) (extent * (float) i / (float) lineCount);
            const auto top = (float) area.getHeight() * (float) i / (float) lineCount;
            g.drawVerticalLine (area.getX() + x, (float) area.getY() + top, (float) area.getBottom());
        }
    }

    const auto late = layout::lateDisplay.toFloat();
    juce::Path triangle;
    triangle.startNewSubPath (late.getX() + 16.0f, late.getY());
    triangle.lineTo (late.getX() + 16.0f + (late.getWidth() - 16.0f) * state.decay, late.getBottom());
    triangle.lineTo (late.getX(), late.getBottom());
    triangle.closeSubPath();
    g.setColour (juce::Colour (0xccbcbec1));
    g.fillPath (triangle);
    g.setColour (lineColour);
    g.strokePath (triangle, juce::PathStrokeType (2.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));

    const auto dryWet = layout::dryWetDisplay.toFloat();
    g.setColour (juce::Colour (0x0fffffff));
    g.fillRect (dryWet);
    const auto levelY = dryWet.getY() + (1.0f - state.dryWet) * dryWet.getHeight();
    g.setColour (lineColour);
    g.drawLine (dryWet.getRight(), levelY, dryWet.getX(), levelY, 1.0f);
}

juce::Image PreviewComposer::enlarged (const juce::Image& image, int factor, bool lightGround)
{
    juce::Image big (juce::Image::ARGB, image.getWidth() * factor, image.getHeight() * factor, false,
                     juce::SoftwareImageType());
    const juce::Image::BitmapData source (image, juce::Image::BitmapData::readOnly);
    const juce::Image::BitmapData target (big, juce::Image::BitmapData::writeOnly);

    for (int y = 0; y < big.getHeight(); ++y)
    {
        for (int x = 0; x < big.getWidth(); ++x)
        {
            const auto even = (x / 6 + y / 6) % 2 == 0;
            const auto check = lightGround ? juce::Colour (even ? 0xffc4c7ca : 0xffd2d4d7)
                                           : juce::Colour (even ? 0xff1c1e21 : 0xff34373b);
            target.setPixelColour (x, y, check.overlaidWith (source.getPixelColour (x / factor, y / factor)));
        }
    }
    return big;
}
