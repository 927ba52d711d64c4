#include "TestHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

// A host that does everything at once: its audio thread processes without a
// pause while its GUI thread, which is also the framework's message thread,
// sets parameters, switches programs, fetches and restores preset and bank
// chunks, renames programs, reads texts, suspends and resumes, and (with a
// display) builds and drops the editor. Run under ThreadSanitizer by
// tests/run-tsan.sh; LUMIDOR_STRESS_SECONDS sets the length (3 s by default).

namespace
{
constexpr int blockFrames = 256;

double stressSeconds()
{
    if (const char* s = std::getenv ("LUMIDOR_STRESS_SECONDS"))
        if (const double v = std::atof (s); v > 0.0)
            return v;
    return 3.0;
}

std::vector<char> getChunk (AEffect* e, int index)
{
    void* data = nullptr;
    const auto size = dispatch (e, effGetChunk, index, 0, &data);
    const auto* bytes = static_cast<const char*> (data);
    return size > 0 && bytes != nullptr ? std::vector<char> (bytes, bytes + size) : std::vector<char>();
}

void setChunk (AEffect* e, int index, const std::vector<char>& bytes)
{
    dispatch (e, effSetChunk, index, (VstIntPtr) bytes.size(), const_cast<char*> (bytes.data()));
}

struct Xorshift
{
    uint32_t state;
    uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    float unit() { return (float) (next() >> 8) / 16777216.0f; }
};

/** The host's audio thread: processes stereo noise in place and out of
    place until stopped, counting blocks and non-finite output samples. */
class ProcessingLoop
{
public:
    explicit ProcessingLoop (AEffect* e)
        : effect (e)
        , worker ([this] { run(); })
    {
    }
    ~ProcessingLoop() { stop(); }

    void stop()
    {
        quit = true;
        if (worker.joinable())
            worker.join();
    }

    std::atomic<long> blocks { 0 };
    std::atomic<long> nonFinite { 0 };

private:
    void run()
    {
        std::vector<float> l (blockFrames), r (blockFrames), ol (blockFrames), orr (blockFrames);
        Xorshift random { 99 };
        while (! quit)
        {
            for (int i = 0; i < blockFrames; ++i)
            {
                l[(size_t) i] = random.unit() * 2.0f - 1.0f;
                r[(size_t) i] = random.unit() * 2.0f - 1.0f;
            }
            const bool inPlace = (blocks & 1) != 0;
            float* ins[] = { l.data(), r.data() };
            float* outs[] = { ol.data(), orr.data() };
            effect->processReplacing (effect, ins, inPlace ? ins : outs, blockFrames);

            const auto& a = inPlace ? l : ol;
            const auto& b = inPlace ? r : orr;
            for (int i = 0; i < blockFrames; ++i)
                if (! std::isfinite (a[(size_t) i]) || ! std::isfinite (b[(size_t) i]))
                    ++nonFinite;

            // Hosts read parameters from the audio thread too.
            for (int p = 0; p < effect->numParams; ++p)
                if (! std::isfinite (effect->getParameter (effect, p)))
                    ++nonFinite;
            ++blocks;
        }
    }

    AEffect* effect;
    std::atomic<bool> quit { false };
    std::thread worker;
};
}

TEST (ThreadedStress, TheGuiThreadCanDoAnythingWhileTheAudioThreadProcesses)
{
    TestHost host;
    ASSERT_TRUE (host.loaded()) << dlerror();
    AEffect* effect = host.instantiate();
    ASSERT_NE (effect, nullptr);
    dispatch (effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch (effect, effSetBlockSize, 0, blockFrames);
    dispatch (effect, effMainsChanged, 0, 1);

    // Chunks to restore, captured from differently set programs.
    std::vector<std::vector<char>> presets;
    for (float v : { 0.0f, 0.3f, 1.0f })
    {
        for (int p = 0; p < effect->numParams; ++p)
            effect->setParameter (effect, p, v);
        presets.push_back (getChunk (effect, 1));
        dispatch (effect, effSetProgram, 0, (VstIntPtr) presets.size());
    }
    const auto bank = getChunk (effect, 0);
    ASSERT_FALSE (bank.empty());

    const bool withEditor = std::getenv ("DISPLAY") != nullptr;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double> (stressSeconds());

    ProcessingLoop audio (effect);
    Xorshift random { 1234 };
    long operations = 0;
    char text[256];

    while (std::chrono::steady_clock::now() < deadline)
    {
        switch (random.next() % 12)
        {
            case 0:
            case 1:
            case 2: effect->setParameter (effect, (int) (random.next() % 12), random.unit() * 1.5f - 0.25f); break;
            case 3: dispatch (effect, effSetProgram, 0, (VstIntPtr) (random.next() % 140) - 4); break;
            case 4: setChunk (effect, 1, presets[random.next() % presets.size()]); break;
            case 5: setChunk (effect, 0, bank); break;
            case 6: getChunk (effect, (int) (random.next() % 2)); break;
            case 7:
            {
                const std::string name = "stress " + std::to_string (random.next() % 1000);
                dispatch (effect, effSetProgramName, 0, 0, const_cast<char*> (name.c_str()));
                dispatch (effect, effGetProgramName, 0, 0, text);
                break;
            }
            case 8:
                dispatch (effect, effGetParamDisplay, (int) (random.next() % 11), 0, text);
                dispatch (effect, effGetProgramNameIndexed, (int) (random.next() % 128), 0, text);
                break;
            case 9:
                // A hostile host switches processing while blocks still come.
                dispatch (effect, effMainsChanged, 0, 0);
                dispatch (effect, effSetSampleRate, 0, 0, nullptr, random.next() % 2 ? 48000.0f : 44100.0f);
                dispatch (effect, effMainsChanged, 0, 1);
                break;
            case 10: dispatch (effect, effEditIdle); break;
            case 11:
                if (withEditor)
                {
                    ERect* rect = nullptr;
                    dispatch (effect, effEditGetRect, 0, 0, &rect);
                    dispatch (effect, effEditIdle);
                    dispatch (effect, effEditClose);
                }
                break;
        }
        ++operations;
    }

    audio.stop();
    std::printf ("%ld blocks processed while the GUI thread made %ld calls\n", audio.blocks.load(), operations);
    EXPECT_GT (audio.blocks.load(), 0);
    EXPECT_GT (operations, 0);
    EXPECT_EQ (audio.nonFinite.load(), 0) << "non-finite output or parameter values";

    // The instance still works: a restore reads back byte for byte.
    setChunk (effect, 0, bank);
    EXPECT_EQ (getChunk (effect, 0), bank);
    setChunk (effect, 1, presets[1]);
    EXPECT_EQ (getChunk (effect, 1), presets[1]);
}
