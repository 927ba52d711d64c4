// gui: opens the module's editor in a top-level X11 window as a DAW does,
// optionally clicks into it with real X events, gives it idle time, and saves
// a screenshot of the window.
//
// With --scale the VST 2 module is configured as always, but the editor shown
// is the CLAP build's, opened as a CLAP host at that scale opens it and given
// the VST 2 instance's program: the VST 2 interface fixes its editor at one
// size, and the CLAP editor is the same editor drawn at the scale.
#include "ClapEditorHost.h"
#include "Commands.h"
#include "CommandLine.h"
#include "FxpFile.h"
#include "InstanceSettings.h"
#include "OutputCheck.h"
#include "StrictNumber.h"
#include "Subcommand.h"
#include "X11HostWindow.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include "IrPlot.h" // after the X11 headers and JUCE, whose names they would shadow

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace
{
constexpr int clickSettleMs = 150;     // idle after each click, before the next
constexpr int maxEditorPixels = 16384; // a larger side is taken for a module's error

struct Click
{
    int x, y;
};

/** "X,Y": two whole decimal numbers, read as every number the tool reads. */
bool parseClick (const std::string& text, Click& click)
{
    const auto comma = text.find (',');
    if (comma == std::string::npos)
        return false;
    const auto x = StrictNumber::parse (text.substr (0, comma)), y = StrictNumber::parse (text.substr (comma + 1));
    constexpr double limit = 1 << 20;
    if (! x || ! y || *x != std::floor (*x) || *y != std::floor (*y) || std::abs (*x) > limit || std::abs (*y) > limit)
        return false;
    click = { (int) *x, (int) *y };
    return true;
}

/** The CLAP module that goes with the VST 2 one: installed beside the tool
    as DIR/lib/clap/Lumidor.clap, else the one built with it. */
std::string defaultClapModule()
{
    const auto installed = CommandLine::installedBesideTool ("lib/clap/Lumidor.clap");
    return installed.empty() ? LUMIDOR_DEFAULT_CLAP_MODULE : installed;
}

/** A click given in the 1 x editor's pixels, at the middle of where that
    pixel lies at the scale. */
Click scaled (Click c, double scale) { return { (int) ((c.x + 0.5) * scale), (int) ((c.y + 0.5) * scale) }; }

/** The window's pixels as a picture; false with a message when the display
    gave none (X11 hands out only what lies on the screen). */
bool capture (X11HostWindow& window, juce::Image& image, std::string& error)
{
    int width = 0, height = 0;
    const auto pixels = window.capture (width, height);
    if (width < 1 || height < 1 || pixels.size() != (size_t) (width * height))
    {
        error = "the display gave no picture of the editor's window";
        return false;
    }
    image = juce::Image (juce::Image::ARGB, width, height, false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelAt (x, y, juce::Colour ((juce::uint32) (pixels[(size_t) (y * width + x)] | 0xff000000u)));
    return true;
}

/** A window larger than the screen cannot be photographed whole: false with
    the size it needs. */
bool fitsTheScreen (const X11HostWindow& window, int width, int height, std::string& error)
{
    int screenWidth = 0, screenHeight = 0;
    window.screenSize (screenWidth, screenHeight);
    if (width <= screenWidth && height <= screenHeight)
        return true;
    error = "the editor needs a screen of at least " + std::to_string (width) + " x " + std::to_string (height)
            + " pixels, and this one is " + std::to_string (screenWidth) + " x " + std::to_string (screenHeight)
            + " (for example xvfb-run -s \"-screen 0 " + std::to_string (std::max (width, 1280)) + "x"
            + std::to_string (std::max (height, 1024)) + "x24\")";
    return false;
}

/** gui --scale: the CLAP editor at the scale, in a window of the size it
    asks for, with the program it is given. */
int runScaledGui (const std::string& clapPath, const std::vector<uint8_t>& program, double scale,
                  const std::vector<Click>& clicks, double seconds, const std::string& pngPath,
                  const std::vector<std::string>& presets)
{
    ClapEditorHost clap;
    std::string error;
    uint32_t width = 0, height = 0;
    if (! clap.open (clapPath, error))
    {
        std::cerr << "lumidor-host: " << error << " (--clap names another)\n";
        return 1;
    }
    if (program.empty() || ! clap.loadState (program))
    {
        std::cerr << "lumidor-host: the CLAP plug-in did not take the VST 2 instance's program\n";
        return 1;
    }
    if (! clap.createEditor (scale, width, height, error))
    {
        std::cerr << "lumidor-host: " << error << "\n";
        return 1;
    }
    if (width < 1 || height < 1 || width > (uint32_t) maxEditorPixels || height > (uint32_t) maxEditorPixels)
    {
        std::cerr << "lumidor-host: the CLAP plug-in gives its editor " << width << " x " << height << " pixels\n";
        return 1;
    }

    for (const auto& c : clicks)
        if (const auto at = scaled (c, scale); at.x < 0 || at.y < 0 || at.x >= (int) width || at.y >= (int) height)
        {
            std::cerr << "lumidor-host: --click wants X,Y inside the 1 x editor, not " << c.x << "," << c.y << "\n";
            return 2;
        }

    X11HostWindow window ((int) width, (int) height);
    if (! window.isOpen())
    {
        std::cerr << "lumidor-host: no X display (set DISPLAY, or run under xvfb-run)\n";
        return 1;
    }
    if (! fitsTheScreen (window, (int) width, (int) height, error))
    {
        std::cerr << "lumidor-host: " << error << "\n";
        return 1;
    }
    if (! clap.showIn (window.id()))
    {
        std::cerr << "lumidor-host: the CLAP plug-in did not open its editor\n";
        return 1;
    }
    const auto editorIdle = [&clap]
    {
        clap.idle();
    };
    window.idle (editorIdle, 300);
    for (const auto& c : clicks)
    {
        const auto at = scaled (c, scale);
        window.click (at.x, at.y);
        window.idle (editorIdle, clickSettleMs);
    }
    window.idle (editorIdle, (int) (seconds * 1000.0));

    juce::Image image;
    if (! capture (window, image, error) || ! IrPlot::writePng (image, pngPath, error, presets))
    {
        std::cerr << "lumidor-host: " << error << "\n";
        return 1;
    }
    std::cout << "wrote " << pngPath << " (" << image.getWidth() << " x " << image.getHeight()
              << ", the CLAP editor at " << scale << " x)\n";
    return 0;
}
}

int runGui (const std::vector<std::string>& words)
{
    CommandLine args;
    auto options = InstanceSettings::optionNames();
    options.insert (options.end(), { "click", "seconds", "scale", "clap" });
    if (! args.parse (words, options))
        return usageError (args.error());
    const auto modulePath = args.takeModule();
    if (args.positionals().size() != 1)
        return usageError (
            "usage: gui [MODULE] OUT.png [--param ...] [--click X,Y]... [--seconds S] [--scale S [--clap FILE]]");
    const auto pngPath = args.positionals()[0];

    double seconds = 0.0, scale = 0.0;
    if (! args.number ("seconds", 0.5, { 0.0, 600.0 }, seconds) || ! args.number ("scale", 1.0, { 1.0, 3.0 }, scale))
        return usageError (args.error());
    const bool viaClap = args.value ("scale").has_value();
    if (args.value ("clap").has_value() && ! viaClap)
        return usageError ("--clap goes with --scale");
    const auto clapPath = args.value ("clap").value_or (defaultClapModule());
    std::vector<Click> clicks;
    for (const auto& text : args.values ("click"))
    {
        Click c {};
        if (! parseClick (text, c))
            return usageError ("--click wants X,Y in editor pixels, not " + text);
        clicks.push_back (c);
    }
    return Subcommand::run ({ modulePath, args, { { pngPath, OutputCheck::Content::picture } } }, {},
                            [&] (VstHost& configured)
                            {
                                std::string error;
                                VstHost* const host = &configured;
                                int status = 0;

                                if (viaClap)
                                {
                                    // The instance's current program, settings applied, is what the
                                    // CLAP editor is given to show, as the program file a user would
                                    // hand a CLAP host.
                                    FxpFile file;
                                    file.fxID = host->descriptor()->uniqueID;
                                    file.fxVersion = host->descriptor()->version;
                                    file.numPrograms = 1;
                                    file.programName = host->programName();
                                    file.chunk = host->getChunk (true);
                                    const auto program = file.chunk.empty() ? std::vector<uint8_t>() : file.toBytes();
                                    host->close();
                                    return runScaledGui (clapPath, program, scale, clicks, seconds, pngPath,
                                                         args.values ("preset"));
                                }

                                ERect* rect = nullptr;
                                if (host->dispatch (effEditGetRect, 0, 0, &rect) == 0 || rect == nullptr)
                                {
                                    std::cerr << "lumidor-host: the plug-in has no editor\n";
                                    return 1;
                                }
                                const int width = rect->right - rect->left, height = rect->bottom - rect->top;
                                if (width < 1 || height < 1 || width > maxEditorPixels || height > maxEditorPixels)
                                {
                                    std::cerr << "lumidor-host: the plug-in gives its editor " << width << " x "
                                              << height << " pixels; this tool opens 1 to " << maxEditorPixels
                                              << " on each side\n";
                                    return 1;
                                }
                                for (const auto& c : clicks)
                                    if (c.x < 0 || c.y < 0 || c.x >= width || c.y >= height)
                                    {
                                        std::cerr << "lumidor-host: --click wants X from 0 to " << width - 1
                                                  << " and Y from 0 to " << height - 1 << " (the editor's pixels), not "
                                                  << c.x << "," << c.y << "\n";
                                        return 2;
                                    }

                                {
                                    X11HostWindow window (width, height);
                                    if (! window.isOpen())
                                    {
                                        std::cerr
                                            << "lumidor-host: no X display (set DISPLAY, or run under xvfb-run)\n";
                                        return 1;
                                    }
                                    if (! fitsTheScreen (window, width, height, error))
                                    {
                                        std::cerr << "lumidor-host: " << error << "\n";
                                        return 1;
                                    }
                                    const auto editorIdle = [&host]
                                    {
                                        host->dispatch (effEditIdle);
                                    };

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

                                        juce::Image image;
                                        if (! capture (window, image, error)
                                            || ! IrPlot::writePng (image, pngPath, error, args.values ("preset")))
                                        {
                                            std::cerr << "lumidor-host: " << error << "\n";
                                            status = 1;
                                        }
                                        else
                                            std::cout << "wrote " << pngPath << " (" << image.getWidth() << " x "
                                                      << image.getHeight() << ")\n";
                                        host->dispatch (effEditClose);
                                    }
                                }
                                host->close();
                                return status;
                            });
}
