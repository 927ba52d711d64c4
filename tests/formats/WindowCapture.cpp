#include "WindowCapture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

void formats::ignoreXErrors()
{
    XSetErrorHandler ([] (Display*, XErrorEvent*) { return 0; });
}

std::vector<uint32_t> formats::captureWindow (unsigned long windowId, int& width, int& height)
{
    std::vector<uint32_t> pixels;
    width = height = 0;
    Display* display = XOpenDisplay (nullptr);
    if (display == nullptr)
        return pixels;
    XWindowAttributes attributes;
    if (XGetWindowAttributes (display, (Window) windowId, &attributes) != 0)
        if (XImage* image = XGetImage (display, (Window) windowId, 0, 0, (unsigned) attributes.width,
                                       (unsigned) attributes.height, AllPlanes, ZPixmap))
        {
            width = attributes.width;
            height = attributes.height;
            pixels.reserve ((size_t) (width * height));
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    pixels.push_back ((uint32_t) XGetPixel (image, x, y) & 0xffffffu);
            XDestroyImage (image);
        }
    XCloseDisplay (display);
    return pixels;
}
