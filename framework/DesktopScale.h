#pragma once

#include <string>

/** The desktop's scale for a plug-in's editor when the host gives none.

    JUCE keeps every window of a plug-in at one window-system pixel per
    component pixel, whatever the desktop is set to, so a plug-in reads the
    setting itself, where GTK and Qt desktops publish it: GDK_SCALE (a whole
    number, which GTK applies to everything), else the X server's Xft.dpi
    resource over 96 (what a 150 % or 200 % desktop writes there), else 1.
    Message thread only. */
class DesktopScale
{
public:
    /** The scale from the running desktop; read once per process. */
    static double read();

    /** The scale from a GDK_SCALE value and an X resource string (either
        may be null or empty): a GDK_SCALE of 1 or more wins, then Xft.dpi /
        96 when Xft.dpi is positive, else 1. */
    static double fromSettings (const char* gdkScale, const char* xResources);

    DesktopScale() = delete;
};
