// An LV2 instance must sound exactly like the VST 2 module given the same
// normalised values and the same frames since construction, whatever the
// host writes on its ports; its state must come back whole, and unusable
// state must change nothing.
#include "FactoryPrograms.h"
#include "Lv2TestHost.h"
#include "ParameterUnits.h"

#include <gtest/gtest.h>
#include <lv2/presets/presets.h>

#include <cmath>
#include <limits>

using namespace lv2test;

namespace
{
constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();
constexpr int diffusionPort = 3;

/** Port values in their units, then the values a host should never send:
    NaN, infinities, values past the range ends. Diffusion stays
    unconnected. */
const std::vector<PortChange>& portScript()
{
    static const std::vector<PortChange> changes {
        { 0, 0, 30.0f }, { 0, 1, 70.0f }, { 0, 2, 2.5f },   { 0, 4, 25.0f },  { 0, 5, 70.0f },   { 0, 6, 2.4f },
        { 4, 2, 0.35f }, { 4, 4, 90.0f }, { 6, 2, nan },    { 6, 5, 250.0f }, { 8, 8, 1.0f },    { 10, 6, -inf },
        { 10, 4, inf },  { 12, 8, 0.0f }, { 12, 9, 1.0f },  { 12, 10, 0.0f }, { 12, 0, -30.0f }, { 14, 7, 0.0f },
        { 16, 7, 1.0f }, { 16, 9, 0.0f }, { 16, 0, 95.0f }, { 16, 6, nan },
    };
    return changes;
}

/** What the VST 2 module is given for the same sound: each port value in the
    filter's normalised terms. Out-of-range values meet the range end, NaN
    the parameter's default, as the plug-in promises. */
std::vector<formats::ParameterChange> normalisedScript()
{
    std::vector<formats::ParameterChange> changes;
    for (const auto& c : portScript())
    {
        float v = ParameterUnits::fromUnit (c.port, c.value);
        if (std::isnan (c.value))
            v = 0.5f; // the default of Decay and of Volume
        else if (c.value == inf || c.value == 250.0f)
            v = 1.0f;
        else if (c.value == -inf || c.value == -30.0f)
            v = 0.0f;
        changes.push_back ({ c.block, c.port, v });
    }
    return changes;
}

std::vector<formats::ParameterChange> programAtStart (const FactoryProgram& program)
{
    std::vector<formats::ParameterChange> changes;
    const auto values = program.values();
    for (int p = 0; p < controlCount; ++p)
        changes.push_back ({ 0, p, values[(size_t) p] });
    return changes;
}

void expectSameSound (const formats::StereoSignal& reference, const formats::StereoSignal& lv2, const std::string& what)
{
    ASSERT_TRUE (formats::hasSignal (reference.left)) << "the VST 2 module did not load or stayed silent";
    EXPECT_EQ (formats::firstDifference (reference.left, lv2.left), -1) << what;
    EXPECT_EQ (formats::firstDifference (reference.right, lv2.right), -1) << what;
}

void setNonDefaultValues (Instance& instance)
{
    instance.render (testSignal (1), { { 0, 0, 12.0f }, { 0, 2, 4.0f }, { 0, 6, -3.0f }, { 0, 9, 1.0f } });
}
}

TEST (Lv2Instance, soundsBitForBitLikeTheVst2ModuleForTheSamePortValuesEvenUnreasonableOnes)
{
    const int blocks = 20;
    const auto input = testSignal (blocks);
    const auto reference = formats::renderWithVst2 (input, normalisedScript());

    Instance instance (true, { diffusionPort });
    ASSERT_TRUE (instance.ok());
    const auto lv2 = instance.render (input, portScript());
    expectSameSound (reference, lv2, "port script");
    for (auto x : lv2.left)
        ASSERT_TRUE (std::isfinite (x));
}

TEST (Lv2Instance, eachFactoryPresetSoundsLikeTheVst2ModuleAtThatProgram)
{
    const auto input = testSignal (6);
    Node presetClass (LV2_PRESETS__Preset), label ("http://www.w3.org/2000/01/rdf-schema#label");
    auto* presets = lilv_plugin_get_related (plugin(), presetClass);
    ASSERT_EQ (lilv_nodes_size (presets), factoryPrograms().size());

    LILV_FOREACH (nodes, i, presets)
    {
        const auto* preset = lilv_nodes_get (presets, i);
        lilv_world_load_resource (world(), preset);
        Node name (lilv_world_get (world(), preset, label, nullptr));
        const FactoryProgram* program = nullptr;
        for (const auto& p : factoryPrograms())
            if (std::string (p.name) == lilv_node_as_string (name))
                program = &p;
        ASSERT_NE (program, nullptr) << lilv_node_as_string (name);

        Instance instance;
        ASSERT_TRUE (instance.ok());
        auto* state = lilv_state_new_from_world (world(), &instance.urids.feature, preset);
        ASSERT_NE (state, nullptr);
        lilv_state_emit_port_values (
            state,
            [] (const char* symbol, void* user, const void* value, uint32_t size, uint32_t)
            {
                if (size == sizeof (float))
                    static_cast<Instance*> (user)->setPortBySymbol (symbol, *static_cast<const float*> (value));
            },
            &instance);
        lilv_state_free (state);

        expectSameSound (formats::renderWithVst2 (input, programAtStart (*program)), instance.render (input),
                         program->name);
    }
    lilv_nodes_free (presets);
}

