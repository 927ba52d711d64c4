#include "IrPlot.h"

#include "SafeOutputFile.h"

#include <cmath>

namespace
{
const juce::Colour background (0xfff7f5f0);
const juce::Colour panel (0xffffffff);
const juce::Colour ink (0xff20242a);
const juce::Colour grid (0xffdedad2);
const juce::Colour leftColour (0xff2f6db5);
const juce::Colour rightColour (0xffd9822b);

/** One colour per octave band, low to high, and dark ink for the whole band. */
juce::Colour bandColour (size_t bandIndex)
{
    static const juce::uint32 colours[] = { 0xff8c2d19, 0xffc8553d, 0xffe0a030, 0xff6a9a3a,
                                            0xff2a9d8f, 0xff2f6db5, 0xff6c4ab6 };
    return bandIndex == 0 ? ink : juce::Colour (colours[(bandIndex - 1) % 7]);
}

constexpr float decayFloorDb = -80.0f;
constexpr int margin = 24;
/** What counts as the direct sound at the start of the response, in seconds. */
constexpr double directSeconds = 0.005;
constexpr int axisLeft = 70;

juce::String number (double s) { return std::isfinite (s) ? juce::String (s, s < 10.0 ? 2 : 1) : juce::String ("n/a"); }

juce::String seconds (double s) { return std::isfinite (s) ? number (s) + " s" : number (s); }

/** A "nice" grid step for an axis spanning `range`. */
double gridStep (double range, int wantedLines)
{
    const double raw = range / wantedLines;
    const double power = std::pow (10.0, std::floor (std::log10 (raw)));
    for (double m : { 1.0, 2.0, 5.0, 10.0 })
        if (m * power >= raw)
            return m * power;
    return 10.0 * power;
}

void drawTimeAxis (juce::Graphics& g, juce::Rectangle<float> area, double duration)
{
    const double step = gridStep (duration, 10);
    g.setFont (13.0f);
    for (double t = 0.0; t <= duration + 1e-9; t += step)
    {
        const float x = area.getX() + (float) (t / duration) * area.getWidth();
        g.setColour (grid);
        g.drawVerticalLine ((int) x, area.getY(), area.getBottom());
        g.setColour (ink);
        g.drawText (juce::String (t, step < 1.0 ? 1 : 0) + " s", (int) x - 30, (int) area.getBottom() + 2, 60, 16,
                    juce::Justification::centred);
    }
}

/** How much of the response is worth showing, in seconds: until every decay
    curve has fallen below the plot's floor, with some room after it. */
double shownSeconds (const ImpulseAnalysis& analysis)
{
    size_t end = 0;
    for (const auto& band : analysis.bands())
        for (const auto& channel : band.channels)
        {
            size_t i = 0;
            while (i < channel.decayDb.size() && channel.decayDb[i] > decayFloorDb)
                ++i;
            end = std::max (end, i);
        }
    const double seconds = std::max (0.2, (double) end * 1.15 / ImpulseAnalysis::curveRate);
    const double step = gridStep (seconds, 8);
    return std::min (analysis.seconds(), std::ceil (seconds / step) * step);
}

void drawWaveform (juce::Graphics& g, juce::Rectangle<float> area, const std::vector<float>& fullLeft,
                   const std::vector<float>& fullRight, double sampleRate, size_t shown)
{
    g.setColour (panel);
    g.fillRect (area);
    const std::vector<float> left (fullLeft.begin(), fullLeft.begin() + (long) shown);
    const std::vector<float> right (fullRight.begin(), fullRight.begin() + (long) shown);
    const double duration = left.size() / sampleRate;
    drawTimeAxis (g, area, duration);

    // A strong direct sound would flatten the reverberation into a line, so
    // the scale follows what comes after the first few milliseconds and the
    // direct sound is clipped (and said to be).
    const auto directLength = (size_t) (directSeconds * sampleRate);
    float peak = 1.0e-9f, laterPeak = 1.0e-9f;
    for (size_t i = 0; i < left.size(); ++i)
    {
        const float v = std::max (std::abs (left[i]), std::abs (right[i]));
        peak = std::max (peak, v);
        if (i >= directLength)
            laterPeak = std::max (laterPeak, v);
    }
    const bool clipped = laterPeak < 0.5f * peak;
    if (clipped)
        peak = laterPeak;
    if (! std::isfinite (peak))
        peak = 1.0f;

    const float mid = area.getCentreY();
    g.setColour (grid.darker (0.2f));
    g.drawHorizontalLine ((int) mid, area.getX(), area.getRight());

    // Min and max per pixel column; right drawn over left, half transparent.
    const int columns = (int) area.getWidth();
    for (int pass = 0; pass < 2; ++pass)
    {
        const auto& x = pass == 0 ? left : right;
        g.setColour ((pass == 0 ? leftColour : rightColour).withAlpha (pass == 0 ? 0.9f : 0.6f));
        for (int c = 0; c < columns; ++c)
        {
            const size_t a = (size_t) ((double) c / columns * x.size());
            const size_t b = std::max (a + 1, (size_t) ((double) (c + 1) / columns * x.size()));
            float lo = 0.0f, hi = 0.0f;
            for (size_t i = a; i < b && i < x.size(); ++i)
            {
                lo = std::min (lo, x[i]);
                hi = std::max (hi, x[i]);
            }
            const float y0 = mid - std::min (1.0f, hi / peak) * area.getHeight() * 0.48f;
            const float y1 = mid - std::max (-1.0f, lo / peak) * area.getHeight() * 0.48f;
            g.fillRect (area.getX() + (float) c, y0, 1.0f, std::max (1.0f, y1 - y0));
        }
    }

    g.setColour (ink);
    g.setFont (13.0f);
    g.drawText ("+" + juce::String (peak, 3), (int) area.getX() - axisLeft, (int) area.getY() - 2, axisLeft - 6, 16,
                juce::Justification::centredRight);
    g.drawText ("-" + juce::String (peak, 3), (int) area.getX() - axisLeft, (int) area.getBottom() - 14, axisLeft - 6,
                16, juce::Justification::centredRight);
    if (clipped)
        g.drawText ("direct sound clipped", (int) area.getX() + 8, (int) area.getY() + 4, 200, 16,
                    juce::Justification::centredLeft);
    g.setFont (juce::Font (14.0f, juce::Font::bold));
    g.setColour (leftColour);
    g.drawText ("left", (int) area.getRight() - 110, (int) area.getY() + 4, 50, 16, juce::Justification::centredRight);
    g.setColour (rightColour);
    g.drawText ("right", (int) area.getRight() - 56, (int) area.getY() + 4, 50, 16, juce::Justification::centredRight);
    g.setColour (ink);
    g.drawRect (area);
}

void drawDecayCurves (juce::Graphics& g, juce::Rectangle<float> area, const ImpulseAnalysis& analysis, double duration)
{
    g.setColour (panel);
    g.fillRect (area);
    const auto& bands = analysis.bands();
    drawTimeAxis (g, area, duration);

    g.setFont (13.0f);
    for (float db = 0.0f; db >= decayFloorDb; db -= 10.0f)
    {
        const float y = area.getY() + db / decayFloorDb * area.getHeight();
        g.setColour (grid);
        g.drawHorizontalLine ((int) y, area.getX(), area.getRight());
        g.setColour (ink);
        g.drawText (juce::String ((int) db) + " dB", (int) area.getX() - axisLeft, (int) y - 8, axisLeft - 6, 16,
                    juce::Justification::centredRight);
    }

    // Left solid, right dashed; the whole band on top.
    const int columns = (int) area.getWidth();
    const float dashes[] = { 6.0f, 4.0f };
    for (size_t b = bands.size(); b-- > 0;)
        for (size_t c = 0; c < 2; ++c)
        {
            const auto& curve = bands[b].channels[c].decayDb;
            if (curve.empty())
                continue;
            const size_t points = std::min (curve.size(), (size_t) std::ceil (duration * ImpulseAnalysis::curveRate));
            juce::Path path;
            for (int col = 0; col <= columns; ++col)
            {
                const size_t i = std::min (points - 1, (size_t) ((double) col / columns * points));
                const float db = std::max (decayFloorDb, curve[i]);
                const float x = area.getX() + (float) col;
                const float y = area.getY() + db / decayFloorDb * area.getHeight();
                if (col == 0)
                    path.startNewSubPath (x, y);
                else
                    path.lineTo (x, y);
            }
            const juce::PathStrokeType stroke (b == 0 ? 3.0f : 1.6f);
            g.setColour (bandColour (b));
            if (c == 0)
                g.strokePath (path, stroke);
            else
            {
                juce::Path dashed;
                stroke.createDashedStroke (dashed, path, dashes, 2);
                g.fillPath (dashed);
            }
        }

    // Legend in the upper right corner.
    g.setFont (13.0f);
    float y = area.getY() + 8.0f;
    for (size_t b = 0; b < bands.size(); ++b, y += 17.0f)
    {
        g.setColour (bandColour (b));
        g.fillRect (area.getRight() - 96.0f, y + 6.0f, 22.0f, b == 0 ? 3.0f : 2.0f);
        g.setColour (ink);
        g.drawText (b == 0 ? juce::String ("all bands") : juce::String (bands[b].label), (int) area.getRight() - 70,
                    (int) y, 64, 16, juce::Justification::centredLeft);
    }
    g.drawText ("left solid, right dashed", (int) area.getRight() - 176, (int) y + 2, 170, 16,
                juce::Justification::centredRight);
    g.drawRect (area);
}

void drawTable (juce::Graphics& g, juce::Rectangle<float> area, const ImpulseAnalysis& analysis)
{
    const auto& bands = analysis.bands();
    const float labelWidth = 150.0f;
    const float cell = (area.getWidth() - labelWidth) / (float) bands.size();
    constexpr int rowCount = 5;
    const float row = area.getHeight() / (float) rowCount;
    const char* rows[rowCount] = { "band", "RT60, mean", "EDT, mean", "RT60 left / right", "EDT left / right" };

    for (int r = 0; r < rowCount; ++r)
    {
        const float y = area.getY() + r * row;
        g.setColour (r == 0 ? grid : panel);
        g.fillRect (area.getX(), y, area.getWidth(), row);
        g.setColour (ink);
        g.setFont (juce::Font (14.0f, juce::Font::bold));
        g.drawText (rows[r], (int) area.getX() + 8, (int) y, (int) labelWidth - 8, (int) row,
                    juce::Justification::centredLeft);

        for (size_t b = 0; b < bands.size(); ++b)
        {
            const auto& mean = bands[b].figures;
            const auto& left = bands[b].channels[0].figures;
            const auto& right = bands[b].channels[1].figures;
            juce::String text;
            if (r == 0)
                text = b == 0 ? "all" : bands[b].label;
            else if (r == 1)
                text = seconds (mean.rt60) + (mean.rtSource.empty() ? "" : " (" + juce::String (mean.rtSource) + ")");
            else if (r == 2)
                text = seconds (mean.edt);
            else if (r == 3)
                text = number (left.rt60) + " / " + number (right.rt60);
            else
                text = number (left.edt) + " / " + number (right.edt);
            g.setColour (r == 0 ? bandColour (b) : ink);
            g.setFont (juce::Font (r >= 3 ? 13.0f : 14.0f, r == 0 || b == 0 ? juce::Font::bold : juce::Font::plain));
            g.drawText (text, (int) (area.getX() + labelWidth + b * cell), (int) y, (int) cell, (int) row,
                        juce::Justification::centred);
        }
    }
    g.setColour (ink);
    g.drawRect (area);
}
}

