#include "xReverb.h"
#include "xNote.h"

// The block step is compiled twice: once for the x86-64 baseline and once
// for processors of the x86-64-v3 level (AVX2), and the loader picks the one
// the processor runs (an indirect function, resolved once, so the audio path
// neither tests nor locks anything). Everything the block step calls is
// compiled into each copy. The engine's arithmetic is the same single- and
// double-precision IEEE operations in the same order in both, with no
// contraction into fused multiply-adds, so both give the same bits; the
// newer instruction set only encodes them more compactly.
// LUMIDOR_CPU_DISPATCH=OFF in CMake builds the baseline copy alone, which is
// how the sanitizer build tests it. On 64-bit ARM there is one copy: NEON,
// which the lanes use, is part of every such processor, and nothing newer
// would encode these operations more compactly.
#if defined(__x86_64__) && defined(__GNUC__) && ! defined(__clang__) && LUMIDOR_LANES_SSE2 \
    && ! (defined(LUMIDOR_NO_CPU_DISPATCH) && LUMIDOR_NO_CPU_DISPATCH)
#define LUMIDOR_CPU_CLONES __attribute__ ((target_clones ("arch=x86-64-v3", "default"), flatten))
#else
#define LUMIDOR_CPU_CLONES
#endif

xReverb::xReverb()
{
    bypass = false;
    setListener (0.5f);
    initFixedSettings();
}

void xReverb::initFixedSettings() noexcept
{
    // The order matters: the late stage's spread retunes its chains, each
    // modulation init runs one oscillator step, and the diffusion spread is
    // zeroed before the stored diffusion is applied again.
    preDelay.initTime();
    preDelay.initSpread();
    early.initSpread();
    late.initSpread();
    early.initHighShelfFrequency();
    late.initHighShelfFrequency();
    early.initHighShelfGain();
    late.initHighShelfGain();
    early.initLowShelfFrequency();
    late.initLowShelfFrequency();
    early.initLowShelfGain();
    late.initLowShelfGain();
    late.initModulationRate();
    late.initModulationDepth();
    late.initDiffusionSpread();
    early.initDiffusionSpread();

    // Output tone: 2 dB less at the top above about 3 kHz, 5.5 dB less at
    // the bottom below about 230 Hz.
    const float highCorner = noteToFrequency (102.0f);
    shelfLeft.setHighShelfFrequency (highCorner);
    shelfRight.setHighShelfFrequency (highCorner);
    shelfLeft.setHighShelfGain (-2.0f);
    shelfRight.setHighShelfGain (-2.0f);
    const float lowCorner = noteToFrequency (58.0f);
    shelfLeft.setLowShelfFrequency (lowCorner);
    shelfRight.setLowShelfFrequency (lowCorner);
    shelfLeft.setLowShelfGain (-5.5f);
    shelfRight.setLowShelfGain (-5.5f);
    shelves.copyCoefficients (shelfLeft, shelfRight);
}

void xReverb::setEarlySize (float note) noexcept { early.setSize (note); }
void xReverb::setLateSize (float note) noexcept { late.setSize (note); }

void xReverb::setDiffusion (float d) noexcept
{
    early.setDiffusion (d);
    late.setDiffusion (d);
}

void xReverb::setDecay (float v) noexcept { late.setDecay (v); }
void xReverb::setListener (float position) noexcept
{
    listener = position;
    const float a = 1.0f - listener;
    earlyWeight = (2.0f - a) * a;
    lateWeight = (2.0f - listener) * listener;
}

LUMIDOR_CPU_CLONES
void xReverb::run (float* left, float* right, int n) noexcept
{
    const StagesOn on = stagesOn();
    if (! (on.early && on.late))
    {
        for (int i = 0; i < n; ++i)
            runFrame (left + i, right + i, on);
        return;
    }
    // With both fields running, the frames go in stretches on which no
    // line wraps and no periodic update falls: the fields' lines are
    // then stepped with one shared frame index. A frame at which a line
    // wraps takes the ordinary step. The pre-delay joins in once its
    // glide has settled.
    const PreDelayStep pre = ! on.preDelay          ? PreDelayStep::off
                             : preDelay.isSettled() ? PreDelayStep::span
                                                    : PreDelayStep::frame;
    for (int i = 0; i < n;)
    {
        // A periodic update of the late field moves its delays, so a
        // stretch ends before it; the update then runs ahead of the
        // frame it belongs to, and the next stretch starts there.
        if (late.updateIsDue())
            late.runUpdatesAhead();
        int m = std::min ({ n - i, early.spanLength(), late.spanLength() });
        if (pre == PreDelayStep::span)
            m = std::min (m, preDelay.spanLength());
        if (m == 0)
        {
            runFrame (left + i, right + i, on);
            ++i;
            continue;
        }
        runSpans (left + i, right + i, m, pre);
        i += m;
    }
}