TEST (Lv2Instance, stateComesBackWholeAndOutlivesThePortValuesTheHostStillHolds)
{
    Instance first;
    ASSERT_TRUE (first.ok());
    setNonDefaultValues (first);
    Instance::Stored saved;
    ASSERT_EQ (first.save (saved), LV2_STATE_SUCCESS);
    EXPECT_EQ (saved.stores, 1);
    EXPECT_EQ (saved.type, first.urids.map (LV2_ATOM__Chunk));
    ASSERT_GE (saved.bytes.size(), 4u);
    EXPECT_EQ (std::string (saved.bytes.begin(), saved.bytes.begin() + 4), "AFS1");

    // A second instance restored before its first block, as a host reopens
    // a session: the restored values must survive the next blocks, though
    // the ports still read the defaults.
    Instance second;
    ASSERT_TRUE (second.ok());
    Instance::Stored forSecond = saved;
    forSecond.key = second.urids.map ((std::string (pluginUri) + ":state").c_str());
    forSecond.type = second.urids.map (LV2_ATOM__Chunk);
    ASSERT_EQ (second.restore (forSecond), LV2_STATE_SUCCESS);
    second.render (testSignal (2));

    Instance::Stored again;
    ASSERT_EQ (second.save (again), LV2_STATE_SUCCESS);
    EXPECT_EQ (again.bytes, saved.bytes);

    // A port the host then moves is heard again.
    second.render (testSignal (1), { { 0, 2, 0.2f } });
    Instance::Stored moved;
    second.save (moved);
    EXPECT_NE (moved.bytes, saved.bytes);
}

TEST (Lv2Instance, unusableStateChangesNothing)
{
    Instance instance;
    ASSERT_TRUE (instance.ok());
    setNonDefaultValues (instance);
    Instance::Stored before;
    ASSERT_EQ (instance.save (before), LV2_STATE_SUCCESS);

    std::vector<Instance::Stored> bad;
    for (size_t cut : { (size_t) 3, (size_t) 8, (size_t) 13, before.bytes.size() / 2, before.bytes.size() - 1 })
    {
        auto s = before;
        s.bytes.resize (cut);
        bad.push_back (s);
    }
    auto garbage = before;
    for (size_t i = 4; i < garbage.bytes.size(); ++i)
        garbage.bytes[i] = (uint8_t) (i * 131u + 7u);
    bad.push_back (garbage);
    auto wrongType = before;
    wrongType.type = instance.urids.map (LV2_ATOM__String);
    bad.push_back (wrongType);
    auto empty = before;
    empty.bytes.clear();
    bad.push_back (empty);
    // A whole container, program 3, whose two chunks no reader takes: the
    // program must not be selected either.
    auto unusableChunks = before;
    unusableChunks.bytes = { 'A', 'F', 'S', '1', 3, 0, 0, 0, 4,   0,   0,   0,
                             'j', 'u', 'n', 'k', 4, 0, 0, 0, 'j', 'u', 'n', 'k' };
    bad.push_back (unusableChunks);
    auto bareGarbage = before;
    bareGarbage.bytes.assign (garbage.bytes.begin() + 4, garbage.bytes.end());
    bad.push_back (bareGarbage);

    for (size_t i = 0; i < bad.size(); ++i)
    {
        EXPECT_NE (instance.restore (bad[i]), LV2_STATE_SUCCESS) << "case " << i;
        instance.render (testSignal (1));
        Instance::Stored after;
        instance.save (after);
        EXPECT_EQ (after.bytes, before.bytes) << "case " << i;
    }
}

TEST (Lv2Instance, runsWithoutAUridMapAndThenOffersNoState)
{
    Instance instance (false);
    ASSERT_TRUE (instance.ok());
    const auto out = instance.render (testSignal (2), { { 0, 2, 1.0f } });
    EXPECT_TRUE (formats::hasSignal (out.left));
    Instance::Stored s;
    EXPECT_EQ (instance.save (s), LV2_STATE_ERR_NO_FEATURE);
    EXPECT_EQ (s.stores, 0);
}