juce::Image IrPlot::draw (const ImpulseAnalysis& analysis, const std::vector<float>& left,
                          const std::vector<float>& right, const std::string& title, const std::string& subtitle)
{
    juce::Image image (juce::Image::RGB, width, height, true);
    juce::Graphics g (image);
    g.fillAll (background);

    g.setColour (ink);
    g.setFont (juce::Font (24.0f, juce::Font::bold));
    g.drawText (juce::String (title), margin, 12, width - 2 * margin, 30, juce::Justification::centredLeft);
    g.setFont (14.0f);
    g.drawFittedText (juce::String (subtitle), margin, 42, width - 2 * margin, 18, juce::Justification::centredLeft, 1);

    const float plotLeft = (float) (margin + axisLeft);
    const float plotWidth = (float) (width - margin) - plotLeft;

    g.setFont (juce::Font (15.0f, juce::Font::bold));
    g.drawText ("Impulse response", (int) plotLeft, 70, 400, 18, juce::Justification::centredLeft);
    const double shown = shownSeconds (analysis);
    drawWaveform (g, { plotLeft, 92.0f, plotWidth, 220.0f }, left, right, analysis.sampleRate(),
                  std::min (left.size(), (size_t) std::llround (shown * analysis.sampleRate())));

    g.setColour (ink);
    g.setFont (juce::Font (15.0f, juce::Font::bold));
    g.drawText ("Energy decay (Schroeder integral from each channel's start), whole band and octave bands",
                (int) plotLeft, 338, 900, 18, juce::Justification::centredLeft);
    drawDecayCurves (g, { plotLeft, 360.0f, plotWidth, 340.0f }, analysis, shown);

    g.setColour (ink);
    g.setFont (juce::Font (15.0f, juce::Font::bold));
    g.drawText ("Decay times in seconds (ISO 3382-1 fits; RT60 from T30, else T20)", margin, 724, 900, 18,
                juce::Justification::centredLeft);
    drawTable (g, { (float) margin, 746.0f, (float) (width - 2 * margin), 140.0f }, analysis);
    return image;
}

bool IrPlot::writePng (const juce::Image& image, const std::string& path, std::string& error,
                       const std::vector<std::string>& inputs)
{
    juce::MemoryOutputStream bytes;
    juce::PNGImageFormat png;
    if (! png.writeImageToStream (image, bytes))
    {
        error = "cannot encode the picture for " + path;
        return false;
    }
    return SafeOutputFile::writeWhole (path, bytes.getData(), bytes.getDataSize(), error, inputs);
}
