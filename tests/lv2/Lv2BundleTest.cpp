// The bundle as LV2 hosts and lilv's tools read it: eleven control ports in
// their units whose defaults and ends read back as exactly the plug-in's
// values, the factory programs as named presets, and lilv's own tools.
#include "FactoryPrograms.h"
#include "Lv2TestHost.h"
#include "ParameterUnits.h"

#include <gtest/gtest.h>
#include <lv2/port-props/port-props.h>
#include <lv2/presets/presets.h>
#include <lv2/units/units.h>

#include <cstdio>
#include <fstream>
#include <set>

using namespace lv2test;

namespace
{
bool sameBits (float a, float b) { return std::memcmp (&a, &b, sizeof (float)) == 0; }

bool portHas (const LilvPort* port, const char* propertyUri)
{
    Node property (propertyUri);
    return lilv_port_has_property (plugin(), port, property);
}

std::string unitOfPort (const LilvPort* port)
{
    Node unitPredicate (LV2_UNITS__unit);
    auto* units = lilv_port_get_value (plugin(), port, unitPredicate);
    std::string u = lilv_nodes_size (units) > 0 ? lilv_node_as_uri (lilv_nodes_get_first (units)) : "";
    lilv_nodes_free (units);
    return u;
}

std::string run (const std::string& command)
{
    std::string output;
    if (auto* pipe = popen ((command + " 2>&1").c_str(), "r"))
    {
        char buffer[4096];
        size_t n;
        while ((n = fread (buffer, 1, sizeof (buffer), pipe)) > 0)
            output.append (buffer, n);
        pclose (pipe);
    }
    return output;
}

/** The factory programs' port values as a preset carries them, by symbol. */
std::map<std::string, float> presetPortValues (const LilvNode* preset)
{
    std::map<std::string, float> values;
    static UridMap urids;
    auto* state = lilv_state_new_from_world (world(), &urids.feature, preset);
    if (state == nullptr)
        return values;
    lilv_state_emit_port_values (
        state,
        [] (const char* symbol, void* user, const void* value, uint32_t size, uint32_t)
        {
            if (size == sizeof (float))
                (*static_cast<std::map<std::string, float>*> (user))[symbol] = *static_cast<const float*> (value);
        },
        &values);
    lilv_state_free (state);
    return values;
}
}

TEST (Lv2Bundle, aScratchLv2PathOffersThePluginWithElevenControlPortsThenStereoAudio)
{
    ASSERT_NE (plugin(), nullptr) << "no " << pluginUri << " in " << LUMIDOR_LV2_BUNDLE_DIR;
    Node name (lilv_plugin_get_name (plugin()));
    EXPECT_STREQ (lilv_node_as_string (name), "Lumidor");
    ASSERT_EQ (lilv_plugin_get_num_ports (plugin()), portCount);

    // A host that offers no feature at all (lv2apply) may load it.
    auto* required = lilv_plugin_get_required_features (plugin());
    EXPECT_EQ (lilv_nodes_size (required), 0u);
    lilv_nodes_free (required);

    Node input (LILV_URI_INPUT_PORT), output (LILV_URI_OUTPUT_PORT), control (LILV_URI_CONTROL_PORT),
        audio (LILV_URI_AUDIO_PORT);
    const char* const symbols[] = { "early_size",    "late_size",  "decay",      "diffusion",   "listener",
                                    "dry_wet",       "volume",     "on_off",     "left_on_off", "right_on_off",
                                    "stereo_on_off", "audio_in_1", "audio_in_2", "audio_out_1", "audio_out_2" };
    for (uint32_t p = 0; p < portCount; ++p)
    {
        const auto* port = lilv_plugin_get_port_by_index (plugin(), p);
        EXPECT_STREQ (lilv_node_as_string (lilv_port_get_symbol (plugin(), port)), symbols[p]);
        EXPECT_TRUE (lilv_port_is_a (plugin(), port, p < controlCount ? control : audio)) << p;
        EXPECT_TRUE (lilv_port_is_a (plugin(), port, p < controlCount + 2 ? input : output)) << p;
    }
}

