// The CLAP module as a CLAP host sees it, against the VST 2 module: the same
// filter must give the same bits for the same values and block cuts, whatever
// the host sends; its state must come back whole, and unusable state must
// change nothing.
#include "../formats/FormatTestSupport.h"
#include "ClapTestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace claptest;

namespace
{
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

/** A value change at a frame counted from the start of the render. */
struct Change
{
    int frame;
    clap_id id;
    double value;
};

std::vector<Change> atBlockStarts (const std::vector<formats::ParameterChange>& script)
{
    std::vector<Change> changes;
    for (const auto& c : script)
        changes.push_back ({ c.block * formats::blockSize, (clap_id) c.index, c.value });
    return changes;
}

/** Renders through the plug-in in blocks, each change an event at its
    offset in its block; in place when asked. */
formats::StereoSignal render (Plugin& plugin, const formats::StereoSignal& signal, const std::vector<Change>& changes,
                              int blockSize = formats::blockSize, bool inPlace = false)
{
    const auto frames = (int) signal.left.size();
    formats::StereoSignal out =
        inPlace ? signal
                : formats::StereoSignal { std::vector<float> ((size_t) frames), std::vector<float> ((size_t) frames) };
    for (int start = 0; start < frames; start += blockSize)
    {
        const int n = std::min (blockSize, frames - start);
        InputEvents events;
        for (const auto& c : changes)
            if (c.frame >= start && c.frame < start + n)
                events.events.push_back (parameterEvent ((uint32_t) (c.frame - start), c.id, c.value));
        float* in[2] = { const_cast<float*> (signal.left.data()) + start,
                         const_cast<float*> (signal.right.data()) + start };
        float* o[2] = { out.left.data() + start, out.right.data() + start };
        EXPECT_EQ (plugin.process (inPlace ? o : in, o, (uint32_t) n, events), CLAP_PROCESS_CONTINUE);
    }
    return out;
}

/** The VST 2 module given the normalised values at the same frames: each
    host block is cut where a value changes, as a VST 2 host would have to. */
formats::StereoSignal renderWithVst2Cut (const formats::StereoSignal& in, const std::vector<Change>& normalised)
{
    TestHost host;
    auto* e = host.loaded() ? host.instantiate() : nullptr;
    if (e == nullptr)
        return {};
    dispatch (e, effSetSampleRate, 0, 0, nullptr, (float) formats::sampleRate);
    dispatch (e, effSetBlockSize, 0, formats::blockSize);
    dispatch (e, effMainsChanged, 0, 1);

    const int frames = (int) in.left.size();
    formats::StereoSignal out { std::vector<float> ((size_t) frames), std::vector<float> ((size_t) frames) };
    for (int block = 0; block < frames; block += formats::blockSize)
    {
        const int end = std::min (block + formats::blockSize, frames);
        for (int at = block; at < end;)
        {
            int next = end;
            for (const auto& c : normalised)
            {
                if (c.frame == at)
                    e->setParameter (e, (int) c.id, (float) c.value);
                else if (c.frame > at && c.frame < next)
                    next = c.frame;
            }
            float* ins[2] = { const_cast<float*> (in.left.data()) + at, const_cast<float*> (in.right.data()) + at };
            float* outs[2] = { out.left.data() + at, out.right.data() + at };
            e->processReplacing (e, ins, outs, next - at);
            at = next;
        }
    }
    host.close (e);
    return out;
}

void expectSameBits (const formats::StereoSignal& reference, const formats::StereoSignal& clap, const std::string& what)
{
    ASSERT_TRUE (formats::hasSignal (reference.left)) << "the VST 2 module did not load or stayed silent";
    EXPECT_EQ (formats::firstDifference (reference.left, clap.left), -1) << what;
    EXPECT_EQ (formats::firstDifference (reference.right, clap.right), -1) << what;
}

formats::StereoSignal signalOf (int blocks)
{
    auto s = formats::makeTestSignal();
    s.left.resize ((size_t) (blocks * formats::blockSize));
    s.right.resize ((size_t) (blocks * formats::blockSize));
    return s;
}

struct ClapPlugin : ::testing::Test
{
    void SetUp() override
    {
        ASSERT_NE (factory(), nullptr) << dlerror();
        ASSERT_TRUE (plugin.ok());
    }

