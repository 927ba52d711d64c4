#include "xGUIMicroReverbBg.h"

#include "ImageResources.h"

namespace
{
constexpr int faceWidth = 450; // pixels
constexpr int faceHeight = 223;
}

xGUIMicroReverbBg::xGUIMicroReverbBg()
    : image (juce::ImageCache::getFromMemory (images::backgroundImage, images::backgroundImageSize))
    , enlarged ({ { images::backgroundImage2x, images::backgroundImage2xSize },
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
    // Every drawing of the face is opaque: nothing under it shows.
    g.setColour (juce::Colours::black);
    enlarged.draw (g, image, 0, 0);
}
