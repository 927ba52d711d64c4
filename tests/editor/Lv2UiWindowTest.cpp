// The LV2 build's X11 UI in a host window, as an LV2 host shows it: it
// follows port events and sends the user's edits through the host's write
// function, in the ports' units.
#include <gtest/gtest.h>

#include "EditorPicture.h"
#include "X11HostWindow.h"
#include "XErrorProbe.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <dlfcn.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <string>
#include <utility>
#include <vector>

namespace
{
struct Written
{
    uint32_t port;
    float value;
};

struct Lv2UiWindow : ::testing::Test
{
    void SetUp() override
    {
        if (std::getenv ("DISPLAY") == nullptr)
            GTEST_SKIP() << "needs an X display";
        ASSERT_TRUE (window.isOpen());
        module = dlopen (LUMIDOR_LV2_BINARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE (module, nullptr) << dlerror();
        auto entry = reinterpret_cast<const LV2UI_Descriptor* (*) (uint32_t)> (dlsym (module, "lv2ui_descriptor"));
        ASSERT_NE (entry, nullptr);
        descriptor = entry (0);
        ASSERT_NE (descriptor, nullptr);
        EXPECT_STREQ (descriptor->URI, "urn:velderane:lumidor:UI");
        EXPECT_EQ (entry (1), nullptr);
        idle = static_cast<const LV2UI_Idle_Interface*> (descriptor->extension_data (LV2_UI__idleInterface));
        ASSERT_NE (idle, nullptr);
    }

    void TearDown() override
    {
        if (ui != nullptr)
            descriptor->cleanup (ui);
        // The module stays loaded: hosts keep a plug-in's binary for the
        // process once its UI has run.
    }

    /** Opens the UI in w, with the host's ui:scaleFactor when scale > 0,
        and lets it settle for settleMs of idle calls. */
    void open (X11HostWindow& w, float scale, int settleMs = 400)
    {
        LV2UI_Resize resize { this, [] (LV2UI_Feature_Handle h, int w, int height)
                              {
                                  static_cast<Lv2UiWindow*> (h)->requestedSize = { w, height };
                                  return 0;
                              } };
        resizeFeature = resize;
        const LV2_Feature parent { LV2_UI__parent, reinterpret_cast<void*> (w.id()) };
        const LV2_Feature resizing { LV2_UI__resize, &resizeFeature };
        const LV2_Feature idling { LV2_UI__idleInterface, nullptr };
        const LV2_Feature mapping { LV2_URID__map, &map };
        const LV2_Options_Option options[] = {
            { LV2_OPTIONS_INSTANCE, 0, urid (LV2_UI__scaleFactor), sizeof (float), urid (LV2_ATOM__Float), &scale },
            { LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr },
        };
        const LV2_Feature giving { LV2_OPTIONS__options, const_cast<LV2_Options_Option*> (options) };
        const LV2_Feature* features[] = { &parent, &resizing, &idling, nullptr, nullptr, nullptr };
        if (scale > 0.0f)
        {
            features[3] = &mapping;
            features[4] = &giving;
        }
        LV2UI_Widget widget = nullptr;
        ui = descriptor->instantiate (descriptor, "urn:velderane:lumidor", LUMIDOR_LV2_BUNDLE_DIR, writeCallback, this,
                                      &widget, features);
        ASSERT_NE (ui, nullptr);
        EXPECT_NE (widget, nullptr);
        run (settleMs, w);
    }

    void open() { open (window, 0.0f); }

    void run (int ms) { run (ms, window); }

    void run (int ms, X11HostWindow& w)
    {
        w.idle ([this] { EXPECT_EQ (idle->idle (ui), 0); }, ms);
    }

    LV2_URID urid (const char* uri)
    {
        for (size_t i = 0; i < uris.size(); ++i)
            if (uris[i] == uri)
                return (LV2_URID) i + 1;
        uris.push_back (uri);
        return (LV2_URID) uris.size();
    }

    void portEvent (uint32_t port, float value) { descriptor->port_event (ui, port, sizeof (float), 0, &value); }

    static void writeCallback (LV2UI_Controller c, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer)
    {
        auto& self = *static_cast<Lv2UiWindow*> (c);
        ASSERT_EQ (size, sizeof (float));
        ASSERT_EQ (protocol, 0u);
        float v;
        std::memcpy (&v, buffer, sizeof (float));
        self.written.push_back ({ port, v });
    }

    Picture screen()
    {
        Picture p;
        p.pixels = window.capture (p.width, p.height);
        return p;
    }

    X11HostWindow window { 450, 223 };
    void* module = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    const LV2UI_Idle_Interface* idle = nullptr;
    LV2UI_Handle ui = nullptr;
    LV2UI_Resize resizeFeature {};
    std::pair<int, int> requestedSize {};
    std::vector<Written> written;
    std::vector<std::string> uris;
    LV2_URID_Map map { this, [] (LV2_URID_Map_Handle h, const char* uri)
                       {
                           return static_cast<Lv2UiWindow*> (h)->urid (uri);
                       } };
};
}

TEST_F (Lv2UiWindow, OpensInsideTheHostWindowAtItsSizeShowingTheDefaults)
{
    open();
    EXPECT_EQ (window.numChildren(), 1);
    EXPECT_EQ (requestedSize, std::make_pair (450, 223));
    EXPECT_LT (differingShare (screen(), reference()), 0.01);
    EXPECT_TRUE (written.empty());
}

TEST_F (Lv2UiWindow, FollowsPortEventsInThePortsUnits)
{
    open();
    // 100 % and -12 dB are the normalised ends; Decay goes near its longest
    // and comes back to its default; the switches flip.
    for (uint32_t port : { 0u, 1u, 3u, 5u })
        portEvent (port, 100.0f);
    portEvent (4, 0.0f);
    portEvent (6, -12.0f);
    portEvent (2, 153.0f);
    portEvent (2, 0.391678751f);
    portEvent (7, 0.0f);
    run (300);

    const std::string moved = "0=1 1=1 3=1 5=1 4=0 6=0 7=0";
    ASSERT_GT (differingShare (reference(), reference (moved)), 0.03) << "the two faces must differ";
    EXPECT_LT (differingShare (screen(), reference (moved)), 0.01);
    EXPECT_TRUE (written.empty()) << "a port event is not sent back";
}

TEST_F (Lv2UiWindow, AClickOnTheLeftInputWritesTheThreeSwitchesAsPortValues)
{
    open();
    window.click (92 + 11, 17 + 9);
    run (300);
    ASSERT_EQ (written.size(), 3u);
    EXPECT_EQ (written[0].port, 9u);
    EXPECT_EQ (written[0].value, 0.0f);
    EXPECT_EQ (written[1].port, 10u);
    EXPECT_EQ (written[1].value, 0.0f);
    EXPECT_EQ (written[2].port, 8u);
    EXPECT_EQ (written[2].value, 1.0f);
}

TEST_F (Lv2UiWindow, AtTheHostsScaleFactorItAsksForThatSizeFillsItAndTakesClicksThere)
{
    X11HostWindow large (900, 446, 0, 300);
    open (large, 2.0f);
    EXPECT_EQ (requestedSize, std::make_pair (900, 446));
    EXPECT_EQ (large.childSize(), std::make_pair (900, 446));
    Picture shown;
    shown.pixels = large.capture (shown.width, shown.height);
    EXPECT_LT (differingShare (shown, reference ("--scale 2")), 0.01);

    large.click (2 * (92 + 11), 2 * (17 + 9));
    run (300, large);
    ASSERT_EQ (written.size(), 3u);
    EXPECT_EQ (written[2].port, 8u);
    EXPECT_EQ (written[2].value, 1.0f);

    // A later change through the options interface resizes it, and the
    // interface reports the scale in use.
    auto* options = static_cast<const LV2_Options_Interface*> (descriptor->extension_data (LV2_OPTIONS__interface));
    ASSERT_NE (options, nullptr);
    const float smaller = 1.5f;
    const LV2_Options_Option change[] = {
        { LV2_OPTIONS_INSTANCE, 0, urid (LV2_UI__scaleFactor), sizeof (float), urid (LV2_ATOM__Float), &smaller },
        { LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr },
    };
    EXPECT_EQ (options->set (ui, change), (uint32_t) LV2_OPTIONS_SUCCESS);
    run (200, large);
    EXPECT_EQ (requestedSize, std::make_pair (675, 335));
    EXPECT_EQ (large.childSize(), std::make_pair (675, 335));

    LV2_Options_Option query[] = {
        { LV2_OPTIONS_INSTANCE, 0, urid (LV2_UI__scaleFactor), 0, 0, nullptr },
        { LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr },
    };
    ASSERT_EQ (options->get (ui, query), (uint32_t) LV2_OPTIONS_SUCCESS);
    ASSERT_EQ (query[0].type, urid (LV2_ATOM__Float));
    EXPECT_EQ (*static_cast<const float*> (query[0].value), 1.5f);
}

TEST_F (Lv2UiWindow, OpensAndClosesAHundredTimesWhileThePluginRunsOnAnotherThread)
{
    auto entry = reinterpret_cast<const LV2_Descriptor* (*) (uint32_t)> (dlsym (module, "lv2_descriptor"));
    ASSERT_NE (entry, nullptr);
    const auto* plugin = entry (0);
    const LV2_Feature mapping { LV2_URID__map, &map };
    const LV2_Feature* features[] = { &mapping, nullptr };
    auto* instance = plugin->instantiate (plugin, 48000.0, LUMIDOR_LV2_BUNDLE_DIR, features);
    ASSERT_NE (instance, nullptr);
    std::vector<float> controls (11, 0.5f), in (256, 0.25f), left (256), right (256);
    for (uint32_t p = 0; p < 11; ++p)
        plugin->connect_port (instance, p, &controls[p]);
    plugin->connect_port (instance, 11, in.data());
    plugin->connect_port (instance, 12, in.data());
    plugin->connect_port (instance, 13, left.data());
    plugin->connect_port (instance, 14, right.data());
    plugin->activate (instance);

    std::atomic<bool> stop { false }, finite { true };
    std::thread audio (
        [&]
        {
            while (! stop)
            {
                plugin->run (instance, 256);
                for (size_t i = 0; i < left.size(); ++i)
                    if (! std::isfinite (left[i]) || ! std::isfinite (right[i]))
                        finite = false;
            }
        });

    for (int i = 0; i < 100; ++i)
    {
        open (window, i % 3 == 0 ? 2.0f : 0.0f, 10);
        portEvent (2, (float) (i % 10));
        run (10);
        descriptor->cleanup (ui);
        ui = nullptr;
        window.idle ([] {}, 10);
        ASSERT_EQ (window.numChildren(), 0) << i;
    }

    stop = true;
    audio.join();
    plugin->deactivate (instance);
    plugin->cleanup (instance);
    EXPECT_TRUE (finite);
}

TEST_F (Lv2UiWindow, TheHostsXErrorHandlerIsItsOwnAfterTwoRoundsOfOpenAndClose)
{
    const auto previous = xprobe::installHostHandler();
    for (int round = 0; round < 2; ++round)
    {
        open (window, 0.0f, 100);
        descriptor->cleanup (ui);
        ui = nullptr;
        window.idle ([] {}, 20);
    }
    EXPECT_TRUE (xprobe::hostHandlerStillHears (previous));
}