TEST (Lv2Bundle, theUiTakesTheHostsScaleFactorAsAnOptionAndThroughTheOptionsInterface)
{
    // Hosts send ui:scaleFactor only to a UI that declares it.
    Node ui ("urn:velderane:lumidor:UI"), supportedOption ("http://lv2plug.in/ns/ext/options#supportedOption"),
        scaleFactor ("http://lv2plug.in/ns/extensions/ui#scaleFactor"),
        extensionData ("http://lv2plug.in/ns/lv2core#extensionData"),
        optionsInterface ("http://lv2plug.in/ns/ext/options#interface");
    auto* uis = lilv_plugin_get_uis (plugin()); // loads the plug-in's data, the UI's with it
    ASSERT_EQ (lilv_uis_size (uis), 1u);
    lilv_uis_free (uis);
    EXPECT_TRUE (lilv_world_ask (world(), ui, supportedOption, scaleFactor));
    EXPECT_TRUE (lilv_world_ask (world(), ui, extensionData, optionsInterface));
}

TEST (Lv2Bundle, controlPortsCarryTheirUnitsAndTheSwitchesAreToggles)
{
    ASSERT_NE (plugin(), nullptr);
    const std::string pc = LV2_UNITS__pc, db = LV2_UNITS__db, s = LV2_UNITS__s;
    const std::string units[] = { pc, pc, s, pc, pc, pc, db, "", "", "", "" };
    std::vector<float> minimum (portCount), maximum (portCount), defaults (portCount);
    lilv_plugin_get_port_ranges_float (plugin(), minimum.data(), maximum.data(), defaults.data());

    for (int p = 0; p < controlCount; ++p)
    {
        const auto* port = lilv_plugin_get_port_by_index (plugin(), (uint32_t) p);
        EXPECT_EQ (unitOfPort (port), units[p]) << p;
        const bool isSwitch = p >= 7;
        EXPECT_EQ (portHas (port, LV2_CORE__toggled), isSwitch) << p;
        EXPECT_EQ (portHas (port, LV2_CORE__integer), isSwitch) << p;
        EXPECT_EQ (portHas (port, LV2_PORT_PROPS__logarithmic), p == 2) << p;
    }

    EXPECT_EQ (minimum[0], 0.0f);
    EXPECT_EQ (maximum[0], 100.0f);
    EXPECT_EQ (minimum[6], -12.0f);
    EXPECT_EQ (maximum[6], 12.0f);
    EXPECT_EQ (minimum[7], 0.0f);
    EXPECT_EQ (maximum[7], 1.0f);
    // Decay: one millisecond to two and a half minutes, as the engine hears it.
    EXPECT_NEAR (minimum[2], 0.001f, 1e-6f);
    EXPECT_NEAR (maximum[2], 153.4f, 0.1f);
}

TEST (Lv2Bundle, eachDefaultAndRangeEndReadsBackAsExactlyThePluginsValue)
{
    ASSERT_NE (plugin(), nullptr);
    const float filterDefaults[controlCount] = { 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 1.0f };
    std::vector<float> minimum (portCount), maximum (portCount), defaults (portCount);
    lilv_plugin_get_port_ranges_float (plugin(), minimum.data(), maximum.data(), defaults.data());

    for (int p = 0; p < controlCount; ++p)
    {
        EXPECT_TRUE (sameBits (ParameterUnits::fromUnit (p, defaults[(size_t) p]), filterDefaults[p])) << p;
        EXPECT_TRUE (sameBits (ParameterUnits::fromUnit (p, minimum[(size_t) p]), 0.0f)) << p;
        EXPECT_TRUE (sameBits (ParameterUnits::fromUnit (p, maximum[(size_t) p]), 1.0f)) << p;
    }
    EXPECT_EQ (defaults[6], 0.0f) << "Volume starts at 0 dB";
}

