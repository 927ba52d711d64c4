#pragma once

#include "ImageResources.h"
#include "MessagePump.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

/** Runs the message loop long enough for posted messages to be delivered. */
inline void pumpMessages (int milliseconds = 30) { MessagePump::runFor (milliseconds); }

/** A mouse event at a position in the component's own pixels. */
inline juce::MouseEvent mouseAt (juce::Component& c, float x, float y,
                                 juce::ModifierKeys mods = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier),
                                 int clicks = 1)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), { x, y }, mods,
                             juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                             juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                             juce::MouseInputSource::defaultTiltY, &c, &c, now, { x, y }, now, clicks, false);
}

inline juce::ModifierKeys withButton (int modifierFlags)
{
    return juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier | modifierFlags);
}

/** The component as drawn on a transparent ground, at its own size. */
inline juce::Image snapshot (juce::Component& c) { return c.createComponentSnapshot (c.getLocalBounds(), true, 1.0f); }

inline juce::Image snapshot (juce::Component&& c) { return snapshot (c); }

inline int alphaAt (const juce::Image& image, int x, int y) { return image.getPixelAt (x, y).getAlpha(); }

/** Columns that hold at least one visible pixel. */
inline std::vector<int> litColumns (const juce::Image& image)
{
    std::vector<int> columns;
    for (int x = 0; x < image.getWidth(); ++x)
        for (int y = 0; y < image.getHeight(); ++y)
            if (alphaAt (image, x, y) > 0)
            {
                columns.push_back (x);
                break;
            }
    return columns;
}

/** First visible row of a column, or -1. */
inline int firstLitRow (const juce::Image& image, int x)
{
    for (int y = 0; y < image.getHeight(); ++y)
        if (alphaAt (image, x, y) > 0)
            return y;
    return -1;
}

/** The first child label of a component, or nullptr. */
inline juce::Label* childLabel (juce::Component& c)
{
    for (auto* child : c.getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
            return label;
    return nullptr;
}

inline juce::String labelText (juce::Component& c)
{
    auto* label = childLabel (c);
    return label != nullptr ? label->getText() : juce::String ("<no label>");
}

/** Replaces the cached decodings of the embedded pictures with test images
    of known content, keyed like ImageCache::getFromMemory keys them (by the
    data pointer). Widgets built while this lives draw the test images, and
    the images' reference counts show what the widgets hold. */
class SeededArtwork
{
public:
    SeededArtwork()
    {
        // Drops cached decodings nobody holds, so the seeded ones are found.
        juce::ImageCache::releaseUnusedImages();

        background = seed (images::backgroundImage, 450, 223, juce::Colours::darkgreen);
        infoPanel = seed (images::infoPanelImage, 450, 223, juce::Colours::navy);
        power = twoFrameStrip (images::powerSwitchImage, 44, 19);
        input = twoFrameStrip (images::inputSwitchImage, 22, 19);
        stereo = twoFrameStrip (images::stereoSwitchImage, 10, 10);
        listener = numberedFrames (images::listenerStripImage, 121, 61, 65);
    }

    ~SeededArtwork()
    {
        background = infoPanel = power = input = stereo = listener = juce::Image();
        juce::ImageCache::releaseUnusedImages();
    }

    /** Top frame red, bottom frame green. */
    static juce::Colour offColour() { return juce::Colour (0xFFFF0000); }
    static juce::Colour onColour() { return juce::Colour (0xFF00FF00); }

    /** Frame k of the listener strip is filled with red level k. */
    static int frameShownBy (const juce::Image& shot) { return shot.getPixelAt (60, 30).getRed(); }

    juce::Image background, infoPanel, power, input, stereo, listener;

private:
    static juce::Image seed (const void* data, int w, int h, juce::Colour fill)
    {
        juce::Image image (juce::Image::ARGB, w, h, true);
        juce::Graphics (image).fillAll (fill);
        juce::ImageCache::addImageToCache (image, (juce::int64) (juce::pointer_sized_int) data);
        return image;
    }

    static juce::Image twoFrameStrip (const void* data, int w, int frameHeight)
    {
        juce::Image image (juce::Image::ARGB, w, frameHeight * 2, true);
        juce::Graphics g (image);
        g.setColour (offColour());
        g.fillRect (0, 0, w, frameHeight);
        g.setColour (onColour());
        g.fillRect (0, frameHeight, w, frameHeight);
        juce::ImageCache::addImageToCache (image, (juce::int64) (juce::pointer_sized_int) data);
        return image;
    }

    static juce::Image numberedFrames (const void* data, int w, int frameHeight, int frames)
    {
        juce::Image image (juce::Image::ARGB, w, frameHeight * frames, true);
        juce::Graphics g (image);
        for (int k = 0; k < frames; ++k)
        {
            g.setColour (juce::Colour ((juce::uint8) k, 0, 0));
            g.fillRect (0, k * frameHeight, w, frameHeight);
        }
        juce::ImageCache::addImageToCache (image, (juce::int64) (juce::pointer_sized_int) data);
        return image;
    }
};
