#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A fan of one-pixel vertical lines picturing a room size and a diffusion:
    line i of n stands at x = trunc(extent × i ÷ n) and runs from
    y = height × i ÷ n down to the bottom, a descending staircase across
    extent pixels. Message thread only. */
class xGUIEarlyDiffusions : public juce::Component
{
public:
    xGUIEarlyDiffusions();
    ~xGUIEarlyDiffusions() override;

    void setLineColour (juce::Colour c);
    /** Spread of the lines as a fraction of the width kept by resized. */
    void setRoomSize (double fraction);
    /** Diffusion 0..1 gives 3..23 lines. */
    void setDiffusionAmount (double d);

    void paint (juce::Graphics& g) override;
    /** Keeps the new size only; the spread follows at the next setRoomSize. */
    void resized() override;

private:
    int lineCount = 10;
    juce::Colour lineColour { 0xFFFFFF00 };
    float extent = 40.0f; // pixels
    float width = 94.0f;  // pixels
    float height = 40.0f; // pixels

    JUCE_DECLARE_NON_COPYABLE (xGUIEarlyDiffusions)
};
