// The standalone application starts on the X display, opens a window named
// after the plug-in, and that window shows the editor: its background image
// appears in a screenshot of the screen, taken as xwd -root would take it.
// On a desktop set to 2 x (GNOME's scaling factor, which JUCE reads when a
// window manager publishes the work area; that runs on an X server of its
// own), or with GDK_SCALE 2 where JUCE finds no scale, the window is twice as
// large and shows the 2 x drawing of the face.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace
{
constexpr int editorWidth = 450;
constexpr int editorHeight = 223;

struct Rgba
{
    int width = 0, height = 0;
    std::vector<unsigned char> pixels; // 4 bytes a pixel, red first

    const unsigned char* at (int x, int y) const
    {
        return pixels.data() + 4 * ((size_t) y * (size_t) width + (size_t) x);
    }
};

Rgba readPng (const char* path)
{
    Rgba image;
    png_image png {};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file (&png, path) == 0)
        return image;
    png.format = PNG_FORMAT_RGBA;
    image.pixels.resize (PNG_IMAGE_SIZE (png));
    if (png_image_finish_read (&png, nullptr, image.pixels.data(), 0, nullptr) == 0)
        return {};
    image.width = (int) png.width;
    image.height = (int) png.height;
    return image;
}

/** The child process running the application; killed when it goes. */
class RunningApp
{
public:
    /** desktopScale > 0 sets GNOME's interface scaling factor for the
        application alone, through a settings key file under home; gdkScale,
        when not empty, is the application's GDK_SCALE. */
    RunningApp (const std::string& home, int desktopScale, const std::string& displayName, const std::string& gdkScale)
    {
        if (desktopScale > 0)
        {
            std::filesystem::create_directories (home + "/glib-2.0/settings");
            std::ofstream (home + "/glib-2.0/settings/keyfile")
                << "[org/gnome/desktop/interface]\nscaling-factor=uint32 " << desktopScale << "\n";
        }
        pid = fork();
        if (pid == 0)
        {
            setenv ("HOME", home.c_str(), 1);
            setenv ("DISPLAY", displayName.c_str(), 1);
            if (! gdkScale.empty())
                setenv ("GDK_SCALE", gdkScale.c_str(), 1);
            if (desktopScale > 0)
            {
                setenv ("XDG_CONFIG_HOME", home.c_str(), 1);
                setenv ("GSETTINGS_BACKEND", "keyfile", 1);
            }
            execl (LUMIDOR_STANDALONE_PATH, LUMIDOR_STANDALONE_PATH, (char*) nullptr);
            _exit (127);
        }
    }

    ~RunningApp()
    {
        if (pid > 0)
        {
            kill (pid, SIGTERM);
            int status = 0;
            for (int i = 0; i < 50 && waitpid (pid, &status, WNOHANG) == 0; ++i)
                std::this_thread::sleep_for (std::chrono::milliseconds (100));
            if (waitpid (pid, &status, WNOHANG) == 0)
            {
                kill (pid, SIGKILL);
                waitpid (pid, &status, 0);
            }
        }
    }

    RunningApp (const RunningApp&) = delete;
    RunningApp& operator= (const RunningApp&) = delete;

    bool isRunning() const { return pid > 0 && waitpid (pid, nullptr, WNOHANG) == 0; }

private:
    pid_t pid = -1;
};

/** A connection to the display, retried for a moment: a server that has
    just started (or is busy) may refuse the first ones. */
Display* openDisplay (const std::string& name)
{
    Display* display = nullptr;
    for (int attempt = 0; attempt < 30 && display == nullptr; ++attempt)
    {
        display = XOpenDisplay (name.c_str());
        if (display == nullptr)
            std::this_thread::sleep_for (std::chrono::milliseconds (100));
    }
    return display;
}

/** An X server of the test's own, on the first free display, with the
    work area a window manager would publish. */
