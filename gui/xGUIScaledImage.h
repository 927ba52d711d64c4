#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The larger drawings of one of the editor's pictures, for screens that
    show the editor enlarged (a host's content scale or the desktop's).

    The 1 × picture is drawn pixel for pixel whenever the Graphics maps one
    widget pixel to one screen pixel or less. Above that the drawing made at
    2 × (for scales up to 2) or 3 × (above 2) is drawn reduced to the
    screen's pixels, so edges stay as sharp as the screen allows instead of a blown-up 1 ×
    picture. A drawing is taken from juce::ImageCache the first time a paint
    needs it and handed back at destruction, so an editor at 1 × decodes
    only its 1 × pictures. Message thread only. */
class xGUIScaledImage
{
public:
    /** An embedded PNG: data and length in bytes; an empty one is allowed. */
    struct Resource
    {
        const void* data = nullptr;
        int size = 0;
    };

    /** The picture drawn at 2 × and at 3 × its 1 × size. */
    struct Enlargements
    {
        Resource twice, thrice;
        /** True for a picture without transparent pixels (the face, the
            information page): its drawings are then kept without alpha. */
        bool opaque = false;
    };

    explicit xGUIScaledImage (Enlargements enlargements) noexcept;
    ~xGUIScaledImage();

    /** The largest resolution the artwork ships in: the editor is drawn at
        most this many times its size. */
    static constexpr int largestResolution = 3;

    /** The drawing for physicalScale screen pixels per widget pixel: 1, 2 or 3. */
    static int resolutionFor (float physicalScale) noexcept;

    /** Draws the picture with its top-left at (x, y) widget pixels: the
        larger drawing where g draws above 1 × and one exists, else
        oneTimes, the widget's 1 × picture, pixel for pixel. */
    void draw (juce::Graphics& g, const juce::Image& oneTimes, int x, int y);

private:
    /** If g draws above 1 × and a larger drawing exists, draws it with its
        top-left at (x, y) widget pixels, covering the 1 × picture's size,
        and returns true; otherwise draws nothing and returns false. */
    bool drawEnlarged (juce::Graphics& g, int x, int y);

    Enlargements resources;
    juce::Image twice, thrice;

    JUCE_DECLARE_NON_COPYABLE (xGUIScaledImage)
};
