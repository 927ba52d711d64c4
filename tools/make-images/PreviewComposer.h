#pragma once

#include <juce_graphics/juce_graphics.h>

/** Review pictures that are not shipped: the editor as it will look, with
    every switch frame and a listener frame at its place and rough stand-ins
    for the bars and live displays, and each image enlarged. */
class PreviewComposer
{
public:
    struct Artwork
    {
        juce::Image background, infoPanel, powerSwitch, inputSwitch, stereoSwitch, listenerStrip;
    };

    /** Writes the previews into folder; returns false on the first failure. */
    static bool writeAll (const Artwork& artwork, const juce::File& folder);

    PreviewComposer() = delete;

private:
    struct EditorState
    {
        bool power, left, right, stereo;
        float earlySize, lateSize, decay, diffusion, listener, dryWet, volume;
    };

    static juce::Image editor (const Artwork& artwork, const EditorState& state);
    static void bar (juce::Graphics& g, juce::Rectangle<int> bounds, float value, const juce::String& text);
    static void displays (juce::Graphics& g, const EditorState& state);
    /** Nearest-neighbour enlargement over a checkerboard, dark or light to
        suit the image's ink. */
    static juce::Image enlarged (const juce::Image& image, int factor, bool lightGround = false);
};
