#include "DesktopScale.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

namespace
{
constexpr double referenceDpi = 96.0; // what X calls 100 %

/** The X server's resource string (what xrdb holds), through the libX11
    that JUCE has already loaded; empty without a display. */
std::string xResources()
{
    using OpenDisplay = void* (*) (const char*);
    using ResourceString = char* (*) (void*);
    using CloseDisplay = int (*) (void*);

    void* library = dlopen ("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
    if (library == nullptr)
        return {};
    std::string resources;
    auto open = reinterpret_cast<OpenDisplay> (dlsym (library, "XOpenDisplay"));
    auto get = reinterpret_cast<ResourceString> (dlsym (library, "XResourceManagerString"));
    auto close = reinterpret_cast<CloseDisplay> (dlsym (library, "XCloseDisplay"));
    if (open != nullptr && get != nullptr && close != nullptr)
        if (void* display = open (nullptr))
        {
            if (const char* text = get (display))
                resources = text;
            close (display);
        }
    dlclose (library);
    return resources;
}
}

double DesktopScale::fromSettings (const char* gdkScale, const char* resources)
{
    if (gdkScale != nullptr && *gdkScale != '\0')
    {
        const int whole = std::atoi (gdkScale);
        if (whole >= 1)
            return (double) whole;
    }

    // Lines of "name:\tvalue"; the last Xft.dpi counts, as with xrdb.
    double dpi = 0.0;
    for (const char* line = resources; line != nullptr && *line != '\0';)
    {
        if (std::strncmp (line, "Xft.dpi:", 8) == 0)
            dpi = std::atof (line + 8);
        line = std::strchr (line, '\n');
        if (line != nullptr)
            ++line;
    }
    return dpi > 0.0 ? dpi / referenceDpi : 1.0;
}

double DesktopScale::read()
{
    static const double scale = fromSettings (std::getenv ("GDK_SCALE"), xResources().c_str());
    return scale;
}
