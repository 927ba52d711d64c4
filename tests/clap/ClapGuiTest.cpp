// The CLAP module's editor in a real X11 host window, driven as a CLAP host
// drives it: through the timer (or the descriptors) the plug-in registers,
// opened and closed again and again while an audio thread processes.
// GoogleTest comes first: Xlib's macros would rename parts of it.
#include <gtest/gtest.h>

#include "ClapTestHost.h"
#include "EditorPicture.h"
#include "X11HostWindow.h"
#include "XErrorProbe.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <thread>

using namespace claptest;

namespace
{
struct ClapGui : ::testing::Test
{
    void SetUp() override
    {
        if (std::getenv ("DISPLAY") == nullptr)
            GTEST_SKIP() << "needs an X display";
        ASSERT_TRUE (window.isOpen());
    }

    /** The host's main loop for about ms: its timers and watched
        descriptors fire, the window system is kept in step. */
    static void runHost (X11HostWindow& w, Plugin& plugin, int ms)
    {
        w.idle (
            [&]
            {
                for (auto id : std::vector<clap_id> (plugin.host.timers))
                    plugin.timer->on_timer (plugin.plugin, id);
                for (int fd : std::vector<int> (plugin.host.fds))
                    plugin.fd->on_fd (plugin.plugin, fd, CLAP_POSIX_FD_READ);
            },
            ms);
    }

    static bool open (Plugin& plugin, X11HostWindow& w)
    {
        clap_window_t parent { CLAP_WINDOW_API_X11, {} };
        parent.x11 = w.id();
        return plugin.gui->create (plugin.plugin, CLAP_WINDOW_API_X11, false)
               && plugin.gui->set_parent (plugin.plugin, &parent) && plugin.gui->show (plugin.plugin);
    }

    X11HostWindow window { 450, 223 };
};
}

TEST_F (ClapGui, opensAtTheHostsScaleAndDeclinesFloating)
{
    Host host;
    Plugin plugin (host);
    ASSERT_TRUE (plugin.ok());
    ASSERT_NE (plugin.gui, nullptr);
    EXPECT_TRUE (plugin.gui->is_api_supported (plugin.plugin, CLAP_WINDOW_API_X11, false));
    EXPECT_FALSE (plugin.gui->is_api_supported (plugin.plugin, CLAP_WINDOW_API_X11, true));
    EXPECT_FALSE (plugin.gui->is_api_supported (plugin.plugin, CLAP_WINDOW_API_WAYLAND, false));
    EXPECT_FALSE (plugin.gui->create (plugin.plugin, CLAP_WINDOW_API_X11, true));

    ASSERT_TRUE (plugin.gui->create (plugin.plugin, CLAP_WINDOW_API_X11, false));
    const auto size = [&plugin]
    {
        uint32_t w = 0, h = 0;
        EXPECT_TRUE (plugin.gui->get_size (plugin.plugin, &w, &h));
        return std::pair { w, h };
    };
    EXPECT_EQ (size(), std::pair (450u, 223u)) << "the desktop's scale, 1 on the test display";
    EXPECT_FALSE (plugin.gui->can_resize (plugin.plugin));
    EXPECT_FALSE (plugin.gui->set_size (plugin.plugin, 900, 446));

    // Sizes follow the scale, rounded, and the one size there is is the
    // only one set_size and adjust_size accept.
    EXPECT_TRUE (plugin.gui->set_scale (plugin.plugin, 2.0));
    EXPECT_EQ (size(), std::pair (900u, 446u));
    EXPECT_TRUE (plugin.gui->set_size (plugin.plugin, 900, 446));
    uint32_t w = 1000, h = 1000;
    EXPECT_TRUE (plugin.gui->adjust_size (plugin.plugin, &w, &h));
    EXPECT_EQ (std::pair (w, h), std::pair (900u, 446u));
    EXPECT_TRUE (plugin.gui->set_scale (plugin.plugin, 1.5));
    EXPECT_EQ (size(), std::pair (675u, 335u));
    EXPECT_TRUE (plugin.gui->set_scale (plugin.plugin, 5.0));
    EXPECT_EQ (size(), std::pair (1350u, 669u)) << "drawn at most at 3 x";
    EXPECT_FALSE (plugin.gui->set_scale (plugin.plugin, 0.0));
    EXPECT_FALSE (plugin.gui->set_scale (plugin.plugin, std::nan ("")));
    EXPECT_EQ (size(), std::pair (1350u, 669u));
    EXPECT_EQ (host.resizeRequests, 0) << "the host asks for the size after set_scale";
    EXPECT_EQ (host.timers.size(), 1u);
    plugin.gui->destroy (plugin.plugin);
    EXPECT_TRUE (host.timers.empty());
}

