#pragma once

// The editor's six pictures, compiled into the module as complete PNG files.
// Each is a constant byte array with its length in bytes; widgets decode them
// through juce::ImageCache::getFromMemory (data, size). The arrays are
// generated at build time from gui/images/*.png. Each picture also comes
// drawn at twice and three times its size (NAME2x, NAME3x) for editors shown
// enlarged; frames in those strips are two or three times as tall.
namespace images
{
extern const unsigned char backgroundImage[];
extern const int backgroundImageSize;
extern const unsigned char backgroundImage2x[];
extern const int backgroundImage2xSize;
extern const unsigned char backgroundImage3x[];
extern const int backgroundImage3xSize;

extern const unsigned char infoPanelImage[];
extern const int infoPanelImageSize;
extern const unsigned char infoPanelImage2x[];
extern const int infoPanelImage2xSize;
extern const unsigned char infoPanelImage3x[];
extern const int infoPanelImage3xSize;

extern const unsigned char powerSwitchImage[];
extern const int powerSwitchImageSize;
extern const unsigned char powerSwitchImage2x[];
extern const int powerSwitchImage2xSize;
extern const unsigned char powerSwitchImage3x[];
extern const int powerSwitchImage3xSize;

extern const unsigned char inputSwitchImage[];
extern const int inputSwitchImageSize;
extern const unsigned char inputSwitchImage2x[];
extern const int inputSwitchImage2xSize;
extern const unsigned char inputSwitchImage3x[];
extern const int inputSwitchImage3xSize;

extern const unsigned char stereoSwitchImage[];
extern const int stereoSwitchImageSize;
extern const unsigned char stereoSwitchImage2x[];
extern const int stereoSwitchImage2xSize;
extern const unsigned char stereoSwitchImage3x[];
extern const int stereoSwitchImage3xSize;

extern const unsigned char listenerStripImage[];
extern const int listenerStripImageSize;
extern const unsigned char listenerStripImage2x[];
extern const int listenerStripImage2xSize;
extern const unsigned char listenerStripImage3x[];
extern const int listenerStripImage3xSize;
}
