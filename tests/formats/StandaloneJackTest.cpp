// The standalone application joins a JACK graph: under a dummy JACK server
// of the test's own it registers two inputs and two outputs, passes what a
// metronome plays into them (the input is not muted for JACK ports), and
// its outputs carry the clicks with their reverb, which goes on sounding
// where the metronome is silent. Everything the test starts it stops.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace
{
namespace fs = std::filesystem;
using namespace std::chrono_literals;

/** A child process, stopped (TERM, then KILL) when the object goes. */
class Child
{
public:
    explicit Child (std::vector<std::string> argv)
    {
        pid = fork();
        if (pid == 0)
        {
            std::vector<char*> args;
            for (auto& a : argv)
                args.push_back (a.data());
            args.push_back (nullptr);
            // The tools' chatter would drown the test's own report.
            if (std::freopen ("/dev/null", "w", stdout) == nullptr)
                _exit (126);
            execvp (args[0], args.data());
            _exit (127);
        }
    }

    ~Child() { stop(); }

    Child (const Child&) = delete;
    Child& operator= (const Child&) = delete;

    /** Waits for the child to end by itself; false if it is still running. */
    bool waitFor (std::chrono::milliseconds limit)
    {
        for (auto waited = 0ms; waited < limit; waited += 50ms)
        {
            if (waitpid (pid, nullptr, WNOHANG) == pid)
            {
                pid = -1;
                return true;
            }
            std::this_thread::sleep_for (50ms);
        }
        return false;
    }

    void stop()
    {
        if (pid <= 0)
            return;
        kill (pid, SIGTERM);
        if (! waitFor (5000ms))
        {
            kill (pid, SIGKILL);
            waitpid (pid, nullptr, 0);
        }
        pid = -1;
    }

private:
    pid_t pid = -1;
};

/** Runs a command to its end and gives what it printed. */
std::string output (const std::string& command)
{
    std::string text;
    if (auto* pipe = popen ((command + " 2>/dev/null").c_str(), "r"))
    {
        char buffer[512];
        while (std::fgets (buffer, sizeof buffer, pipe) != nullptr)
            text += buffer;
        pclose (pipe);
    }
    return text;
}

bool waitForPort (const std::string& port, std::chrono::milliseconds limit)
{
    for (auto waited = 0ms; waited < limit; waited += 100ms)
    {
        if (output ("jack_lsp").find (port) != std::string::npos)
            return true;
        std::this_thread::sleep_for (100ms);
    }
    return false;
}

double rms (const std::vector<float>& frames, int channels, int channel, size_t from, size_t to)
{
    double sum = 0;
    for (auto i = from; i < to; ++i)
        sum += (double) frames[i * (size_t) channels + (size_t) channel]
               * frames[i * (size_t) channels + (size_t) channel];
    return to > from ? std::sqrt (sum / (double) (to - from)) : 0.0;
}

TEST (StandaloneJack, theAppIsAJackClientThatPassesClicksThroughTheReverb)
{
    const auto work = fs::temp_directory_path() / ("lumidor-jack-" + std::to_string (getpid()));
    fs::create_directories (work);
    // A server of the test's own name, so a JACK server the user runs is
    // neither used nor disturbed; every client below inherits the name.
    const auto server = "lumidor-test-" + std::to_string (getpid());
    setenv ("JACK_DEFAULT_SERVER", server.c_str(), 1);
    setenv ("JACK_NO_AUDIO_RESERVATION", "1", 1);

    {
        Child jackd ({ "jackd", "--no-realtime", "-n", server, "-d", "dummy", "-r", "44100", "-p", "256" });
        ASSERT_TRUE (waitForPort ("system:playback_1", 10s)) << "the dummy JACK server did not start";

        // A fresh home: the app's first start, with no saved audio setup.
        Child app ({ "env", "HOME=" + work.string(), LUMIDOR_STANDALONE_PATH });
        ASSERT_TRUE (waitForPort ("Lumidor:out_2", 30s)) << "the app registered no JACK ports:\n"
                                                         << output ("jack_lsp");
        const auto ports = output ("jack_lsp");
        for (const char* port : { "Lumidor:in_1", "Lumidor:in_2", "Lumidor:out_1", "Lumidor:out_2" })
            EXPECT_NE (ports.find (port), std::string::npos) << port;

        // One 20 ms click a second.
        Child metro ({ "jack_metro", "-n", "metro", "-b", "60", "-D", "20", "-A", "0.5" });
        ASSERT_TRUE (waitForPort ("metro:60_bpm", 10s));
        for (const char* in : { "Lumidor:in_1", "Lumidor:in_2" })
            output (std::string ("jack_connect metro:60_bpm ") + in);

        // The metronome itself and the app's two outputs, on one clock.
        const auto recording = (work / "recording.wav").string();
        Child rec (
            { "jack_rec", "-f", recording, "-d", "4", "-b", "32", "metro:60_bpm", "Lumidor:out_1", "Lumidor:out_2" });
        ASSERT_TRUE (rec.waitFor (20s)) << "jack_rec did not finish";

        SF_INFO info {};
        auto* file = sf_open (recording.c_str(), SFM_READ, &info);
        ASSERT_NE (file, nullptr) << sf_strerror (nullptr);
        ASSERT_EQ (info.channels, 3);
        std::vector<float> frames ((size_t) info.frames * 3);
        sf_readf_float (file, frames.data(), info.frames);
        sf_close (file);
        ASSERT_GT (info.frames, 3 * 44100 / 2);

        // Each click's start in the metronome channel.
        std::vector<size_t> clicks;
        const auto n = (size_t) info.frames;
        for (size_t i = 1; i < n; ++i)
            if (std::abs (frames[i * 3]) > 1e-3f && (clicks.empty() || i > clicks.back() + 22050))
                clicks.push_back (i);
        ASSERT_GE (clicks.size(), 2u) << "the recording holds too few clicks";

        int heard = 0;
        for (const auto click : clicks)
        {
            const auto clickEnd = click + 882;               // 20 ms
            const auto gapStart = click + 4410;              // 100 ms on: the metronome is silent
            const auto gapEnd = std::min (n, click + 22050); // half a second
            if (gapEnd <= gapStart + 4410)
                continue;
            ASSERT_LT (rms (frames, 3, 0, gapStart, gapEnd), 1e-9) << "the metronome is not silent between its clicks";
            for (int channel : { 1, 2 })
            {
                // The click comes through (the input is not muted), and its
                // reverb goes on after it.
                EXPECT_GT (rms (frames, 3, channel, click, clickEnd + 4410), 1e-3) << "channel " << channel;
                EXPECT_GT (rms (frames, 3, channel, gapStart, gapEnd), 1e-4) << "channel " << channel;
            }
            ++heard;
        }
        EXPECT_GE (heard, 1);
    }
    fs::remove_all (work);
}
}