TEST_F (ClapGui, needsTheHostsTimerOrDescriptorWatchingAndWorksWithEither)
{
    Host neither;
    neither.offerTimer = false;
    Plugin blind (neither);
    ASSERT_TRUE (blind.ok());
    EXPECT_FALSE (blind.gui->create (blind.plugin, CLAP_WINDOW_API_X11, false));

    Host fdOnly;
    fdOnly.offerTimer = false;
    fdOnly.offerFd = true;
    Plugin plugin (fdOnly);
    ASSERT_TRUE (plugin.ok());
    ASSERT_TRUE (open (plugin, window));
    EXPECT_GE (fdOnly.fds.size(), 2u) << "the message queue's and the window system's descriptors";
    runHost (window, plugin, 300);
    EXPECT_EQ (window.numChildren(), 1);

    // A click on the left input switch reaches the host as three gestures
    // (the three input switches), handed over at the next flush.
    window.click (92 + 11, 17 + 9);
    runHost (window, plugin, 300);
    EXPECT_GT (fdOnly.flushRequests, 0);
    InputEvents none;
    OutputEvents pushed;
    plugin.flush (none, pushed);
    std::vector<clap_id> values;
    for (size_t i = 0; i < pushed.count; ++i)
    {
        const auto& e = pushed.seen[i];
        if (e.type == CLAP_EVENT_PARAM_VALUE)
        {
            values.push_back (e.id);
            EXPECT_EQ (pushed.seen[i - 1].type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
            EXPECT_EQ (pushed.seen[i + 1].type, CLAP_EVENT_PARAM_GESTURE_END);
        }
    }
    EXPECT_EQ (values, (std::vector<clap_id> { 9, 10, 8 }));
    EXPECT_EQ (plugin.value (8), 1.0);
    plugin.gui->destroy (plugin.plugin);
    EXPECT_TRUE (fdOnly.fds.empty());
    EXPECT_EQ (window.numChildren(), 0);
}

TEST_F (ClapGui, opensAndClosesTwentyTimesWhileAudioRunsAndHostEventsMoveIt)
{
    Host host;
    Plugin plugin (host);
    ASSERT_TRUE (plugin.ok());
    ASSERT_TRUE (plugin.activate (48000.0, 256));

    std::atomic<bool> stop { false };
    std::atomic<int> blocks { 0 };
    std::thread audio (
        [&]
        {
            std::vector<float> l (256, 0.25f), r (256, -0.25f);
            float* ch[2] = { l.data(), r.data() };
            InputEvents events;
            events.events.reserve (1);
            while (! stop)
            {
                events.events.clear();
                if (blocks % 50 == 0)
                    events.events.push_back (parameterEvent (100, 0, (blocks / 50) % 2 == 0 ? 0.2 : 0.9));
                plugin.process (ch, ch, 256, events);
                ++blocks;
                std::this_thread::sleep_for (std::chrono::milliseconds (1));
            }
        });

    for (int i = 0; i < 20; ++i)
    {
        ASSERT_TRUE (open (plugin, window)) << i;
        runHost (window, plugin, 60);
        ASSERT_EQ (window.numChildren(), 1) << i;
        if (i % 3 == 0)
        {
            plugin.gui->hide (plugin.plugin);
            runHost (window, plugin, 20);
            plugin.gui->show (plugin.plugin);
        }
        plugin.gui->destroy (plugin.plugin);
        runHost (window, plugin, 10);
        ASSERT_EQ (window.numChildren(), 0) << i;
    }
    stop = true;
    audio.join();
    EXPECT_GT (blocks.load(), 100);
    EXPECT_TRUE (host.timers.empty());
}

TEST_F (ClapGui, AtTwiceTheScaleTheEditorFillsTheHostsWindowAndTakesClicksAndDragsAsAtOnce)
{
    // At 1 x: a drag along the early-size bar, from 10 to 90 of its 121 pixels.
    double valueAtOnce = 0.0;
    {
        Host host;
        Plugin plugin (host);
        ASSERT_TRUE (plugin.ok());
        ASSERT_TRUE (open (plugin, window));
        runHost (window, plugin, 300);
        window.drag (32 + 10, 119, 32 + 90, 119);
        runHost (window, plugin, 300);
        valueAtOnce = plugin.value (0);
        plugin.gui->destroy (plugin.plugin);
    }
    ASSERT_NEAR (valueAtOnce, 90.0 / 121.0, 1.0e-6);

    Host host;
    Plugin plugin (host);
    ASSERT_TRUE (plugin.ok());
    X11HostWindow large (900, 446, 0, 300);
    ASSERT_TRUE (plugin.gui->create (plugin.plugin, CLAP_WINDOW_API_X11, false));
    ASSERT_TRUE (plugin.gui->set_scale (plugin.plugin, 2.0));
    uint32_t w = 0, h = 0;
    ASSERT_TRUE (plugin.gui->get_size (plugin.plugin, &w, &h));
    EXPECT_EQ (std::pair (w, h), std::pair (900u, 446u));
    clap_window_t parent { CLAP_WINDOW_API_X11, {} };
    parent.x11 = large.id();
    ASSERT_TRUE (plugin.gui->set_parent (plugin.plugin, &parent) && plugin.gui->show (plugin.plugin));
    runHost (large, plugin, 400);

    EXPECT_EQ (large.childSize(), std::pair (900, 446)) << "the size told is the size shown";
    Picture shown;
    shown.pixels = large.capture (shown.width, shown.height);
    EXPECT_LT (differingShare (shown, reference ("--scale 2")), 0.01) << "the 2 x editor fills the window";

    large.drag (2 * (32 + 10), 2 * 119, 2 * (32 + 90), 2 * 119);
    large.click (2 * (92 + 11), 2 * (17 + 9));
    runHost (large, plugin, 300);
    EXPECT_EQ (plugin.value (0), valueAtOnce);
    EXPECT_EQ (plugin.value (8), 1.0) << "the left input switch, at twice its place";
    EXPECT_EQ (host.resizeRequests, 0);
    plugin.gui->destroy (plugin.plugin);
}

TEST_F (ClapGui, theHostsXErrorHandlerIsItsOwnAfterTwoRoundsOfCreateShowDestroy)
{
    const auto previous = xprobe::installHostHandler();
    for (int round = 0; round < 2; ++round)
    {
        Host host;
        Plugin plugin (host);
        ASSERT_TRUE (plugin.ok());
        ASSERT_TRUE (open (plugin, window));
        runHost (window, plugin, 100);
        plugin.gui->destroy (plugin.plugin);
    }
    EXPECT_TRUE (xprobe::hostHandlerStillHears (previous));
}
