// gui: opens the module's editor in a top-level X11 window as a DAW does,
// optionally clicks into it with real X events, gives it idle time, and saves
// a screenshot of the window.
#include "Commands.h"
#include "CommandLine.h"
#include "InstanceSettings.h"
#include "OutputCheck.h"
#include "X11HostWindow.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include "IrPlot.h" // after the X11 headers and JUCE, whose names they would shadow

#include <cstdio>
#include <iostream>

namespace
{
constexpr int clickSettleMs = 150; // idle after each click, before the next
constexpr int maxEditorPixels = 16384; // a larger side is taken for a module's error

struct Click
{
    int x, y;
};

bool parseClick (const std::string& text, Click& click)
{
    return std::sscanf (text.c_str(), "%d,%d", &click.x, &click.y) == 2;
}

/** The window's pixels as a picture. */
juce::Image capture (X11HostWindow& window)
{
    int width = 0, height = 0;
    const auto pixels = window.capture (width, height);
    juce::Image image (juce::Image::ARGB, juce::jmax (1, width), juce::jmax (1, height), false);
    if (pixels.size() == (size_t) (width * height))
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixelAt (x, y, juce::Colour ((juce::uint32) (pixels[(size_t) (y * width + x)] | 0xff000000u)));
    return image;
}
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
    const auto pngPath = args.positionals()[0];

    double seconds = 0.0;
    if (! args.number ("seconds", 0.5, seconds))
        return usageError (args.error());
    if (seconds < 0.0 || seconds > 600.0)
        return usageError ("--seconds wants 0 to 600, not " + *args.value ("seconds"));
    std::vector<Click> clicks;
    for (const auto& text : args.values ("click"))
    {
        Click c {};
        if (! parseClick (text, c))
            return usageError ("--click wants X,Y in editor pixels, not " + text);
        clicks.push_back (c);
    }
    std::string error;
    if (const int refused = OutputCheck::check (pngPath, OutputCheck::Content::picture, args.values ("preset"), error))
    {
        std::cerr << "lumidor-host: " << error << "\n";
        return refused;
    }

    juce::ScopedJuceInitialiser_GUI juceRuntime;
    int status = 0;
    auto host = InstanceSettings::openConfigured (modulePath, args, status);
    if (host == nullptr)
        return status;

    ERect* rect = nullptr;
    if (host->dispatch (effEditGetRect, 0, 0, &rect) == 0 || rect == nullptr)
    {
        std::cerr << "lumidor-host: the plug-in has no editor\n";
        return 1;
    }
    const int width = rect->right - rect->left, height = rect->bottom - rect->top;
    if (width < 1 || height < 1 || width > maxEditorPixels || height > maxEditorPixels)
    {
        std::cerr << "lumidor-host: the plug-in gives its editor " << width << " x " << height
                  << " pixels; this tool opens 1 to " << maxEditorPixels << " on each side\n";
        return 1;
    }
    for (const auto& c : clicks)
        if (c.x < 0 || c.y < 0 || c.x >= width || c.y >= height)
        {
            std::cerr << "lumidor-host: --click wants X from 0 to " << width - 1 << " and Y from 0 to " << height - 1
                      << " (the editor's pixels), not " << c.x << "," << c.y << "\n";
            return 2;
        }

    {
        X11HostWindow window (width, height);
        if (! window.isOpen())
        {
            std::cerr << "lumidor-host: no X display (set DISPLAY, or run under xvfb-run)\n";
            return 1;
        }
        const auto editorIdle = [&host] { host->dispatch (effEditIdle); };

        if (host->dispatch (effEditOpen, 0, 0, reinterpret_cast<void*> (window.id())) == 0)
        {
            std::cerr << "lumidor-host: the plug-in did not open its editor\n";
            status = 1;
        }
        else
        {
            window.idle (editorIdle, 300);
            for (const auto& c : clicks)
            {
                window.click (c.x, c.y);
                window.idle (editorIdle, clickSettleMs);
            }
            window.idle (editorIdle, (int) (seconds * 1000.0));

            const auto image = capture (window);
            if (! IrPlot::writePng (image, pngPath, error, args.values ("preset")))
            {
                std::cerr << "lumidor-host: " << error << "\n";
                status = 1;
            }
            else
                std::cout << "wrote " << pngPath << " (" << image.getWidth() << " x " << image.getHeight() << ")\n";
            host->dispatch (effEditClose);
        }
    }
    host->close();
    return status;
}
