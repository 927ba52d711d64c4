#pragma once

#include <juce_graphics/juce_graphics.h>

/** Where the editor puts its widgets, in editor pixels (x, y, width, height).
    The artwork is drawn around these bounds so that every switch frame, bar
    and display lands on its mark. */
namespace layout
{
inline const juce::Rectangle<int> editor { 0, 0, 450, 223 };

/** The light face plate on the black ground, frame included. */
inline const juce::Rectangle<int> panel { 18, 15, 413, 149 };

inline const juce::Rectangle<int> powerSwitch { 30, 17, 44, 19 };
inline const juce::Rectangle<int> leftInputSwitch { 92, 17, 22, 19 };
inline const juce::Rectangle<int> rightInputSwitch { 128, 17, 22, 19 };
inline const juce::Rectangle<int> stereoInputSwitch { 116, 22, 10, 10 };
inline const juce::Rectangle<int> volumeBar { 296, 21, 121, 12 };

/** The three recessed display wells (inside of the rim). */
inline const juce::Rectangle<int> earlyWell { 32, 38, 121, 58 };
inline const juce::Rectangle<int> lateWell { 164, 38, 121, 58 };
inline const juce::Rectangle<int> listenerWell { 296, 38, 121, 58 };

inline const juce::Rectangle<int> earlyDisplay { 38, 41, 110, 55 };
inline const juce::Rectangle<int> lateDisplay { 170, 41, 110, 55 };
inline const juce::Rectangle<int> listenerDisplay { 296, 37, 121, 61 };
inline const juce::Rectangle<int> dryWetDisplay { 318, 41, 78, 55 };

/** The six parameter bars of the two lower rows, with their captions. */
struct CaptionedBar
{
    juce::Rectangle<int> bounds;
    const char* caption;
};

inline const CaptionedBar lowerBars[] = {
    { { 32, 113, 121, 12 }, "EARLY SIZE" }, { { 164, 113, 121, 12 }, "LATE SIZE" },
    { { 296, 113, 121, 12 }, "LISTENER" },  { { 32, 143, 121, 12 }, "DIFFUSION" },
    { { 164, 143, 121, 12 }, "DECAY" },     { { 296, 143, 121, 12 }, "DRY-WET" },
};

inline const juce::Rectangle<int> infoButton { 45, 166, 130, 55 };
inline const juce::Rectangle<int> versionText { 237, 115, 70, 20 };
} // namespace layout
