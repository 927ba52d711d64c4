// gui: opens the module's editor in a top-level X11 window as a DAW does,
// optionally clicks into it with real X events, gives it idle time, and saves
// a screenshot of the window.
#include "Commands.h"
#include "CommandLine.h"
#include "InstanceSettings.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace
{
constexpr int idleStepMs = 10;     // how often a host typically idles an editor
constexpr int clickSettleMs = 150; // idle after each click, before the next

struct Click
{
    int x, y;
};

bool parseClick (const std::string& text, Click& click)
{
    return std::sscanf (text.c_str(), "%d,%d", &click.x, &click.y) == 2;
}

class HostWindow
{
public:
    HostWindow (Display* d, int width, int height) : display (d)
    {
        const int screen = DefaultScreen (display);
        window = XCreateSimpleWindow (display, RootWindow (display, screen), 0, 0, (unsigned) width, (unsigned) height, 0,
                                      BlackPixel (display, screen), BlackPixel (display, screen));
        XStoreName (display, window, "lumidor-host");
        XMapRaised (display, window);
        XSync (display, False);
    }
    ~HostWindow() { XDestroyWindow (display, window); }

    void idle (VstHost& host, int ms)
    {
        for (int t = 0; t < ms; t += idleStepMs)
        {
            XSync (display, False);
            host.dispatch (effEditIdle);
            usleep (idleStepMs * 1000);
        }
    }

    void click (Click c)
    {
        int rootX = 0, rootY = 0;
        Window child;
        XTranslateCoordinates (display, window, DefaultRootWindow (display), c.x, c.y, &rootX, &rootY, &child);
        XTestFakeMotionEvent (display, -1, rootX, rootY, CurrentTime);
        XSync (display, False);
        usleep (20000);
        XTestFakeButtonEvent (display, 1, True, CurrentTime);
        XSync (display, False);
        usleep (20000);
        XTestFakeButtonEvent (display, 1, False, CurrentTime);
        XSync (display, False);
    }

    juce::Image capture()
    {
        XWindowAttributes a;
        XGetWindowAttributes (display, window, &a);
        juce::Image image (juce::Image::ARGB, a.width, a.height, false);
        if (XImage* x = XGetImage (display, window, 0, 0, (unsigned) a.width, (unsigned) a.height, AllPlanes, ZPixmap))
        {
            for (int py = 0; py < a.height; ++py)
                for (int px = 0; px < a.width; ++px)
                    image.setPixelAt (px, py, juce::Colour ((juce::uint32) (XGetPixel (x, px, py) | 0xff000000u)));
            XDestroyImage (x);
        }
        return image;
    }

    Window id() const noexcept { return window; }

private:
    Display* display;
    Window window = 0;
};
}

int runGui (const std::vector<std::string>& words)
{
    CommandLine args;
    auto options = InstanceSettings::optionNames();
    options.insert (options.end(), { "click", "seconds" });
    if (! args.parse (words, options))
        return usageError (args.error());
    const auto modulePath = args.takeModule();
    if (args.positionals().size() != 1)
        return usageError ("usage: gui [MODULE] OUT.png [--param ...] [--click X,Y]... [--seconds S]");
    const juce::File pngFile = juce::File::getCurrentWorkingDirectory().getChildFile (args.positionals()[0]);

    double seconds = 0.0;
    if (! args.number ("seconds", 0.5, seconds))
        return usageError (args.error());
    std::vector<Click> clicks;
    for (const auto& text : args.values ("click"))
    {
        Click c {};
        if (! parseClick (text, c))
            return usageError ("--click wants X,Y in editor pixels, not " + text);
        clicks.push_back (c);
    }

    // A host's toolkit keeps X errors from ending the process; so do we.
    XSetErrorHandler ([] (Display*, XErrorEvent*) { return 0; });
    Display* display = XOpenDisplay (nullptr);
    if (display == nullptr)
    {
        std::cerr << "lumidor-host: no X display (set DISPLAY, or run under xvfb-run)\n";
        return 1;
    }

    int status = 0;
    {
        juce::ScopedJuceInitialiser_GUI juceRuntime;
        auto host = InstanceSettings::openModule (modulePath);
        if (host == nullptr)
        {
            XCloseDisplay (display);
            return 1;
        }
        std::string error;
        if (! InstanceSettings::apply (*host, args, error))
        {
            std::cerr << "lumidor-host: " << error << "\n";
            XCloseDisplay (display);
            return 2;
        }

        ERect* rect = nullptr;
        if (host->dispatch (effEditGetRect, 0, 0, &rect) == 0 || rect == nullptr)
        {
            std::cerr << "lumidor-host: the plug-in has no editor\n";
            XCloseDisplay (display);
            return 1;
        }
        const int width = rect->right - rect->left, height = rect->bottom - rect->top;

        HostWindow window (display, width, height);
        if (host->dispatch (effEditOpen, 0, 0, reinterpret_cast<void*> (window.id())) == 0)
        {
            std::cerr << "lumidor-host: the plug-in did not open its editor\n";
            status = 1;
        }
        else
        {
            window.idle (*host, 300);
            for (const auto& c : clicks)
            {
                window.click (c);
                window.idle (*host, clickSettleMs);
            }
            window.idle (*host, (int) (seconds * 1000.0));

            const auto image = window.capture();
            pngFile.deleteFile();
            juce::FileOutputStream out (pngFile);
            juce::PNGImageFormat png;
            if (! out.openedOk() || ! png.writeImageToStream (image, out))
            {
                std::cerr << "lumidor-host: cannot write " << pngFile.getFullPathName() << "\n";
                status = 1;
            }
            else
                std::cout << "wrote " << pngFile.getFullPathName() << " (" << image.getWidth() << " x " << image.getHeight() << ")\n";
            host->dispatch (effEditClose);
        }
        host->close();
    }
    XCloseDisplay (display);
    return status;
}