    Host host;
    Plugin plugin { host };
};
}

TEST_F (ClapPlugin, describesItselfAsAStereoReverbEffectWithOneInPlacePortPair)
{
    ASSERT_EQ (factory()->get_plugin_count (factory()), 1u);
    const auto* d = factory()->get_plugin_descriptor (factory(), 0);
    EXPECT_STREQ (d->id, "com.velderane.lumidor");
    EXPECT_STREQ (d->name, "Lumidor");
    EXPECT_STREQ (d->vendor, "Velderane");
    EXPECT_STREQ (d->version, "1.1.0");
    std::vector<std::string> features;
    for (auto** f = d->features; *f != nullptr; ++f)
        features.push_back (*f);
    EXPECT_EQ (features, (std::vector<std::string> { "audio-effect", "reverb", "stereo" }));
    EXPECT_EQ (factory()->create_plugin (factory(), host.get(), "com.velderane.other"), nullptr);

    const auto* ports = plugin.extension<clap_plugin_audio_ports_t> (CLAP_EXT_AUDIO_PORTS);
    ASSERT_NE (ports, nullptr);
    for (bool input : { true, false })
    {
        ASSERT_EQ (ports->count (plugin.plugin, input), 1u);
        clap_audio_port_info_t info {};
        ASSERT_TRUE (ports->get (plugin.plugin, 0, input, &info));
        EXPECT_EQ (info.channel_count, 2u);
        EXPECT_STREQ (info.port_type, CLAP_PORT_STEREO);
        EXPECT_EQ (info.flags & CLAP_AUDIO_PORT_IS_MAIN, (uint32_t) CLAP_AUDIO_PORT_IS_MAIN);
        EXPECT_EQ (info.in_place_pair, 0u);
        EXPECT_FALSE (ports->get (plugin.plugin, 1, input, &info));
    }
    EXPECT_EQ (plugin.extension<void> (CLAP_EXT_NOTE_PORTS), nullptr);
    EXPECT_EQ (plugin.extension<void> ("clap.latency"), nullptr);
}

TEST_F (ClapPlugin, showsElevenAutomatableParametersWithUnitTextsAndSteppedSwitches)
{
    const char* names[] = { "EarlySize", "LateSize", "Decay",       "Diffusion",    "Listener",     "Dry-Wet",
                            "Volume",    "On-Off",   "Left On-Off", "Right On-Off", "Stereo On-Off" };
    const double defaults[] = { 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 1, 0, 0, 1 };
    ASSERT_EQ (plugin.params->count (plugin.plugin), 11u);
    for (uint32_t i = 0; i < 11; ++i)
    {
        clap_param_info_t info {};
        ASSERT_TRUE (plugin.params->get_info (plugin.plugin, i, &info));
        EXPECT_EQ (info.id, i);
        EXPECT_STREQ (info.name, names[i]);
        EXPECT_EQ (info.min_value, 0.0);
        EXPECT_EQ (info.max_value, 1.0);
        EXPECT_EQ (info.default_value, defaults[i]) << i;
        EXPECT_EQ (plugin.value (i), defaults[i]);
        EXPECT_TRUE (info.flags & CLAP_PARAM_IS_AUTOMATABLE);
        EXPECT_EQ ((info.flags & CLAP_PARAM_IS_STEPPED) != 0, i >= 7) << i;
    }
    clap_param_info_t info {};
    EXPECT_FALSE (plugin.params->get_info (plugin.plugin, 11, &info));

    EXPECT_EQ (plugin.text (0, 0.5), "50.0 %");
    EXPECT_EQ (plugin.text (2, 0.5), "392 ms");
    EXPECT_EQ (plugin.text (6, 0.375), "-3.0 dB");
    EXPECT_EQ (plugin.text (7, 1.0), "On");
    EXPECT_EQ (plugin.text (8, 0.0), "Off");
    EXPECT_EQ (plugin.text (11, 0.5), "(refused)");

    double v = -1;
    EXPECT_TRUE (plugin.params->text_to_value (plugin.plugin, 6, "-3 dB", &v));
    EXPECT_EQ (v, 0.375);
    EXPECT_TRUE (plugin.params->text_to_value (plugin.plugin, 2, "392 ms", &v));
    EXPECT_NEAR (v, 0.5, 1e-3);
    EXPECT_TRUE (plugin.params->text_to_value (plugin.plugin, 9, "on", &v));
    EXPECT_EQ (v, 1.0);
    EXPECT_FALSE (plugin.params->text_to_value (plugin.plugin, 0, "loud", &v));

    // A short display buffer still ends in a zero byte.
    char small[4];
    ASSERT_TRUE (plugin.params->value_to_text (plugin.plugin, 0, 0.5, small, sizeof (small)));
    EXPECT_STREQ (small, "50.");
}