TEST (Lv2Bundle, offersEachFactoryProgramAsANamedPresetWithItsExactValues)
{
    ASSERT_NE (plugin(), nullptr);
    Node presetClass (LV2_PRESETS__Preset), label ("http://www.w3.org/2000/01/rdf-schema#label");
    auto* presets = lilv_plugin_get_related (plugin(), presetClass);
    ASSERT_EQ (lilv_nodes_size (presets), factoryPrograms().size());

    std::map<std::string, const LilvNode*> byName;
    LILV_FOREACH (nodes, i, presets)
    {
        const auto* preset = lilv_nodes_get (presets, i);
        lilv_world_load_resource (world(), preset);
        Node name (lilv_world_get (world(), preset, label, nullptr));
        ASSERT_NE (name.node, nullptr);
        byName[lilv_node_as_string (name)] = preset;
    }

    for (const auto& program : factoryPrograms())
    {
        ASSERT_EQ (byName.count (program.name), 1u) << program.name;
        const auto values = presetPortValues (byName[program.name]);
        ASSERT_EQ (values.size(), (size_t) controlCount) << program.name;
        const auto wanted = program.values();
        for (int p = 0; p < controlCount; ++p)
        {
            const auto* symbol = ParameterUnits::unitOf (p).symbol;
            ASSERT_EQ (values.count (symbol), 1u) << program.name << " " << symbol;
            EXPECT_TRUE (sameBits (ParameterUnits::fromUnit (p, values.at (symbol)), wanted[(size_t) p]))
                << program.name << " " << symbol;
        }
    }
    lilv_nodes_free (presets);
}

TEST (Lv2Bundle, lv2infoListsTheNamedPresetsAndNoDefaultWall)
{
    ASSERT_NE (world(), nullptr);
    const auto info = run (std::string ("LV2_PATH='") + getenv ("LV2_PATH") + "' '" LUMIDOR_LV2INFO "' " + pluginUri);
    EXPECT_NE (info.find ("Name:              Lumidor"), std::string::npos) << info;
    for (const auto& program : factoryPrograms())
        EXPECT_NE (info.find (std::string (" ") + program.name + "\n"), std::string::npos) << program.name;
    EXPECT_EQ (info.find ("Default\n"), std::string::npos) << info;
}

TEST (Lv2Bundle, lv2applyRendersAFileWithAControlSetBySymbol)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "lv2apply cannot load a module built with AddressSanitizer";
#endif
    ASSERT_NE (world(), nullptr);
    const std::string folder = getenv ("LV2_PATH");
    const auto in = folder + "/in.wav", out = folder + "/out.wav";

    // One second of a 16-bit stereo burst then silence, as a WAV file.
    {
        constexpr int frames = 44100;
        std::ofstream f (in, std::ios::binary);
        auto u32 = [&] (uint32_t v)
        {
            f.write (reinterpret_cast<const char*> (&v), 4);
        };
        auto u16 = [&] (uint16_t v)
        {
            f.write (reinterpret_cast<const char*> (&v), 2);
        };
        f.write ("RIFF", 4);
        u32 (36 + frames * 4);
        f.write ("WAVEfmt ", 8);
        u32 (16);
        u16 (1);
        u16 (2);
        u32 (44100);
        u32 (44100 * 4);
        u16 (4);
        u16 (16);
        f.write ("data", 4);
        u32 (frames * 4);
        for (int i = 0; i < frames; ++i)
        {
            const auto v = (int16_t) (i < 2000 ? ((i * 7919) % 16000) - 8000 : 0);
            u16 ((uint16_t) v);
            u16 ((uint16_t) v);
        }
    }

    const auto log = run ("LV2_PATH='" + folder + "' '" LUMIDOR_LV2APPLY "' -c decay 0.8 -i '" + in + "' -o '" + out
                          + "' " + pluginUri);
    std::ifstream result (out, std::ios::binary | std::ios::ate);
    ASSERT_TRUE (result.good()) << log;
    EXPECT_EQ ((long) result.tellg(), 44 + 44100 * 4) << log;

    // The tail goes on after the burst: the reverb ran.
    std::vector<int16_t> samples (44100 * 2);
    result.seekg (44);
    result.read (reinterpret_cast<char*> (samples.data()), (std::streamsize) (samples.size() * 2));
    int tail = 0;
    for (size_t i = 2 * 20000; i < samples.size(); ++i)
        tail = std::max (tail, std::abs ((int) samples[i]));
    EXPECT_GT (tail, 0) << log;
}