class PrivateDisplay
{
public:
    PrivateDisplay()
    {
        int ready[2];
        if (pipe (ready) != 0)
            return;
        pid = fork();
        if (pid == 0)
        {
            close (ready[0]);
            const auto fd = std::to_string (ready[1]);
            execlp ("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1600x1000x24", "-nolisten", "tcp",
                    "-noreset", (char*) nullptr);
            _exit (127);
        }
        close (ready[1]);
        // The server writes its number and a newline once it accepts
        // connections; a signal may cut the wait short.
        std::string digits;
        char c = 0;
        for (;;)
        {
            const auto got = read (ready[0], &c, 1);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0 || c == '\n')
                break;
            digits += c;
        }
        close (ready[0]);
        if (! digits.empty())
            name = ":" + digits;
        if (auto* display = name.empty() ? nullptr : openDisplay (name))
        {
            const long area[4] = { 0, 0, 1600, 1000 };
            XChangeProperty (display, DefaultRootWindow (display), XInternAtom (display, "_NET_WORKAREA", False),
                             XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<const unsigned char*> (area), 4);
            XCloseDisplay (display);
        }
    }

    ~PrivateDisplay()
    {
        if (pid > 0)
        {
            kill (pid, SIGTERM);
            waitpid (pid, nullptr, 0);
        }
    }

    PrivateDisplay (const PrivateDisplay&) = delete;
    PrivateDisplay& operator= (const PrivateDisplay&) = delete;

    /** ":N", or empty when the server did not start. */
    std::string name;

private:
    pid_t pid = -1;
};

/** A text property of a window, whatever its encoding type. */
std::string textProperty (Display* display, Window window, const char* propertyName)
{
    std::string text;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const auto property = XInternAtom (display, propertyName, False);
    if (XGetWindowProperty (display, window, property, 0, 256, False, AnyPropertyType, &type, &format, &count,
                            &remaining, &data)
            == Success
        && data != nullptr)
    {
        if (format == 8)
            text.assign (reinterpret_cast<const char*> (data), count);
        XFree (data);
    }
    return text;
}

/** The window's title: _NET_WM_NAME, else WM_NAME. */
std::string windowTitle (Display* display, Window window)
{
    const auto title = textProperty (display, window, "_NET_WM_NAME");
    return title.empty() ? textProperty (display, window, "WM_NAME") : title;
}

/** A viewable window whose title is the given text, searched depth first. */
Window findWindowNamed (Display* display, Window parent, const char* name)
{
    XWindowAttributes attributes {};
    if (windowTitle (display, parent) == name && XGetWindowAttributes (display, parent, &attributes) != 0
        && attributes.map_state == IsViewable)
        return parent;

    Window root = 0, parentOfParent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree (display, parent, &root, &parentOfParent, &children, &count) != 0)
    {
        for (unsigned int i = 0; i < count && found == 0; ++i)
            found = findWindowNamed (display, children[i], name);
        if (children != nullptr)
            XFree (children);
    }
    return found;
}

/** The whole screen, as xwd -root takes it. */
Rgba captureScreen (Display* display)
{
    const auto root = DefaultRootWindow (display);
    XWindowAttributes attributes {};
    XGetWindowAttributes (display, root, &attributes);
    Rgba shot;
    auto* image =
        XGetImage (display, root, 0, 0, (unsigned) attributes.width, (unsigned) attributes.height, AllPlanes, ZPixmap);
    if (image == nullptr)
        return shot;
    shot.width = attributes.width;
    shot.height = attributes.height;
    shot.pixels.resize ((size_t) shot.width * (size_t) shot.height * 4);
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
        {
            const auto pixel = XGetPixel (image, x, y);
            auto* p = shot.pixels.data() + 4 * ((size_t) y * (size_t) shot.width + (size_t) x);
            p[0] = (unsigned char) ((pixel & image->red_mask) >> __builtin_ctzl (image->red_mask));
            p[1] = (unsigned char) ((pixel & image->green_mask) >> __builtin_ctzl (image->green_mask));
            p[2] = (unsigned char) ((pixel & image->blue_mask) >> __builtin_ctzl (image->blue_mask));
            p[3] = 255;
        }
    XDestroyImage (image);
    return shot;
}

void writePpm (const Rgba& image, const char* path)
{
    std::ofstream out (path, std::ios::binary);
    out << "P6\n" << image.width << " " << image.height << "\n255\n";
    for (size_t i = 0; i < image.pixels.size(); i += 4)
        out.write (reinterpret_cast<const char*> (image.pixels.data() + i), 3);
}

struct Match
{
    double share = 0.0;
    int x = 0, y = 0;
};

/** Where in the region the background image shows best, and which share of
    its opaque pixels (on a sampling grid) shows there. */
