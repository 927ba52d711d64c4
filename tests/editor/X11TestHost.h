#pragma once

// A host window as a DAW makes one: a top-level X11 window into which the
// plug-in's editor is opened through the VST 2 editor opcodes. Real X events
// (XTest) stand in for the user's mouse.
#include "TestHost.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <unistd.h>

#include <cstdint>
#include <vector>

class X11HostWindow
{
public:
    X11HostWindow (int width, int height, int x = 0, int y = 0)
    {
        // Like every GUI toolkit a DAW uses, the host keeps X errors from
        // ending the process; a plug-in inside it relies on that.
        XSetErrorHandler ([] (Display*, XErrorEvent*) { return 0; });
        display = XOpenDisplay (nullptr);
        if (display == nullptr)
            return;
        const int screen = DefaultScreen (display);
        window = XCreateSimpleWindow (display, RootWindow (display, screen), x, y, (unsigned) width, (unsigned) height, 0,
                                      BlackPixel (display, screen), BlackPixel (display, screen));
        XStoreName (display, window, "test host");
        XMapWindow (display, window);
        XSync (display, False);
    }

    ~X11HostWindow()
    {
        if (display != nullptr)
        {
            XDestroyWindow (display, window);
            XCloseDisplay (display);
        }
    }

    bool isOpen() const { return display != nullptr; }

    /** Gives the plug-in editor idle time as a host does, for about ms. */
    void idle (AEffect* e, int ms)
    {
        for (int t = 0; t < ms; t += 10)
        {
            XSync (display, False);
            dispatch (e, effEditIdle);
            usleep (10000);
        }
    }

    /** A real click at window coordinates, through the X server. */
    void click (int x, int y)
    {
        int wx = 0, wy = 0;
        Window child;
        XTranslateCoordinates (display, window, DefaultRootWindow (display), x, y, &wx, &wy, &child);
        XTestFakeMotionEvent (display, -1, wx, wy, CurrentTime);
        XSync (display, False);
        usleep (20000);
        XTestFakeButtonEvent (display, 1, True, CurrentTime);
        XSync (display, False);
        usleep (20000);
        XTestFakeButtonEvent (display, 1, False, CurrentTime);
        XSync (display, False);
    }

    /** The window's pixels as 0xRRGGBB, row by row (children included). */
    std::vector<uint32_t> capture (int& width, int& height)
    {
        XWindowAttributes attributes;
        XGetWindowAttributes (display, window, &attributes);
        width = attributes.width;
        height = attributes.height;
        std::vector<uint32_t> pixels;
        XImage* image = XGetImage (display, window, 0, 0, (unsigned) width, (unsigned) height, AllPlanes, ZPixmap);
        if (image == nullptr)
            return pixels;
        pixels.reserve ((size_t) (width * height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back ((uint32_t) XGetPixel (image, x, y) & 0xffffffu);
        XDestroyImage (image);
        return pixels;
    }

    /** Number of child windows currently under the host window. */
    int numChildren()
    {
        Window root, parent, *children = nullptr;
        unsigned n = 0;
        XQueryTree (display, window, &root, &parent, &children, &n);
        if (children != nullptr)
            XFree (children);
        return (int) n;
    }

    Display* display = nullptr;
    Window window = 0;
};
