#pragma once

// The pixels a window shows on the X display, children included, read in a
// file of its own so that Xlib's names stay out of JUCE's.
#include <cstdint>
#include <vector>

namespace formats
{
/** Makes X errors harmless again, as JUCE has them. A plug-in's own JUCE,
    going away after a scan, puts back Xlib's default handler, which ends
    the process on the first benign error (a window-manager atom that no
    window manager created). */
void ignoreXErrors();

/** The window's pixels as 0xRRGGBB, row by row; empty if it cannot be read. */
std::vector<uint32_t> captureWindow (unsigned long windowId, int& width, int& height);
}