Match findImage (const Rgba& screen, const Rgba& picture, int left, int top, int right, int bottom)
{
    constexpr int step = 5;
    constexpr int tolerance = 12;
    Match best;
    for (int oy = top; oy + picture.height <= bottom; ++oy)
        for (int ox = left; ox + picture.width <= right; ++ox)
        {
            int compared = 0, equal = 0;
            for (int y = 0; y < picture.height; y += step)
                for (int x = 0; x < picture.width; x += step)
                {
                    const auto* want = picture.at (x, y);
                    if (want[3] < 250)
                        continue;
                    const auto* got = screen.at (ox + x, oy + y);
                    ++compared;
                    if (std::abs (want[0] - got[0]) <= tolerance && std::abs (want[1] - got[1]) <= tolerance
                        && std::abs (want[2] - got[2]) <= tolerance)
                        ++equal;
                }
            const auto share = compared > 0 ? (double) equal / compared : 0.0;
            if (share > best.share)
                best = { share, ox, oy };
        }
    return best;
}

/** Runs the application at the desktop scale and finds the face drawn at
    that scale (picture) in its window. */
void expectTheEditorShown (int desktopScale, const char* picturePath, const std::string& displayName,
                           const std::string& gdkScale = {})
{
    auto* display = openDisplay (displayName);
    ASSERT_NE (display, nullptr) << "cannot open the display " << displayName;

    const auto home =
        std::filesystem::temp_directory_path()
        / ("lumidor-standalone-" + std::to_string (getpid()) + "-" + std::to_string (desktopScale) + gdkScale);
    std::filesystem::create_directories (home);
    const int scale = desktopScale > 0 ? desktopScale : gdkScale.empty() ? 1 : std::stoi (gdkScale);

    {
        RunningApp app (home.string(), desktopScale, displayName, gdkScale);

        Window window = 0;
        for (int i = 0; i < 200 && window == 0 && app.isRunning(); ++i)
        {
            std::this_thread::sleep_for (std::chrono::milliseconds (100));
            window = findWindowNamed (display, DefaultRootWindow (display), "Lumidor");
        }
        ASSERT_NE (window, 0u) << "no window named Lumidor appeared";

        // Let the editor paint before the screen is read.
        std::this_thread::sleep_for (std::chrono::milliseconds (1500));
        ASSERT_TRUE (app.isRunning()) << "the application quit";

        XWindowAttributes attributes {};
        XGetWindowAttributes (display, window, &attributes);
        int windowX = 0, windowY = 0;
        Window child = 0;
        XTranslateCoordinates (display, window, DefaultRootWindow (display), 0, 0, &windowX, &windowY, &child);
        EXPECT_GE (attributes.width, editorWidth * scale);
        EXPECT_GE (attributes.height, editorHeight * scale);

        const auto screen = captureScreen (display);
        ASSERT_GT (screen.width, 0);
        writePpm (screen, LUMIDOR_SCREENSHOT_PATH);

        const auto background = readPng (picturePath);
        ASSERT_EQ (background.width, editorWidth * scale);
        ASSERT_EQ (background.height, editorHeight * scale);

        const auto match = findImage (screen, background, std::max (0, windowX), std::max (0, windowY),
                                      std::min (screen.width, windowX + attributes.width),
                                      std::min (screen.height, windowY + attributes.height));
        // Value bars, switches and displays cover part of the background.
        EXPECT_GT (match.share, 0.6) << "best match at " << match.x << "," << match.y << "; screenshot in "
                                     << LUMIDOR_SCREENSHOT_PATH;
    }

    XCloseDisplay (display);
    std::filesystem::remove_all (home);
}
}

TEST (StandaloneApp, opensAWindowThatShowsTheEditor)
{
    if (std::getenv ("DISPLAY") == nullptr)
        GTEST_SKIP() << "no X display";
    expectTheEditorShown (0, LUMIDOR_BACKGROUND_PNG, std::getenv ("DISPLAY"));
}

TEST (StandaloneApp, onADesktopAtTwiceTheScaleShowsTheEditorTwiceAsLargeFromItsTwiceDrawing)
{
    if (std::getenv ("DISPLAY") == nullptr)
        GTEST_SKIP() << "no X display";
    PrivateDisplay desktop;
    ASSERT_FALSE (desktop.name.empty()) << "Xvfb did not start";
    expectTheEditorShown (2, LUMIDOR_BACKGROUND_2X_PNG, desktop.name);
}

TEST (StandaloneApp, withGdkScaleTwoWhereJuceFindsNoScaleShowsTheEditorTwiceAsLarge)
{
    if (std::getenv ("DISPLAY") == nullptr)
        GTEST_SKIP() << "no X display";
    expectTheEditorShown (0, LUMIDOR_BACKGROUND_2X_PNG, std::getenv ("DISPLAY"), "2");
}
