#pragma once

// A host window as a DAW makes one: a top-level X11 window into which a
// plug-in's editor is opened through the VST 2 editor opcodes. Real X events
// (XTest) stand in for the user's mouse. Plain Xlib, so a host without JUCE
// (the tests) can use it too.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

class X11HostWindow
{
public:
    static constexpr int idleStepMs = 10; // how often a host typically idles an editor

    X11HostWindow (int width, int height, int x = 0, int y = 0)
    {
        // Like every GUI toolkit a DAW uses, the host keeps X errors from
        // ending the process; a plug-in inside it relies on that.
        XSetErrorHandler ([] (Display*, XErrorEvent*) { return 0; });
        // A display busy with other clients may refuse a connection for a
        // moment: try again for up to two seconds before giving up.
        const int attempts = std::getenv ("DISPLAY") != nullptr ? 20 : 1;
        for (int attempt = 0; attempt < attempts && display == nullptr; ++attempt)
        {
            if (attempt > 0)
                usleep (100 * 1000);
            display = XOpenDisplay (nullptr);
        }
        if (display == nullptr)
            return;
        const int screen = DefaultScreen (display);
        window = XCreateSimpleWindow (display, RootWindow (display, screen), x, y, (unsigned) width, (unsigned) height,
                                      0, BlackPixel (display, screen), BlackPixel (display, screen));
        XStoreName (display, window, "host window");
        XMapRaised (display, window);
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

    X11HostWindow (const X11HostWindow&) = delete;
    X11HostWindow& operator= (const X11HostWindow&) = delete;

    bool isOpen() const { return display != nullptr; }

    /** The size of the screen the window is on, in pixels. */
    void screenSize (int& width, int& height) const
    {
        width = DisplayWidth (display, DefaultScreen (display));
        height = DisplayHeight (display, DefaultScreen (display));
    }
    Window id() const { return window; }

    /** Gives the editor idle time as a host does, for about ms;
        editorIdle makes the plug-in's editor-idle call. */
    template <typename EditorIdle>
    void idle (EditorIdle&& editorIdle, int ms)
    {
        for (int t = 0; t < ms; t += idleStepMs)
        {
            XSync (display, False);
            editorIdle();
            usleep (idleStepMs * 1000);
        }
    }

    /** A real click at window coordinates, through the X server. */
    void click (int x, int y)
    {
        movePointerTo (x, y);
        XTestFakeButtonEvent (display, 1, True, CurrentTime);
        XSync (display, False);
        usleep (20000);
        XTestFakeButtonEvent (display, 1, False, CurrentTime);
        XSync (display, False);
    }

    /** A real press at (x1, y1), moved to (x2, y2) in steps and released
        there, through the X server. */
    void drag (int x1, int y1, int x2, int y2, int steps = 8)
    {
        movePointerTo (x1, y1);
        XTestFakeButtonEvent (display, 1, True, CurrentTime);
        XSync (display, False);
        usleep (20000);
        for (int i = 1; i <= steps; ++i)
            movePointerTo (x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps);
        XTestFakeButtonEvent (display, 1, False, CurrentTime);
        XSync (display, False);
    }

    /** Moves the pointer to window coordinates through the X server and
        gives the editor a moment to see it. */
    void movePointerTo (int x, int y)
    {
        int rootX = 0, rootY = 0;
        Window child;
        XTranslateCoordinates (display, window, DefaultRootWindow (display), x, y, &rootX, &rootY, &child);
        XTestFakeMotionEvent (display, -1, rootX, rootY, CurrentTime);
        XSync (display, False);
        usleep (20000);
    }

    /** The size of the first child window (the plug-in's), 0 × 0 if none. */
    std::pair<int, int> childSize()
    {
        Window root, parent, *children = nullptr;
        unsigned n = 0;
        XQueryTree (display, window, &root, &parent, &children, &n);
        std::pair<int, int> size { 0, 0 };
        if (children != nullptr)
        {
            XWindowAttributes attributes;
            if (n > 0 && XGetWindowAttributes (display, children[0], &attributes))
                size = { attributes.width, attributes.height };
            XFree (children);
        }
        return size;
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

private:
    Display* display = nullptr;
    Window window = 0;
};
