#pragma once

// The editor's six pictures, compiled into the module as complete PNG files.
// Each is a constant byte array with its length in bytes; widgets decode them
// through juce::ImageCache::getFromMemory (data, size). The arrays are
// generated at build time from gui/images/*.png.
namespace images
{
extern const unsigned char backgroundImage[];
extern const int backgroundImageSize;

extern const unsigned char infoPanelImage[];
extern const int infoPanelImageSize;

extern const unsigned char powerSwitchImage[];
extern const int powerSwitchImageSize;

extern const unsigned char inputSwitchImage[];
extern const int inputSwitchImageSize;

extern const unsigned char stereoSwitchImage[];
extern const int stereoSwitchImageSize;

extern const unsigned char listenerStripImage[];
extern const int listenerStripImageSize;
}
