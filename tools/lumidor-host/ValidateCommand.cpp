// validate: abuses a module the way careless hosts do. Every case runs in its
// own fork()ed child that loads the module afresh, so a crash or a hang is
// reported as that case's failure and the other cases still run.
#include "Commands.h"
#include "CommandLine.h"
#include "VstHost.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <limits>

namespace
{
/** A case that has not finished after this long is reported as hanging. */
constexpr unsigned caseTimeLimitSeconds = 30;
constexpr double rate = 44100.0;
/** Output beyond this is taken as a blown-up filter. */
constexpr float sanePeak = 1000.0f;
/** An X display name that no server answers to. */
constexpr const char* noDisplay = ":lumidor-host-no-display";

struct Stereo
{
    std::vector<float> left, right;
};

Stereo noise (size_t frames, unsigned seed, float gain = 0.25f)
{
    Stereo s { std::vector<float> (frames), std::vector<float> (frames) };
    for (size_t i = 0; i < frames; ++i)
    {
        seed = seed * 1664525u + 1013904223u;
        s.left[i] = gain * ((float) (seed >> 8) / 8388608.0f - 1.0f);
        seed = seed * 1664525u + 1013904223u;
        s.right[i] = gain * ((float) (seed >> 8) / 8388608.0f - 1.0f);
    }
    return s;
}

/** Processes noise in blocks of `block` frames (or of varying sizes when
    `block` is 0) and returns the output. */
Stereo run (VstHost& host, size_t frames, int block, unsigned seed = 1)
{
    const auto in = noise (frames, seed);
    Stereo out { std::vector<float> (frames), std::vector<float> (frames) };
    unsigned sizes = 12345;
    for (size_t done = 0; done < frames;)
    {
        int n = block;
        if (n == 0)
        {
            sizes = sizes * 1664525u + 1013904223u;
            n = 1 + (int) ((sizes >> 8) % (unsigned) host.blockSize());
        }
        n = (int) std::min<size_t> ((size_t) n, frames - done);
        host.processBlock (in.left.data() + done, in.right.data() + done, out.left.data() + done,
                           out.right.data() + done, n);
        done += (size_t) n;
    }
    return out;
}

/** Why the output is unusable, or "" when every sample is finite and sane. */
std::string badOutput (const Stereo& out, size_t from = 0)
{
    for (const auto* channel : { &out.left, &out.right })
        for (size_t i = from; i < channel->size(); ++i)
        {
            const float v = (*channel)[i];
            if (! std::isfinite (v))
                return "sample " + std::to_string (i) + " is " + std::to_string (v);
            if (std::abs (v) > sanePeak)
                return "sample " + std::to_string (i) + " is " + std::to_string (v) + " (blown up)";
        }
    return {};
}

/** A copy of `size` bytes that ends right at a page the process may not
    touch, so a read past the end crashes instead of passing unnoticed. */
class GuardedBytes
{
public:
    GuardedBytes (const uint8_t* data, size_t bytes)
        : size (bytes)
    {
        const size_t page = (size_t) sysconf (_SC_PAGESIZE);
        pages = (bytes + page - 1) / page + 1;
        base = static_cast<uint8_t*> (
            mmap (nullptr, pages * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        mprotect (base + (pages - 1) * page, page, PROT_NONE);
        start = base + (pages - 1) * page - bytes;
        if (bytes > 0)
            std::memcpy (start, data, bytes);
    }

    ~GuardedBytes() { munmap (base, pages * (size_t) sysconf (_SC_PAGESIZE)); }

    GuardedBytes (const GuardedBytes&) = delete;
    GuardedBytes& operator= (const GuardedBytes&) = delete;

    void* data() const noexcept { return start; }

    size_t size;

private:
    uint8_t* base = nullptr;
    uint8_t* start = nullptr;
    size_t pages = 0;
};

long residentKilobytes()
{
    std::ifstream status ("/proc/self/status");
    std::string line;
    while (std::getline (status, line))
        if (line.rfind ("VmRSS:", 0) == 0)
            return std::atol (line.c_str() + 6);
    return 0;
}

/** One case: returns "" on success or the reason it failed; `note` may
    carry a remark for the report. */
using CaseBody = std::function<std::string (VstHost& host, std::string& note)>;

/** Begins a case's note when the case passes with a warning. */
constexpr const char* warningMark = "warning: ";

struct Case
{
    std::string name;
    CaseBody body;
    bool withoutDisplay = false;
};

std::string openAndRun (const std::string& modulePath, const Case& c, std::string& note)
{
    // Unsetting DISPLAY is not enough: the framework then tries ":0.0",
    // which a test server may answer. A name no server can have is.
    if (c.withoutDisplay)
        setenv ("DISPLAY", noDisplay, 1);
    VstHost host (modulePath);
    if (! host.open())
        return host.error();
    return c.body (host, note);
}

std::string chunkAbuse (VstHost& host, std::string& note,
                        const std::function<void (const std::vector<uint8_t>& chunk, bool preset,
                                                  const std::function<void (const uint8_t*, size_t)>& give)>& abuse)
{
    if ((host.descriptor()->flags & effFlagsProgramChunks) == 0)
    {
        note = "no chunks";
        return {};
    }
    host.prepare (rate, 512);
    int given = 0;
    for (bool preset : { true, false })
    {
        const auto before = host.getChunk (preset);
        abuse (before, preset,
               [&] (const uint8_t* data, size_t size)
               {
                   GuardedBytes copy (data, size);
                   host.setChunk (copy.data(), size, preset);
                   ++given;
               });
        if (host.getChunk (preset).empty())
            return std::string ("the plug-in gives no ") + (preset ? "preset" : "bank") + " chunk after the abuse";
        if (host.getChunk (preset) != before)
            note = "state changed by a damaged chunk";
    }
    const auto out = run (host, 8192, 512);
    if (auto bad = badOutput (out); ! bad.empty())
        return bad;
    note = std::to_string (given) + " chunks" + (note.empty() ? "" : "; " + note);
    return {};
}

/** `withDisplay` adds the editor case on whatever display the environment
    names, which depends on the machine and so is asked for explicitly. */
std::vector<Case> makeCases (bool withDisplay)
{
    std::vector<Case> cases;

    cases.push_back ({ "process before resume", [] (VstHost& host, std::string&)
                       {
                           return badOutput (run (host, 4096, 512));
                       } });

    cases.push_back ({ "1000 resume/suspend cycles", [] (VstHost& host, std::string&)
                       {
                           host.dispatch (effSetSampleRate, 0, 0, nullptr, (float) rate);
                           host.dispatch (effSetBlockSize, 0, 512);
                           for (int i = 0; i < 1000; ++i)
                           {
                               host.resume();
                               host.suspend();
                           }
                           host.prepare (rate, 512);
                           return badOutput (run (host, 22050, 512));
                       } });

    for (double r : { 8000.0, 11025.0, 22050.0, 32000.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0,
                      352800.0, 384000.0 })
        cases.push_back ({ "sample rate " + std::to_string ((int) r) + " Hz", [r] (VstHost& host, std::string&)
                           {
                               host.prepare (r, 512);
                               return badOutput (run (host, (size_t) (r / 2), 512));
                           } });

    // Block size 0 stands for a size that changes with every call.
    for (int block : { 1, 3, 4097, 0 })
        cases.push_back (
            { block == 0 ? std::string ("changing block size") : "block size " + std::to_string (block),
              [block] (VstHost& host, std::string& note)
              {
                  const size_t frames = 44100;
                  host.prepare (rate, 512);
                  const auto reference = run (host, frames, 512);
                  host.close();
                  if (! host.open())
                      return host.error();
                  host.prepare (rate, block == 0 ? 4097 : block);
                  const auto out = run (host, frames, block);
                  if (auto bad = badOutput (out); ! bad.empty())
                      return bad;
                  float difference = 0.0f, peak = 0.0f;
                  for (size_t i = 0; i < frames; ++i)
                  {
                      difference = std::max ({ difference, std::abs (out.left[i] - reference.left[i]),
                                               std::abs (out.right[i] - reference.right[i]) });
                      peak = std::max ({ peak, std::abs (reference.left[i]), std::abs (reference.right[i]) });
                  }
                  note = difference == 0.0f ? "same output as 512-frame blocks"
                                            : "differs from 512-frame blocks by up to " + std::to_string (difference);
                  // A plug-in may lawfully apply settings at block starts, so a
                  // difference is a warning, not a failure: the user learns
                  // that a host's block size is audible in this module.
                  if (difference > 0.0f)
                      note = warningMark + note + " ("
                             + std::to_string (100.0f * difference / std::max (peak, 1.0e-9f)).substr (0, 5)
                             + "% of the peak): the output depends on where blocks start, as it does in a module"
                               " that applies its settings at every block start";
                  return std::string();
              } });

    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<const char*, float> badValues[] = {
        { "-1", -1.0f }, { "2", 2.0f },    { "NaN", std::numeric_limits<float>::quiet_NaN() },
        { "+inf", inf }, { "-inf", -inf }, { "1e30", 1.0e30f }
    };
    for (const auto& [label, value] : badValues)
        cases.push_back ({ std::string ("parameters at ") + label + " then back",
                           [value = value] (VstHost& host, std::string& note)
                           {
                               host.prepare (rate, 512);
                               std::vector<float> normal;
                               for (int i = 0; i < host.numParameters(); ++i)
                                   normal.push_back (host.parameter (i));
                               run (host, 22050, 512, 1);

                               for (int i = 0; i < host.numParameters(); ++i)
                               {
                                   host.setParameter (i, value);
                                   host.parameter (i);
                                   host.parameterText (i);
                               }
                               const auto during = run (host, 44100, 512, 2);
                               note = badOutput (during).empty() ? "finite while abused" : "not finite while abused";

                               for (int i = 0; i < host.numParameters(); ++i)
                                   host.setParameter (i, normal[(size_t) i]);
                               // The module may take a while to forget what it heard: judge the last second of three.
                               const auto after = run (host, 3 * 44100, 512, 3);
                               if (auto bad = badOutput (after, 2 * 44100); ! bad.empty())
                                   return "does not recover: " + bad;
                               return std::string();
                           } });

    cases.push_back ({ "truncated chunks", [] (VstHost& host, std::string& note)
                       {
                           return chunkAbuse (host, note,
                                              [] (const auto& chunk, bool, const auto& give)
                                              {
                                                  for (size_t n = 1; n < chunk.size();
                                                       n += (n < 32 ? 1 : chunk.size() / 64 + 1))
                                                      give (chunk.data(), n);
                                                  give (chunk.data(), chunk.size() - 1);
                                              });
                       } });

    cases.push_back ({ "zero-length chunks", [] (VstHost& host, std::string& note)
                       {
                           const auto r =
                               chunkAbuse (host, note,
                                           [] (const auto& chunk, bool, const auto& give) { give (chunk.data(), 0); });
                           for (bool preset : { true, false })
                           {
                               host.setChunk (nullptr, 0, preset);
                               host.setChunk (nullptr, 100, preset);
                           }
                           return r;
                       } });

    cases.push_back ({ "random chunks", [] (VstHost& host, std::string& note)
                       {
                           return chunkAbuse (host, note,
                                              [] (const auto& chunk, bool, const auto& give)
                                              {
                                                  unsigned seed = 99;
                                                  auto next = [&seed]
                                                  {
                                                      seed = seed * 1664525u + 1013904223u;
                                                      return seed >> 8;
                                                  };
                                                  for (int k = 0; k < 300; ++k)
                                                  {
                                                      std::vector<uint8_t> bytes (next() % 4096);
                                                      for (auto& b : bytes)
                                                          b = (uint8_t) next();
                                                      // Half keep the real chunk's first bytes, to get past a magic.
                                                      if (k % 2 == 1)
                                                          std::copy (chunk.begin(),
                                                                     chunk.begin()
                                                                         + (long) std::min<size_t> (
                                                                             { 8, chunk.size(), bytes.size() }),
                                                                     bytes.begin());
                                                      give (bytes.data(), bytes.size());
                                                  }
                                              });
                       } });

    cases.push_back (
        { "chunks claiming a huge length", [] (VstHost& host, std::string& note)
          {
              return chunkAbuse (host, note,
                                 [] (const auto& chunk, bool, const auto& give)
                                 {
                                     // Whatever 32-bit word of the first 16 bytes holds a length is told it is huge.
                                     for (size_t at = 0; at + 4 <= std::min<size_t> (16, chunk.size()); at += 4)
                                         for (uint32_t huge : { 0x7fffffffu, 0xffffffffu, 0x00ffffffu, 0xffffff7fu })
                                         {
                                             auto bytes = chunk;
                                             std::memcpy (bytes.data() + at, &huge, 4);
                                             give (bytes.data(), bytes.size());
                                         }
                                 });
          } });

    cases.push_back ({ "out-of-range indices", [] (VstHost& host, std::string&)
                       {
                           host.prepare (rate, 512);
                           const int n = host.numParameters();
                           for (int program : { -1, host.numPrograms(), 200, 1 << 30 })
                           {
                               host.setProgram (program);
                               host.programNameAt (program);
                           }
                           for (int index : { n, n + 1, 1000 })
                           {
                               host.setParameter (index, 0.3f);
                               host.parameter (index);
                               host.parameterName (index);
                               host.parameterText (index);
                               host.parameterLabel (index);
                           }
                           host.canDo ("");
                           host.canDo ("receiveVstTimeInfo and then some");
                           return badOutput (run (host, 8192, 512));
                       } });

    cases.push_back ({ "200 open/close cycles", [] (VstHost& host, std::string& note)
                       {
                           long before = 0;
                           for (int i = 0; i < 200; ++i)
                           {
                               if (i > 0 && ! host.open())
                                   return host.error();
                               host.prepare (rate, 512);
                               if (auto bad = badOutput (run (host, 512, 512)); ! bad.empty())
                                   return bad;
                               host.close();
                               if (i == 19)
                                   before = residentKilobytes();
                           }
                           note = "resident memory grew by " + std::to_string (residentKilobytes() - before)
                                  + " kB over the last 180";
                           return std::string();
                       } });

    cases.push_back ({ "20 module unload/reload cycles", [] (VstHost& host, std::string&)
                       {
                           for (int i = 0; i < 20; ++i)
                           {
                               host.unload();
                               if (! host.open())
                                   return host.error();
                               host.prepare (rate, 512);
                               if (auto bad = badOutput (run (host, 512, 512)); ! bad.empty())
                                   return bad;
                           }
                           return std::string();
                       } });

    const auto editorCase = [] (VstHost& host, std::string& note)
    {
        if ((host.descriptor()->flags & effFlagsHasEditor) == 0)
        {
            note = "no editor";
            return std::string();
        }
        for (int round = 0; round < 3; ++round)
        {
            ERect* rect = nullptr;
            host.dispatch (effEditGetRect, 0, 0, &rect);
            if (rect != nullptr && round == 0)
                note = "rectangle " + std::to_string (rect->right - rect->left) + " x "
                       + std::to_string (rect->bottom - rect->top);
            const auto opened = host.dispatch (effEditOpen, 0, 0, nullptr);
            host.dispatch (effEditIdle);
            host.dispatch (effEditClose);
            if (round == 0)
                note +=
                    std::string (note.empty() ? "" : "; ") + "open with no window answers " + std::to_string (opened);
        }
        host.prepare (rate, 512);
        return badOutput (run (host, 4096, 512));
    };
    cases.push_back ({ "editor without a display", editorCase, true });
    if (withDisplay)
        cases.push_back ({ "editor on the current display with no parent window", editorCase, false });

    return cases;
}

/** Runs one case in a child process; returns true when it passed. */
bool runCase (const std::string& modulePath, const Case& c)
{
    int fds[2];
    if (pipe (fds) != 0)
        return false;

    std::fflush (stdout);
    const pid_t child = fork();
    if (child == 0)
    {
        close (fds[0]);
        alarm (caseTimeLimitSeconds);
        std::string note;
        const auto failure = openAndRun (modulePath, c, note);
        // A note that begins with the warning mark passes with a WARN.
        const bool warned = note.rfind (warningMark, 0) == 0;
        const std::string message =
            failure.empty() ? (warned ? "W" + note.substr (std::strlen (warningMark)) : "P" + note) : "F" + failure;
        [[maybe_unused]] auto written = write (fds[1], message.data(), message.size());
        close (fds[1]);
        _exit (0);
    }

    close (fds[1]);
    std::string message;
    char buffer[512];
    ssize_t got;
    while ((got = read (fds[0], buffer, sizeof (buffer))) > 0)
        message.append (buffer, (size_t) got);
    close (fds[0]);

    int status = 0;
    waitpid (child, &status, 0);

    bool passed = false, warned = false;
    std::string detail;
    if (WIFSIGNALED (status))
        detail = WTERMSIG (status) == SIGALRM ? "no answer within " + std::to_string (caseTimeLimitSeconds) + " s"
                                              : std::string ("crashed: ") + strsignal (WTERMSIG (status));
    else if (WIFEXITED (status) && WEXITSTATUS (status) != 0)
        detail = "exited with status " + std::to_string (WEXITSTATUS (status));
    else if (message.empty())
        detail = "ended without a verdict";
    else
    {
        passed = message[0] == 'P' || message[0] == 'W';
        warned = message[0] == 'W';
        detail = message.substr (1);
    }

    std::printf ("%s  %s%s%s\n",
                 warned   ? "WARN"
                 : passed ? "PASS"
                          : "FAIL",
                 c.name.c_str(), detail.empty() ? "" : (passed ? "  (" : ": "),
                 detail.empty() ? "" : (detail + (passed ? ")" : "")).c_str());
    std::fflush (stdout);
    return passed;
}
}

int runValidate (const std::vector<std::string>& words)
{
    CommandLine args;
    if (! args.parse (words, {}, { "editor-display" }))
        return usageError (args.error());
    const auto modulePath = args.takeModule();
    if (! args.positionals().empty())
        return usageError ("validate takes a module (an existing .so file), not \"" + args.positionals().front()
                           + "\"");

    std::printf ("validating %s\n", modulePath.c_str());
    int passed = 0, failed = 0;
    for (const auto& c : makeCases (args.has ("editor-display")))
        (runCase (modulePath, c) ? passed : failed)++;
    std::printf ("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
