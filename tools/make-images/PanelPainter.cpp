#include "PanelPainter.h"

#include "Palette.h"

void PanelPainter::texture (juce::Image& image, juce::Rectangle<int> area, juce::Colour top, juce::Colour bottom,
                            float grain, int seed, int scale)
{
    juce::Random random (seed);
    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readWrite);
    area = (area * scale).getIntersection (image.getBounds());

    // Brushing: each row carries a slowly wandering offset along x, so the
    // grain reads as fine horizontal strokes rather than sand.
    constexpr float strokeSmoothing = 0.9f;
    constexpr float strokeShare = 0.6f;

    for (int y = area.getY(); y < area.getBottom(); ++y)
    {
        const auto proportion =
            area.getHeight() > 1 ? (float) (y - area.getY()) / (float) (area.getHeight() - 1) : 0.0f;
        const auto base = top.interpolatedWith (bottom, proportion);
        const auto rowOffset = (random.nextFloat() - 0.5f) * grain * 0.5f;
        auto stroke = 0.0f;

        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const auto noise = (random.nextFloat() + random.nextFloat() + random.nextFloat() - 1.5f) * grain;
            stroke = stroke * strokeSmoothing + (random.nextFloat() - 0.5f) * grain * (1.0f - strokeSmoothing) * 6.0f;
            const auto delta = rowOffset + noise * (1.0f - strokeShare) + stroke * strokeShare;

            auto channel = [delta] (juce::uint8 level)
            {
                return (juce::uint8) juce::jlimit (0, 255, juce::roundToInt ((float) level + delta));
            };

            pixels.setPixelColour (x, y,
                                   juce::Colour (channel (base.getRed()), channel (base.getGreen()),
                                                 channel (base.getBlue())));
        }
    }
}

void PanelPainter::frame (juce::Graphics& g, juce::Rectangle<int> area)
{
    const auto x = area.getX(), y = area.getY(), r = area.getRight() - 1, b = area.getBottom() - 1;

    g.setColour (palette::frameLit);
    g.fillRect (x, y, area.getWidth(), 1);
    g.fillRect (x, y, 1, area.getHeight());

    g.setColour (palette::frameShade);
    g.fillRect (x + 1, b, area.getWidth() - 1, 1);
    g.fillRect (r, y + 1, 1, area.getHeight() - 1);

    // A faint dark line just inside the frame lets the face sit a hair below
    // its edge, like a plate set into a bezel.
    g.setColour (juce::Colours::black.withAlpha (0.16f));
    g.fillRect (x + 1, y + 1, area.getWidth() - 2, 1);
    g.fillRect (x + 1, y + 2, 1, area.getHeight() - 3);
}

void PanelPainter::recess (juce::Graphics& g, juce::Rectangle<int> inside, juce::Colour top, juce::Colour bottom)
{
    const auto x = inside.getX(), y = inside.getY(), w = inside.getWidth(), h = inside.getHeight();

    g.setGradientFill (juce::ColourGradient::vertical (top, (float) y, bottom, (float) (y + h)));
    g.fillRect (inside);

    // Shadow cast on the floor by the upper and left walls, fading over three
    // pixels from the wall.
    constexpr float shadow[] = { 0.55f, 0.28f, 0.12f };
    for (int i = 0; i < 3; ++i)
    {
        g.setColour (juce::Colours::black.withAlpha (shadow[i]));
        g.fillRect (x + i, y + i, w - i, 1);
        g.setColour (juce::Colours::black.withAlpha (shadow[i] * 0.6f));
        g.fillRect (x + i, y + i + 1, 1, h - i - 1);
    }

    g.setColour (palette::rimShade);
    g.fillRect (x - 1, y - 1, w + 1, 1);
    g.fillRect (x - 1, y, 1, h);

    g.setColour (palette::rimLit);
    g.fillRect (x - 1, y + h, w + 2, 1);
    g.fillRect (x + w, y - 1, 1, h + 1);
}

void PanelPainter::rule (juce::Graphics& g, int x1, int x2, int y)
{
    g.setColour (palette::cut);
    g.fillRect (x1, y, x2 - x1 + 1, 1);
    g.setColour (palette::lip);
    g.fillRect (x1, y + 1, x2 - x1 + 1, 1);
}

void PanelPainter::screw (juce::Graphics& g, juce::Point<int> centrePixel, float radius, float slotAngle)
{
    const auto centre = centrePixel.toFloat() + juce::Point<float> (0.5f, 0.5f);
    const auto head = juce::Rectangle<float> (radius * 2.0f, radius * 2.0f).withCentre (centre);

    // The countersink: a shaded ring open towards the light.
    g.setColour (juce::Colours::black.withAlpha (0.35f));
    g.fillEllipse (head.expanded (1.0f));
    g.setColour (palette::rimLit.withAlpha (0.8f));
    g.fillEllipse (head.expanded (1.0f).translated (0.6f, 0.6f));

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffe9ebed), head.getTopLeft(), juce::Colour (0xff8d9196),
                                             head.getBottomRight(), false));
    g.fillEllipse (head);

    const auto slot = juce::Line<float> (centre.x - radius * 0.75f, centre.y, centre.x + radius * 0.75f, centre.y);
    g.setColour (juce::Colour (0xff4a4e53));
    for (auto angle : { slotAngle, slotAngle + juce::MathConstants<float>::halfPi })
    {
        const auto rotation = juce::AffineTransform::rotation (angle, centre.x, centre.y);
        auto line = slot;
        line.applyTransform (rotation);
        g.drawLine (line, 1.0f);
    }
}
