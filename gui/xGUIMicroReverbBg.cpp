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
                  { images::backgroundImage3x, images::backgroundImage3xSize } })
{
    setSize (faceWidth, faceHeight);
}

xGUIMicroReverbBg::~xGUIMicroReverbBg()
{
    // Hands the cache reference back.
    image = juce::Image();
}

void xGUIMicroReverbBg::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);
    g.setColour (juce::Colours::black);
    if (! enlarged.drawEnlarged (g, 0, 0))
        g.drawImageWithin (image, 0, 0, faceWidth, faceHeight, juce::RectanglePlacement::centred);
}