TEST_F (ClapPlugin, rendersTheSameBitsAsTheVst2ModuleForTheSameValuesAtBlockStarts)
{
    const auto input = formats::makeTestSignal();
    ASSERT_TRUE (plugin.activate (formats::sampleRate, formats::blockSize));
    expectSameBits (formats::renderWithVst2 (input), render (plugin, input, atBlockStarts (formats::script())),
                    "script");
}

TEST_F (ClapPlugin, hearsEventsFromTheirFramesInsideABlockAsAVst2HostCuttingTheBlockThere)
{
    const auto input = signalOf (8);
    const std::vector<Change> changes {
        { 0, 2, 0.8 },    { 100, 0, 0.2 },  { 100, 5, 0.9 },  { 511, 6, 0.7 },  { 700, 8, 1.0 },
        { 1500, 8, 0.0 }, { 1501, 2, 0.3 }, { 2047, 4, 0.1 }, { 2048, 7, 0.0 }, { 3000, 7, 1.0 },
    };
    ASSERT_TRUE (plugin.activate (formats::sampleRate, formats::blockSize));
    expectSameBits (renderWithVst2Cut (input, changes), render (plugin, input, changes), "events inside blocks");
}

TEST_F (ClapPlugin, flushSetsValuesWhileInactiveAndWhileProcessingAndSendsNothingUnasked)
{
    InputEvents before;
    before.events = { parameterEvent (0, 2, 0.9), parameterEvent (0, 6, 0.25) };
    OutputEvents pushed;
    plugin.flush (before, pushed);
    EXPECT_EQ (plugin.value (2), (double) 0.9f);
    EXPECT_EQ (plugin.value (6), 0.25);

    const auto input = signalOf (6);
    const auto half = (long) (3 * formats::blockSize);
    const formats::StereoSignal early { { input.left.begin(), input.left.begin() + half },
                                        { input.right.begin(), input.right.begin() + half } };
    const formats::StereoSignal late { { input.left.begin() + half, input.left.end() },
                                       { input.right.begin() + half, input.right.end() } };
    ASSERT_TRUE (plugin.activate (formats::sampleRate, formats::blockSize));
    auto both = render (plugin, early, {});
    InputEvents during;
    during.events = { parameterEvent (0, 0, 0.1) };
    plugin.flush (during, pushed);
    EXPECT_EQ (plugin.value (0), (double) 0.1f);
    EXPECT_EQ (pushed.count, 0u);
    const auto second = render (plugin, late, {});
    both.left.insert (both.left.end(), second.left.begin(), second.left.end());
    both.right.insert (both.right.end(), second.right.begin(), second.right.end());

    const auto reference = renderWithVst2Cut (input, { { 0, 2, 0.9 }, { 0, 6, 0.25 }, { (int) half, 0, 0.1 } });
    expectSameBits (reference, both, "values from flush");
}

