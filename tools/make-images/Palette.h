#pragma once

#include <juce_graphics/juce_graphics.h>

/** The artwork's colours. Light falls from the top left: edges facing it are
    lit, edges facing away are in shade. */
namespace palette
{
inline const juce::Colour ground { 0xff000000 };

inline const juce::Colour faceTop { 0xffcfd1d4 };
inline const juce::Colour faceBottom { 0xffc1c4c7 };
inline const juce::Colour frameLit { 0xfff2f3f4 };
inline const juce::Colour frameShade { 0xffa3a6aa };

/** Silk-screened lettering and marks on the face. */
inline const juce::Colour ink { 0xff2c2f33 };
inline const juce::Colour inkSoft { 0xff5f6369 };

/** Engraved hairlines: a dark cut with a lit lower lip. */
inline const juce::Colour cut { 0xff92969b };
inline const juce::Colour lip { 0xffe6e8ea };

/** Display wells and the power window: deep charcoal recesses. */
inline const juce::Colour wellTop { 0xff131518 };
inline const juce::Colour wellBottom { 0xff202326 };
inline const juce::Colour rimShade { 0xff62666c };
inline const juce::Colour rimLit { 0xfff0f1f3 };

/** The grey the live displays draw with, for marks inside the wells. */
inline const juce::Colour displayGrey { 0xff8f9295 };

/** Warm light of the power lamp. */
inline const juce::Colour lampLit { 0xffffe3ad };
inline const juce::Colour lampGlow { 0xffffa436 };

/** The information page: dark face, light lettering. */
inline const juce::Colour pageTop { 0xff26292d };
inline const juce::Colour pageBottom { 0xff181a1d };
inline const juce::Colour pageText { 0xffe4e6e8 };
inline const juce::Colour pageTextSoft { 0xff9ba0a6 };

/** Brand marks on the black ground below the face. */
inline const juce::Colour brand { 0xffc3c6ca };
inline const juce::Colour brandSoft { 0xff7d8288 };
} // namespace palette
