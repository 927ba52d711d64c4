// The LV2 build, loaded through lilv from its bundle as an LV2 host finds it
// on LV2_PATH, must sound exactly like the VST 2 module.
#include "FormatTestSupport.h"

#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/patch/patch.h>
#include <lv2/urid/urid.h>

#include <cstdlib>
#include <map>
#include <memory>

namespace
{
constexpr const char* pluginUri = "urn:velderane:lumidor";
const char* const parameterIds[] = { "EarlySize", "LateSize", "Decay", "Diffusion", "Listener", "DryWet",
                                     "Volume", "OnOff", "LeftOnOff", "RightOnOff", "StereoOnOff" };

/** The URID map a host provides: one number per URI, stable for the run. */
class UridMap
{
public:
    LV2_URID map (const char* uri)
    {
        auto [it, added] = ids.emplace (uri, (LV2_URID) ids.size() + 1);
        return it->second;
    }

    static LV2_URID mapCallback (LV2_URID_Map_Handle handle, const char* uri)
    {
        return static_cast<UridMap*> (handle)->map (uri);
    }

    LV2_URID_Map feature { this, mapCallback };

private:
    std::map<std::string, LV2_URID> ids;
};

struct WorldDeleter
{
    void operator() (LilvWorld* w) const { lilv_world_free (w); }
};

/** A lilv world that sees only the bundles on LV2_PATH, set to the build's
    LV2 folder as a user would set it. */
std::unique_ptr<LilvWorld, WorldDeleter> loadWorld()
{
    setenv ("LV2_PATH", LUMIDOR_LV2_DIR, 1);
    std::unique_ptr<LilvWorld, WorldDeleter> world (lilv_world_new());
    lilv_world_load_all (world.get());
    return world;
}

const LilvPlugin* findPlugin (LilvWorld* world)
{
    auto* uri = lilv_new_uri (world, pluginUri);
    const auto* plugin = lilv_plugins_get_by_uri (lilv_world_get_all_plugins (world), uri);
    lilv_node_free (uri);
    return plugin;
}

/** Renders the test signal through the LV2 plug-in, sending the script as
    patch:Set messages on its control port at the block starts. */
formats::StereoSignal renderWithLv2 (LilvWorld* world, const LilvPlugin* plugin, const formats::StereoSignal& in)
{
    UridMap urids;
    const auto atomInt = urids.map (LV2_ATOM__Int);
    const int32_t maxBlock = formats::blockSize;
    const LV2_Options_Option options[] = {
        { LV2_OPTIONS_INSTANCE, 0, urids.map (LV2_BUF_SIZE__maxBlockLength), sizeof (int32_t), atomInt, &maxBlock },
        { LV2_OPTIONS_INSTANCE, 0, urids.map (LV2_BUF_SIZE__minBlockLength), sizeof (int32_t), atomInt, &maxBlock },
        { LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr },
    };
    const LV2_Feature mapFeature { LV2_URID__map, &urids.feature };
    const LV2_Feature optionsFeature { LV2_OPTIONS__options, const_cast<LV2_Options_Option*> (options) };
    const LV2_Feature boundedFeature { LV2_BUF_SIZE__boundedBlockLength, nullptr };
    const LV2_Feature* features[] = { &mapFeature, &optionsFeature, &boundedFeature, nullptr };

    auto* instance = lilv_plugin_instantiate (plugin, formats::sampleRate, features);
    if (instance == nullptr)
        return {};

    auto* audioClass = lilv_new_uri (world, LILV_URI_AUDIO_PORT);
    auto* inputClass = lilv_new_uri (world, LILV_URI_INPUT_PORT);
    auto* controlClass = lilv_new_uri (world, LILV_URI_CONTROL_PORT);
    auto* atomClass = lilv_new_uri (world, LV2_ATOM__AtomPort);

    std::vector<float> audioIn[2] { std::vector<float> (formats::blockSize), std::vector<float> (formats::blockSize) };
    std::vector<float> audioOut[2] { std::vector<float> (formats::blockSize), std::vector<float> (formats::blockSize) };
    constexpr size_t atomCapacity = 16384;
    alignas (8) static uint8_t controlIn[atomCapacity];
    alignas (8) static uint8_t controlOut[atomCapacity];
    auto* atomOut = reinterpret_cast<LV2_Atom_Sequence*> (controlOut);

    const auto portCount = lilv_plugin_get_num_ports (plugin);
    std::vector<float> controls (portCount, 0.0f);
    std::vector<float> minimum (portCount), maximum (portCount), defaults (portCount);
    lilv_plugin_get_port_ranges_float (plugin, minimum.data(), maximum.data(), defaults.data());

    int audioInputs = 0, audioOutputs = 0;
    for (uint32_t p = 0; p < portCount; ++p)
    {
        const auto* port = lilv_plugin_get_port_by_index (plugin, p);
        const bool isInput = lilv_port_is_a (plugin, port, inputClass);
        if (lilv_port_is_a (plugin, port, audioClass))
        {
            auto& buffers = isInput ? audioIn : audioOut;
            auto& n = isInput ? audioInputs : audioOutputs;
            if (n < 2)
                lilv_instance_connect_port (instance, p, buffers[n].data());
            ++n;
        }
        else if (lilv_port_is_a (plugin, port, atomClass))
        {
            lilv_instance_connect_port (instance, p, isInput ? (void*) controlIn : (void*) controlOut);
        }
        else if (lilv_port_is_a (plugin, port, controlClass))
        {
            controls[p] = std::isnan (defaults[p]) ? 0.0f : defaults[p];
            lilv_instance_connect_port (instance, p, &controls[p]);
        }
    }

    lilv_node_free (atomClass);
    lilv_node_free (controlClass);
    lilv_node_free (inputClass);
    lilv_node_free (audioClass);

    formats::StereoSignal out;
    if (audioInputs != 2 || audioOutputs != 2)
    {
        lilv_instance_free (instance);
        return out;
    }

    std::vector<LV2_URID> parameterUrids;
    for (auto* id : parameterIds)
        parameterUrids.push_back (urids.map ((std::string (pluginUri) + ":" + id).c_str()));

    LV2_Atom_Forge forge;
    lv2_atom_forge_init (&forge, &urids.feature);
    const auto patchSet = urids.map (LV2_PATCH__Set);
    const auto patchProperty = urids.map (LV2_PATCH__property);
    const auto patchValue = urids.map (LV2_PATCH__value);

    out.left.resize ((size_t) formats::frameCount);
    out.right.resize ((size_t) formats::frameCount);
    lilv_instance_activate (instance);

    for (int b = 0; b < formats::blockCount; ++b)
    {
        lv2_atom_forge_set_buffer (&forge, controlIn, atomCapacity);
        LV2_Atom_Forge_Frame sequence;
        lv2_atom_forge_sequence_head (&forge, &sequence, 0);
        for (const auto& c : formats::script())
        {
            if (c.block != b)
                continue;
            LV2_Atom_Forge_Frame object;
            lv2_atom_forge_frame_time (&forge, 0);
            lv2_atom_forge_object (&forge, &object, 0, patchSet);
            lv2_atom_forge_key (&forge, patchProperty);
            lv2_atom_forge_urid (&forge, parameterUrids[(size_t) c.index]);
            lv2_atom_forge_key (&forge, patchValue);
            lv2_atom_forge_float (&forge, c.value);
            lv2_atom_forge_pop (&forge, &object);
        }
        lv2_atom_forge_pop (&forge, &sequence);

        atomOut->atom.size = atomCapacity - sizeof (LV2_Atom);
        atomOut->atom.type = urids.map (LV2_ATOM__Chunk);

        const auto offset = (size_t) (b * formats::blockSize);
        std::copy_n (in.left.data() + offset, formats::blockSize, audioIn[0].data());
        std::copy_n (in.right.data() + offset, formats::blockSize, audioIn[1].data());
        lilv_instance_run (instance, formats::blockSize);
        std::copy_n (audioOut[0].data(), formats::blockSize, out.left.data() + offset);
        std::copy_n (audioOut[1].data(), formats::blockSize, out.right.data() + offset);
    }

    lilv_instance_deactivate (instance);
    lilv_instance_free (instance);
    return out;
}
}

