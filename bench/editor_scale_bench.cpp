// What an open editor costs at a scale: the CLAP module's editor at 1, 2 or
// 3 × in a real X11 window, audio playing on a thread of its own at real
// time, and six parameters automated about 30 times a second, so the value
// bars and all five live displays repaint as a host shows automation. The
// host's main thread (timers, message delivery, painting) is measured, as
// is the memory the editor adds. Run each scale in a fresh process:
//
//   lumidor_bench_editor SCALE [seconds, 10]
//
// prints: scale, window size, main-thread CPU share, audio-thread CPU share,
// resident memory added by opening the editor, peak resident memory.
#include "ClapTestHost.h"
#include "X11HostWindow.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr uint32_t blockFrames = 256;
constexpr int automationPeriodMs = 30;

double threadSeconds()
{
    timespec t {};
    clock_gettime (CLOCK_THREAD_CPUTIME_ID, &t);
    return (double) t.tv_sec + 1e-9 * (double) t.tv_nsec;
}

/** A /proc/self/status figure in kB (VmRSS, VmHWM). */
long statusKb (const char* field)
{
    std::ifstream status ("/proc/self/status");
    std::string line;
    const auto length = std::strlen (field);
    while (std::getline (status, line))
        if (line.compare (0, length, field) == 0 && line.size() > length && line[length] == ':')
            return std::atol (line.c_str() + length + 1);
    return -1;
}
}

int main (int argc, char** argv)
{
    const double scale = argc > 1 ? std::atof (argv[1]) : 1.0;
    const double seconds = argc > 2 ? std::atof (argv[2]) : 10.0;
    if (std::getenv ("DISPLAY") == nullptr)
    {
        std::fprintf (stderr, "needs an X display\n");
        return 1;
    }

    claptest::Host host;
    claptest::Plugin plugin (host);
    if (! plugin.ok() || ! plugin.activate (sampleRate, blockFrames))
    {
        std::fprintf (stderr, "cannot load %s\n", LUMIDOR_CLAP_MODULE_PATH);
        return 1;
    }

    // Audio at real time from here on, automation in its events.
    std::atomic<bool> stop { false };
    std::atomic<double> audioCpu { 0.0 }, audioWall { 0.0 };
    std::thread audio (
        [&]
        {
            std::vector<float> l (blockFrames), r (blockFrames);
            float* ch[2] = { l.data(), r.data() };
            claptest::InputEvents events;
            events.events.reserve (8);
            const auto blockTime = std::chrono::duration<double> ((double) blockFrames / sampleRate);
            auto next = std::chrono::steady_clock::now();
            auto nextAutomation = next;
            unsigned seed = 1;
            double phase = 0.0;
            const double start = threadSeconds();
            const auto wallStart = std::chrono::steady_clock::now();
            while (! stop)
            {
                for (uint32_t i = 0; i < blockFrames; ++i)
                {
                    seed = seed * 1664525u + 1013904223u;
                    l[i] = 0.25f * ((float) (seed >> 8) / 8388608.0f - 1.0f);
                    r[i] = -l[i];
                }
                events.events.clear();
                if (std::chrono::steady_clock::now() >= nextAutomation)
                {
                    phase += 0.05;
                    for (clap_id id : { 0u, 1u, 2u, 3u, 4u, 5u })
                        events.events.push_back (
                            claptest::parameterEvent (0, id, 0.5 + 0.45 * std::sin (phase + (double) id)));
                    nextAutomation += std::chrono::milliseconds (automationPeriodMs);
                }
                plugin.process (ch, ch, blockFrames, events);
                next += std::chrono::duration_cast<std::chrono::steady_clock::duration> (blockTime);
                std::this_thread::sleep_until (next);
            }
            audioCpu = threadSeconds() - start;
            audioWall = std::chrono::duration<double> (std::chrono::steady_clock::now() - wallStart).count();
        });

    const int width = (int) std::lround (450.0 * scale), height = (int) std::lround (223.0 * scale);
    X11HostWindow window (width, height);
    if (! window.isOpen())
        return 1;
    const auto runHost = [&] (int ms)
    {
        window.idle (
            [&]
            {
                for (auto id : std::vector<clap_id> (host.timers))
                    plugin.timer->on_timer (plugin.plugin, id);
            },
            ms);
    };

    runHost (200);
    const long rssBefore = statusKb ("VmRSS");
    clap_window_t parent { CLAP_WINDOW_API_X11, {} };
    parent.x11 = window.id();
    uint32_t w = 0, h = 0;
    if (! plugin.gui->create (plugin.plugin, CLAP_WINDOW_API_X11, false)
        || ! plugin.gui->set_scale (plugin.plugin, scale) || ! plugin.gui->get_size (plugin.plugin, &w, &h)
        || ! plugin.gui->set_parent (plugin.plugin, &parent) || ! plugin.gui->show (plugin.plugin))
    {
        std::fprintf (stderr, "the editor did not open\n");
        return 1;
    }
    runHost (1000); // every picture decoded, every widget painted once

    const double mainStart = threadSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    runHost ((int) (seconds * 1000.0));
    const double mainCpu = threadSeconds() - mainStart;
    const double wall = std::chrono::duration<double> (std::chrono::steady_clock::now() - wallStart).count();
    const long rssOpen = statusKb ("VmRSS");

    stop = true;
    audio.join();
    plugin.gui->destroy (plugin.plugin);

    std::printf (
        "scale %.2f  window %u x %u  main thread %.2f %%  audio thread %.2f %%  editor memory +%.1f MB  peak %.1f MB\n",
        scale, w, h, 100.0 * mainCpu / wall, 100.0 * audioCpu / audioWall, (double) (rssOpen - rssBefore) / 1024.0,
        (double) statusKb ("VmHWM") / 1024.0);
    return 0;
}
