// bench: the CPU cost of processing noise, our module against others, in one
// run with the repetitions interleaved so every module sees the same machine.
#include "Commands.h"
#include "CommandLine.h"
#include "InstanceSettings.h"

#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

namespace
{
constexpr double warmUpSeconds = 0.5;
constexpr unsigned trialLimitSeconds = 30;

/** CPU time of the calling thread alone, in nanoseconds. */
double threadCpuNanoseconds()
{
    timespec t {};
    clock_gettime (CLOCK_THREAD_CPUTIME_ID, &t);
    return (double) t.tv_sec * 1.0e9 + (double) t.tv_nsec;
}

struct Contender
{
    std::unique_ptr<VstHost> host;
    std::string label;
    std::vector<double> nanosecondsPerFrame;
};

double median (std::vector<double> v)
{
    std::sort (v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

/** Opens the module and processes a short stretch in a process of its own,
    so that a module which crashes, ends the process or hangs costs only its
    own row. Empty when the trial went through (or the module would not
    open, which the caller reports itself), else what went wrong. Called
    before this process loads any module: a fork while a module's threads
    hold a lock would leave the trial waiting on it for ever. */
std::string trialRun (const std::string& path, double rate, int block, const std::vector<float>& inL,
                      const std::vector<float>& inR, int64_t frames)
{
    constexpr int trialPassed = 77;
    std::fflush (nullptr);
    const pid_t child = fork();
    if (child < 0)
        return {};
    if (child == 0)
    {
        alarm (trialLimitSeconds); // as validate limits each of its cases
        VstHost host (path);
        if (host.open())
        {
            std::vector<float> outL ((size_t) frames), outR ((size_t) frames);
            host.prepare (rate, block);
            host.processStereo (inL.data(), inR.data(), outL.data(), outR.data(), frames);
            host.close();
        }
        _exit (trialPassed);
    }

    int status = 0;
    while (waitpid (child, &status, 0) < 0 && errno == EINTR)
    {
    }
    if (WIFSIGNALED (status) && WTERMSIG (status) == SIGALRM)
        return "it did not finish a trial run within " + std::to_string (trialLimitSeconds) + " s";
    if (WIFSIGNALED (status))
        return "it crashed (signal " + std::to_string (WTERMSIG (status)) + ", " + strsignal (WTERMSIG (status))
               + ") in a trial run";
    if (WIFEXITED (status) && WEXITSTATUS (status) != trialPassed)
        return "it ended the process (exit status " + std::to_string (WEXITSTATUS (status)) + ") in a trial run";
    return {};
}

std::string baseName (const std::string& path)
{
    const auto slash = path.rfind ('/');
    return slash == std::string::npos ? path : path.substr (slash + 1);
}
}

int runBench (const std::vector<std::string>& words)
{
    CommandLine args;
    if (! args.parse (words, { "against", "rate", "block", "seconds", "reps" }))
        return usageError (args.error());
    const auto ours = args.takeModule();
    if (! args.positionals().empty())
        return usageError ("bench takes one module of ours (an existing .so file), not \"" + args.positionals().front()
                           + "\"");

    double rate = 0.0, block = 0.0, seconds = 0.0, reps = 0.0;
    // The noise is held in memory: 600 s at 192 kHz is about 1 GB, and the
    // longest --seconds is what that many frames last at the lowest rate.
    constexpr double maxFrames = 115.2e6;
    if (! args.number ("rate", 44100.0, { 8000.0, 768000.0, "", "Hz" }, rate)
        || ! args.number ("block", 512.0, { 1.0, 65536.0, "", "frames" }, block)
        || ! args.number ("seconds", 10.0, { 0.0, maxFrames / 8000.0, "", "seconds" }, seconds)
        || ! args.number ("reps", 5.0, { 1.0, 1000.0 }, reps))
        return usageError (args.error());
    if (seconds <= 0.0 || seconds * rate > maxFrames)
        return usageError ("--seconds wants above 0 and at most 115200000 frames (600 s at 192000 Hz), not \""
                           + args.value ("seconds").value_or ("10") + "\"");

    const auto frames = (int64_t) std::llround (seconds * rate);
    std::vector<float> inL ((size_t) frames), inR ((size_t) frames), outL ((size_t) frames), outR ((size_t) frames);
    unsigned seed = 2024;
    for (int64_t i = 0; i < frames; ++i)
    {
        seed = seed * 1664525u + 1013904223u;
        inL[(size_t) i] = 0.25f * ((float) (seed >> 8) / 8388608.0f - 1.0f);
        seed = seed * 1664525u + 1013904223u;
        inR[(size_t) i] = 0.25f * ((float) (seed >> 8) / 8388608.0f - 1.0f);
    }

    const auto warmUp = std::min (frames, (int64_t) (warmUpSeconds * rate));

    std::vector<Contender> contenders;
    std::vector<std::string> paths { ours };
    for (const auto& other : args.values ("against"))
        paths.push_back (CommandLine::asGiven (other));
    // Ours is not tried: if it fails, the whole run fails, as it says.
    std::vector<std::string> failures (paths.size());
    for (size_t i = 1; i < paths.size(); ++i)
        failures[i] = trialRun (paths[i], rate, (int) block, inL, inR, warmUp);

    bool skipped = false;
    for (size_t i = 0; i < paths.size(); ++i)
    {
        const auto& path = paths[i];
        if (! failures[i].empty())
        {
            std::cerr << "lumidor-host: skipping " << path << ": " << failures[i] << "\n";
            skipped = true;
            continue;
        }
        auto host = std::make_unique<VstHost> (path);
        if (! host->open())
        {
            if (contenders.empty())
            {
                std::cerr << "lumidor-host: " << host->error() << "\n";
                return 1;
            }
            std::cerr << "lumidor-host: skipping " << path << ": " << host->error() << "\n";
            skipped = true;
            continue;
        }
        host->prepare (rate, (int) block);
        auto name = host->dispatchText (effGetEffectName);
        contenders.push_back (
            { std::move (host), name.empty() ? baseName (path) : name + " (" + baseName (path) + ")", {} });
    }

    for (auto& c : contenders)
        c.host->processStereo (inL.data(), inR.data(), outL.data(), outR.data(), warmUp);

    for (int r = 0; r < (int) reps; ++r)
        for (auto& c : contenders)
        {
            const double start = threadCpuNanoseconds();
            c.host->processStereo (inL.data(), inR.data(), outL.data(), outR.data(), frames);
            c.nanosecondsPerFrame.push_back ((threadCpuNanoseconds() - start) / (double) frames);
        }

    std::printf ("%d frames (%.1f s) of stereo noise at %g Hz in blocks of %d, %d repetitions, thread CPU time\n\n",
                 (int) frames, seconds, rate, (int) block, (int) reps);
    std::printf (
        "| module | realtime factor, best | realtime factor, median | ns/frame, min | ns/frame, median | cost vs ours |\n");
    std::printf ("|---|---:|---:|---:|---:|---:|\n");
    const double ourMedian = median (contenders.front().nanosecondsPerFrame);
    for (const auto& c : contenders)
    {
        const double best = *std::min_element (c.nanosecondsPerFrame.begin(), c.nanosecondsPerFrame.end());
        const double mid = median (c.nanosecondsPerFrame);
        std::printf ("| %s | %.0f | %.0f | %.1f | %.1f | %.2f |\n", c.label.c_str(), 1.0e9 / (best * rate),
                     1.0e9 / (mid * rate), best, mid, mid / ourMedian);
    }

    for (auto& c : contenders)
        c.host->close();
    // A comparison with a module missing is not the comparison asked for.
    return skipped ? 1 : 0;
}