TEST_F (ClapPlugin, hostValuesOutsideTheRangeMeetItsEndsAndNonFiniteOnesAreIgnored)
{
    const std::vector<Change> sent {
        { 0, 2, 7.5 },         { 0, 0, -3.0 },       { 0, 4, notANumber }, { 0, 99, 0.2 },
        { 600, 6, -infinity }, { 600, 5, infinity }, { 900, 9, 0.7 },      { 1200, 8, 1.0 },
        { 1300, 7, 0.999 },    { 1800, 7, 1.0 },     { 1800, 1, 0.25 },
    };
    // What the filter hears: the ends of the range, nothing for NaN, the
    // unknown id and the infinities, switches cut to whole numbers.
    const std::vector<Change> heard {
        { 0, 2, 1.0 },    { 0, 0, 0.0 },    { 900, 9, 0.0 },   { 1200, 8, 1.0 },
        { 1300, 7, 0.0 }, { 1800, 7, 1.0 }, { 1800, 1, 0.25 },
    };
    const auto input = signalOf (6);
    ASSERT_TRUE (plugin.activate (formats::sampleRate, formats::blockSize));
    expectSameBits (renderWithVst2Cut (input, heard), render (plugin, input, sent), "unreasonable values");
    EXPECT_EQ (plugin.value (4), 0.5) << "NaN left the value alone";
    EXPECT_EQ (plugin.value (6), 0.5) << "so did an infinity";
}

TEST_F (ClapPlugin, processingInPlaceGivesTheSameBitsAsSeparateBuffers)
{
    Host otherHost;
    Plugin other (otherHost);
    ASSERT_TRUE (other.ok());
    const auto input = signalOf (6);
    const auto changes = std::vector<Change> { { 0, 2, 0.8 }, { 333, 8, 1.0 }, { 2000, 8, 0.0 } };
    ASSERT_TRUE (plugin.activate (formats::sampleRate, 300));
    ASSERT_TRUE (other.activate (formats::sampleRate, 300));
    expectSameBits (render (plugin, input, changes, 300), render (other, input, changes, 300, true), "in place");
}

TEST_F (ClapPlugin, survivesRepeatedActivationAtEveryHostRateAndBlockSizeWithNonFiniteInput)
{
    auto input = signalOf (16);
    const float nanf = std::numeric_limits<float>::quiet_NaN(), inff = std::numeric_limits<float>::infinity();
    for (size_t i = 0; i < input.left.size(); i += 997)
    {
        input.left[i] = nanf;
        input.right[i + 1] = (i % 2 == 0) ? inff : -inff;
    }
    for (double rate : { 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0 })
        for (int block : { 1, 7, 64, 441, 4096, 8192 })
        {
            ASSERT_TRUE (plugin.activate (rate, (uint32_t) block));
            const auto out = render (plugin, input, { { 5, 2, 0.95 }, { 4000, 7, 0.0 }, { 5000, 7, 1.0 } }, block);
            plugin.deactivate();
            bool finite = true;
            for (size_t i = 0; i < out.left.size(); ++i)
                finite = finite && std::isfinite (out.left[i]) && std::isfinite (out.right[i]);
            ASSERT_TRUE (finite) << rate << " Hz, blocks of " << block;
            ASSERT_TRUE (formats::hasSignal (out.left)) << rate << " Hz, blocks of " << block;
        }

    // Not active: no block is processed.
    InputEvents none;
    float buffer[2][8] {};
    float* channels[2] = { buffer[0], buffer[1] };
    EXPECT_EQ (plugin.process (channels, channels, 8, none), CLAP_PROCESS_ERROR);
    EXPECT_FALSE (plugin.activate (0.0, 512));
    EXPECT_FALSE (plugin.activate (notANumber, 512));
}

