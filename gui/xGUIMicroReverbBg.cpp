#include "xGUIMicroReverbBg.h"

#include "ImageResources.h"

namespace
{
constexpr int faceWidth = 450;    // pixels
constexpr int faceHeight = 223;
}

xGUIMicroReverbBg::xGUIMicroReverbBg()
    : image (juce::ImageCache::getFromMemory (images::backgroundImage, images::backgroundImageSize)),
      enlarged ({ { images::backgroundImage2x, images::backgroundImage2xSize },
                  { images::backgroundImage3x, images::backgroundImage3xSize },
                  true })
{
    setSize (faceWidth, faceHeight);
    // It covers the editor, so the editor's own fill under it is skipped.
    setOpaque (true);
}

xGUIMicroReverbBg::~xGUIMicroReverbBg()
{
    // Hands the cache reference back.
    image = juce::Image();
}

void xGUIMicroReverbBg::paint (juce::Graphics& g)
{
    // The larger drawings are opaque like the 1 x one, so where one is
    // drawn the white under it would never show.
    g.setColour (juce::Colours::black);
    if (enlarged.drawEnlarged (g, 0, 0))
        return;
    g.fillAll (juce::Colours::white);
    g.setColour (juce::Colours::black);
    g.drawImageWithin (image, 0, 0, faceWidth, faceHeight, juce::RectanglePlacement::centred);
}
