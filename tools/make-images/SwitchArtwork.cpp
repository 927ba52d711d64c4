#include "SwitchArtwork.h"

#include "Canvas.h"
#include "Lettering.h"
#include "Palette.h"

namespace
{
constexpr int powerFrameHeight = 19;
const juce::Point<float> lampCentre { 6.5f, 9.5f };
constexpr float lampRadius = 2.5f;
constexpr float captionX = 12.0f;
constexpr int captionBaseline = 13;

juce::Path powerCaption (int frameTop)
{
    return Lettering::placed (Lettering::fitted (Lettering::sansNarrow, 6.0f, true, "POWER", 28.0f), "POWER",
                              juce::Justification::left, captionX, frameTop + captionBaseline);
}

/** A soft halo of colour around path, drawn as a blurred copy. The halo is
    blurred at the strip's scale, radius in editor pixels. */
void glow (juce::Graphics& g, const juce::Path& path, juce::Rectangle<int> frame, juce::Colour colour, float radius,
           int scale)
{
    auto halo = Canvas::blank (frame.getWidth(), frame.getHeight(), scale);
    {
        juce::Graphics h (halo);
        Canvas::inEditorPixels (h, scale);
        h.setColour (colour);
        h.fillPath (path, juce::AffineTransform::translation (-frame.toFloat().getTopLeft()));
    }
    const auto blurRadius = radius * (float) scale;
    juce::ImageConvolutionKernel blur (juce::roundToInt (blurRadius * 2.0f) + 1);
    blur.createGaussianBlur (blurRadius);
    blur.applyToImage (halo, halo, halo.getBounds());
    if (scale == 1)
        g.drawImageAt (halo, frame.getX(), frame.getY());
    else
        g.drawImageTransformed (halo, juce::AffineTransform::scale (1.0f / (float) scale)
                                          .translated ((float) frame.getX(), (float) frame.getY()));
}
} // namespace

juce::Image SwitchArtwork::createPower (int scale)
{
    auto strip = Canvas::blank (44, 2 * powerFrameHeight, scale);
    juce::Graphics g (strip);
    Canvas::inEditorPixels (g, scale);
    const auto dim = juce::Colour (0xffd3d6da).withAlpha ((juce::uint8) 96);

    // Off: lettering and an unlit lamp seen faintly through the window.
    g.setColour (dim);
    g.fillPath (powerCaption (0));
    g.drawEllipse (juce::Rectangle<float> (lampRadius * 2.0f, lampRadius * 2.0f).withCentre (lampCentre), 1.0f);

    // On: a lighter plate fills the window, lamp and lettering lit.
    const juce::Rectangle<int> on (0, powerFrameHeight, 44, powerFrameHeight);
    g.setGradientFill (juce::ColourGradient::vertical (juce::Colour (0xff575c63), (float) on.getY(),
                                                       juce::Colour (0xff3a3e44), (float) on.getBottom()));
    g.fillRect (on);
    g.setColour (juce::Colours::white.withAlpha (0.28f));
    g.fillRect (on.getX(), on.getY(), on.getWidth(), 1);
    g.fillRect (on.getX(), on.getY() + 1, 1, on.getHeight() - 1);
    g.setColour (juce::Colours::black.withAlpha (0.45f));
    g.fillRect (on.getX() + 1, on.getBottom() - 1, on.getWidth() - 1, 1);
    g.fillRect (on.getRight() - 1, on.getY() + 1, 1, on.getHeight() - 2);

    const auto lamp = juce::Rectangle<float> (lampRadius * 2.0f, lampRadius * 2.0f)
                          .withCentre (lampCentre.translated (0.0f, (float) powerFrameHeight));
    juce::Path lampShape;
    lampShape.addEllipse (lamp);
    const auto caption = powerCaption (powerFrameHeight);

    juce::Path lit (caption);
    lit.addPath (lampShape);
    glow (g, lit, on, palette::lampGlow.withAlpha (0.9f), 2.2f, scale);

    g.setColour (palette::lampLit);
    g.fillPath (caption);
    g.setGradientFill (juce::ColourGradient (juce::Colours::white, lamp.getCentre().translated (-0.6f, -0.6f),
                                             palette::lampGlow, lamp.getBottomRight(), true));
    g.fillEllipse (lamp);
    return strip;
}

juce::Image SwitchArtwork::createInput (int scale)
{
    constexpr int frameHeight = 19;
    auto strip = Canvas::blank (22, 2 * frameHeight, scale);
    juce::Graphics g (strip);
    Canvas::inEditorPixels (g, scale);

    // Square brackets around the mark, symmetric about the frame's centre.
    constexpr int top = frameHeight + 3, bottom = frameHeight + 15, left = 4, right = 17, foot = 2;
    g.setColour (palette::ink.withAlpha (faintAlpha));
    for (auto [edge, inward] : { std::pair { left, 1 }, std::pair { right, -1 } })
    {
        g.fillRect (edge, top, 1, bottom - top + 1);
        const auto footX = inward > 0 ? edge + 1 : edge - foot;
        g.fillRect (footX, top, foot, 1);
        g.fillRect (footX, bottom, foot, 1);
    }
    return strip;
}

juce::Image SwitchArtwork::createStereo (int scale)
{
    constexpr int frameHeight = 10;
    auto strip = Canvas::blank (10, 2 * frameHeight, scale);
    juce::Graphics g (strip);
    Canvas::inEditorPixels (g, scale);

    g.setColour (palette::ink.withAlpha (faintAlpha));
    for (auto frameTop : { 0, frameHeight })
        g.drawRect (1, frameTop + 1, 8, 8, 1);

    g.setColour (palette::ink.withAlpha (dimAlpha));
    g.fillRect (3, frameHeight + 3, 4, 4);
    return strip;
}