TEST_F (ClapPlugin, reportsTheVst3TailRuleAtTheActiveRate)
{
    const auto* tail = plugin.extension<clap_plugin_tail_t> (CLAP_EXT_TAIL);
    ASSERT_NE (tail, nullptr);
    ASSERT_TRUE (plugin.activate (48000.0, 512));
    // 12 s plus the late field's 0.3917 s decay time at Decay 0.5.
    EXPECT_NEAR (tail->get (plugin.plugin) / 48000.0, 12.39, 0.01);
    InputEvents longest;
    longest.events = { parameterEvent (0, 2, 1.0) };
    OutputEvents pushed;
    plugin.flush (longest, pushed);
    EXPECT_EQ (tail->get (plugin.plugin), 120u * 48000u);
}

TEST_F (ClapPlugin, stateComesBackWholeInTheSharedContainer)
{
    ASSERT_TRUE (plugin.activate (formats::sampleRate, formats::blockSize));
    render (plugin, signalOf (2), { { 0, 2, 0.8 }, { 10, 6, 0.3 }, { 600, 9, 1.0 } });
    const auto saved = plugin.save();
    ASSERT_GE (saved.size(), 12u);
    EXPECT_EQ (std::string (saved.begin(), saved.begin() + 4), "AFS1");

    Host otherHost;
    Plugin other (otherHost);
    ASSERT_TRUE (other.ok());
    ASSERT_TRUE (other.load (saved));
    EXPECT_EQ (otherHost.rescans, 1);
    EXPECT_EQ (other.value (2), (double) 0.8f);
    EXPECT_EQ (other.value (9), 1.0);
    EXPECT_EQ (other.save(), saved);

    // Both sound alike from here on.
    ASSERT_TRUE (other.activate (formats::sampleRate, formats::blockSize));
    Plugin fresh (host);
    ASSERT_TRUE (fresh.load (saved));
    ASSERT_TRUE (fresh.activate (formats::sampleRate, formats::blockSize));
    expectSameBits (render (fresh, signalOf (4), {}), render (other, signalOf (4), {}), "restored instances");
}

TEST_F (ClapPlugin, unusableStateIsRefusedAndChangesNothing)
{
    InputEvents values;
    values.events = { parameterEvent (0, 2, 0.8), parameterEvent (0, 8, 1.0) };
    OutputEvents pushed;
    plugin.flush (values, pushed);
    const auto before = plugin.save();
    ASSERT_FALSE (before.empty());

    std::vector<std::vector<char>> bad;
    for (size_t cut : { (size_t) 0, (size_t) 3, (size_t) 8, (size_t) 13, before.size() / 2, before.size() - 1 })
        bad.emplace_back (before.begin(), before.begin() + (long) cut);
    std::vector<char> garbage (before.size());
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = (char) (i * 131u + 7u);
    bad.push_back (garbage);
    auto damaged = before;
    for (size_t i = 4; i < damaged.size(); ++i)
        damaged[i] = (char) (i * 131u + 7u);
    bad.push_back (damaged);
    // A bare preset chunk as a VST 2 host keeps it: never what a CLAP host
    // hands back.
    uint32_t bankSize = 0;
    std::memcpy (&bankSize, before.data() + 8, sizeof (bankSize));
    ASSERT_LT (16u + bankSize, before.size());
    bad.emplace_back (before.begin() + 16 + bankSize, before.end());

    for (size_t i = 0; i < bad.size(); ++i)
    {
        EXPECT_FALSE (plugin.load (bad[i])) << "case " << i;
        EXPECT_EQ (plugin.save(), before) << "case " << i;
    }
    EXPECT_EQ (host.rescans, 0);
}