TEST (Lv2Format, theBundleOnLv2PathOffersThePluginWithStereoAudioPorts)
{
    auto world = loadWorld();
    const auto* plugin = findPlugin (world.get());
    ASSERT_NE (plugin, nullptr) << "no " << pluginUri << " under " << LUMIDOR_LV2_DIR;

    auto* name = lilv_plugin_get_name (plugin);
    EXPECT_STREQ (lilv_node_as_string (name), "Lumidor");
    lilv_node_free (name);

    auto* audioClass = lilv_new_uri (world.get(), LILV_URI_AUDIO_PORT);
    auto* inputClass = lilv_new_uri (world.get(), LILV_URI_INPUT_PORT);
    auto* outputClass = lilv_new_uri (world.get(), LILV_URI_OUTPUT_PORT);
    EXPECT_EQ (lilv_plugin_get_num_ports_of_class (plugin, audioClass, inputClass, nullptr), 2u);
    EXPECT_EQ (lilv_plugin_get_num_ports_of_class (plugin, audioClass, outputClass, nullptr), 2u);
    lilv_node_free (outputClass);
    lilv_node_free (inputClass);
    lilv_node_free (audioClass);
}

TEST (Lv2Format, declaresTheElevenParametersUnderStableUrisWithTheirNames)
{
    auto world = loadWorld();
    const auto* plugin = findPlugin (world.get());
    ASSERT_NE (plugin, nullptr);
    lilv_node_free (lilv_plugin_get_name (plugin)); // loads the plug-in's data files

    const char* const names[] = { "EarlySize", "LateSize", "Decay", "Diffusion", "Listener", "Dry-Wet",
                                  "Volume", "On-Off", "Left On-Off", "Right On-Off", "Stereo On-Off" };
    auto* label = lilv_new_uri (world.get(), "http://www.w3.org/2000/01/rdf-schema#label");
    for (size_t i = 0; i < std::size (parameterIds); ++i)
    {
        auto* parameter = lilv_new_uri (world.get(), (std::string (pluginUri) + ":" + parameterIds[i]).c_str());
        auto* name = lilv_world_get (world.get(), parameter, label, nullptr);
        ASSERT_NE (name, nullptr) << parameterIds[i];
        EXPECT_STREQ (lilv_node_as_string (name), names[i]);
        lilv_node_free (name);
        lilv_node_free (parameter);
    }
    lilv_node_free (label);
}

TEST (Lv2Format, rendersBitForBitWhatTheVst2ModuleRendersUnderTheSameAutomation)
{
    const auto input = formats::makeTestSignal();
    const auto reference = formats::renderWithVst2 (input);
    ASSERT_TRUE (formats::hasSignal (reference.left)) << "the VST 2 module did not load or stayed silent";

    auto world = loadWorld();
    const auto* plugin = findPlugin (world.get());
    ASSERT_NE (plugin, nullptr);
    const auto lv2 = renderWithLv2 (world.get(), plugin, input);
    ASSERT_EQ (lv2.left.size(), (size_t) formats::frameCount) << "instantiation or port connection failed";

    EXPECT_EQ (formats::firstDifference (reference.left, lv2.left), -1);
    EXPECT_EQ (formats::firstDifference (reference.right, lv2.right), -1);
}
