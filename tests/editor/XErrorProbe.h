#pragma once

// Whether a host's X error handler is still its own after a plug-in's
// editors and instances have come and gone: a harmless X error (a query of a
// window that does not exist) must reach the host's handler, and Xlib's
// default one, which ends the process, must not be back.
#include <X11/Xlib.h>

#include <atomic>

namespace xprobe
{
inline std::atomic<int> badWindowsSeen { 0 };

inline int hostHandler (Display*, XErrorEvent* event)
{
    if (event->error_code == BadWindow)
        ++badWindowsSeen;
    return 0;
}

/** Installs the host's handler; returns the one it replaced. */
inline XErrorHandler installHostHandler()
{
    badWindowsSeen = 0;
    return XSetErrorHandler (hostHandler);
}

/** Causes one BadWindow error on a connection of its own; true when the
    host's handler saw it and is still the one installed. Puts previous back. */
inline bool hostHandlerStillHears (XErrorHandler previous)
{
    Display* display = XOpenDisplay (nullptr);
    if (display == nullptr)
        return false;
    XWindowAttributes attributes;
    XGetWindowAttributes (display, (Window) 0x3fffff7, &attributes);
    XSync (display, False);
    XCloseDisplay (display);
    const auto current = XSetErrorHandler (previous);
    return badWindowsSeen == 1 && current == hostHandler;
}
}
