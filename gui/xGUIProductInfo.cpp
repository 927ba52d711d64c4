#include "xGUIProductInfo.h"

#include "ImageResources.h"

namespace
{
constexpr int panelWidth = 450; // pixels
constexpr int panelHeight = 223;
}

xGUIProductInfo::xGUIProductInfo()
    : juce::Button (juce::String())
    , image (juce::ImageCache::getFromMemory (images::infoPanelImage, images::infoPanelImageSize))
    , enlarged ({ { images::infoPanelImage2x, images::infoPanelImage2xSize },
                  { images::infoPanelImage3x, images::infoPanelImage3xSize },
                  true })
{
    setSize (panelWidth, panelHeight);
}

xGUIProductInfo::~xGUIProductInfo()
{
    // Hands the cache reference back.
    image = juce::Image();
}

void xGUIProductInfo::paintButton (juce::Graphics& g, bool, bool)
{
    g.setColour (juce::Colours::black);
    enlarged.draw (g, image, 0, 0);
}
