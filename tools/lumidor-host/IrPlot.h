#pragma once

#include "ImpulseAnalysis.h"

#include <juce_graphics/juce_graphics.h>

#include <string>
#include <vector>

/** Draws an impulse response into an image: the two channels' waveform, each
    channel's energy decay curves of the whole band and each octave band in
    dB, and the table of RT60 and EDT per band, the mean of both channels and
    each channel's own. Needs the JUCE GUI subsystem for fonts. */
class IrPlot
{
public:
    static constexpr int width = 1200;
    static constexpr int height = 900;

    /** `title` and `subtitle` head the picture (module name; settings). */
    static juce::Image draw (const ImpulseAnalysis& analysis, const std::vector<float>& left,
                             const std::vector<float>& right, const std::string& title, const std::string& subtitle);

    /** Writes the image as PNG through SafeOutputFile: the destination is
        replaced only by a complete file. False with the reason in `error`. */
    static bool writePng (const juce::Image& image, const std::string& path, std::string& error,
                          const std::vector<std::string>& inputs = {});
};
