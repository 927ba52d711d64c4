#pragma once

// A small LV2 host for the tests, on lilv as hosts use it: the bundle found
// on a scratch LV2_PATH, an instance with its control ports as plain floats,
// the state interface called as a host calls it.
#include "../formats/FormatTestSupport.h"

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace lv2test
{
constexpr const char* pluginUri = "urn:velderane:lumidor";
constexpr int controlCount = 11;
constexpr uint32_t portCount = controlCount + 4;

/** The URID map a host provides: one number per URI, stable for the run. */
class UridMap
{
public:
    LV2_URID map (const char* uri)
    {
        auto [it, added] = ids.emplace (uri, (LV2_URID) ids.size() + 1);
        return it->second;
    }

    LV2_URID_Map feature { this, [] (LV2_URID_Map_Handle h, const char* uri)
                           {
                               return static_cast<UridMap*> (h)->map (uri);
                           } };

private:
    std::map<std::string, LV2_URID> ids;
};

/** The world of a user whose LV2_PATH holds just this bundle: a scratch
    folder with a link to the build's bundle. Loaded once per process. */
inline LilvWorld* world()
{
    static LilvWorld* w = []
    {
        char folder[] = "/tmp/lumidor-lv2-path-XXXXXX";
        if (mkdtemp (folder) == nullptr)
            return (LilvWorld*) nullptr;
        std::error_code error;
        std::filesystem::create_directory_symlink (LUMIDOR_LV2_BUNDLE_DIR, std::string (folder) + "/Lumidor.lv2",
                                                   error);
        setenv ("LV2_PATH", folder, 1);
        static std::string scratch = folder;
        std::atexit (
            []
            {
                std::error_code ignored;
                std::filesystem::remove_all (scratch, ignored);
            });
        auto* created = lilv_world_new();
        lilv_world_load_all (created);
        return created;
    }();
    return w;
}

inline const LilvPlugin* plugin()
{
    auto* uri = lilv_new_uri (world(), pluginUri);
    const auto* p = lilv_plugins_get_by_uri (lilv_world_get_all_plugins (world()), uri);
    lilv_node_free (uri);
    return p;
}

/** A node that frees itself. */
struct Node
{
    explicit Node (LilvNode* n)
        : node (n)
    {
    }
    Node (const char* uri)
        : node (lilv_new_uri (world(), uri))
    {
    }
    ~Node() { lilv_node_free (node); }
    Node (const Node&) = delete;
    Node& operator= (const Node&) = delete;
    operator const LilvNode*() const { return node; }
    LilvNode* node;
};

/** A port value change at a block start, in the port's unit. */
struct PortChange
{
    int block;
    int port;
    float value;
};

/** One instance with its ports connected to plain floats and blocks of
    formats::blockSize frames. */
class Instance
{
public:
    explicit Instance (bool offerUridMap = true, std::vector<int> unconnectedPorts = {})
    {
        std::vector<float> minimum (portCount), maximum (portCount), defaults (portCount);
        lilv_plugin_get_port_ranges_float (plugin(), minimum.data(), maximum.data(), defaults.data());
        mapFeature = { LV2_URID__map, &urids.feature };
        const LV2_Feature* withMap[] = { &mapFeature, nullptr };
        const LV2_Feature* none[] = { nullptr };
        instance = lilv_plugin_instantiate (plugin(), formats::sampleRate, offerUridMap ? withMap : none);
        if (instance == nullptr)
            return;

        for (int p = 0; p < controlCount; ++p)
        {
            controls[(size_t) p] = defaults[(size_t) p];
            if (std::find (unconnectedPorts.begin(), unconnectedPorts.end(), p) == unconnectedPorts.end())
                lilv_instance_connect_port (instance, (uint32_t) p, &controls[(size_t) p]);
        }
        for (uint32_t c = 0; c < 2; ++c)
        {
            lilv_instance_connect_port (instance, controlCount + c, in[c].data());
            lilv_instance_connect_port (instance, controlCount + 2 + c, out[c].data());
        }
        lilv_instance_activate (instance);
    }

    ~Instance()
    {
        if (instance != nullptr)
        {
            lilv_instance_deactivate (instance);
            lilv_instance_free (instance);
        }
    }

    Instance (const Instance&) = delete;
    Instance& operator= (const Instance&) = delete;

    bool ok() const { return instance != nullptr; }

    /** Runs the signal through, block by block, applying the changes at the
        starts of their blocks. */
    formats::StereoSignal render (const formats::StereoSignal& signal, const std::vector<PortChange>& changes = {})
    {
        const auto frames = signal.left.size();
        formats::StereoSignal result { std::vector<float> (frames), std::vector<float> (frames) };
        for (size_t offset = 0, b = 0; offset < frames; offset += formats::blockSize, ++b)
        {
            for (const auto& c : changes)
                if (c.block == (int) b)
                    controls[(size_t) c.port] = c.value;
            std::copy_n (signal.left.data() + offset, formats::blockSize, in[0].data());
            std::copy_n (signal.right.data() + offset, formats::blockSize, in[1].data());
            lilv_instance_run (instance, formats::blockSize);
            std::copy_n (out[0].data(), formats::blockSize, result.left.data() + offset);
            std::copy_n (out[1].data(), formats::blockSize, result.right.data() + offset);
        }
        return result;
    }

    /** One block of whatever the buffers hold, with the controls as they are. */
    void runBlock() { lilv_instance_run (instance, formats::blockSize); }

    /** Sets a control port by its symbol, as lilv restores a preset. */
    void setPortBySymbol (const char* symbol, float value)
    {
        Node s (lilv_new_string (world(), symbol));
        if (const auto* port = lilv_plugin_get_port_by_symbol (plugin(), s))
            controls[lilv_port_get_index (plugin(), port)] = value;
    }

    const LV2_State_Interface* stateInterface() const
    {
        return static_cast<const LV2_State_Interface*> (
            lilv_instance_get_extension_data (instance, LV2_STATE__interface));
    }

    /** The state's bytes as the plug-in stores them, with their type. */
    struct Stored
    {
        LV2_URID key = 0, type = 0;
        std::vector<uint8_t> bytes;
        int stores = 0;
    };

    LV2_State_Status save (Stored& stored)
    {
        auto store = [] (LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type, uint32_t)
        {
            auto& s = *static_cast<Stored*> (h);
            s.key = key;
            s.type = type;
            s.bytes.assign (static_cast<const uint8_t*> (value), static_cast<const uint8_t*> (value) + size);
            ++s.stores;
            return LV2_STATE_SUCCESS;
        };
        return stateInterface()->save (lilv_instance_get_handle (instance), store, &stored, LV2_STATE_IS_POD, nullptr);
    }

    LV2_State_Status restore (const Stored& stored)
    {
        auto retrieve = [] (LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type,
                            uint32_t* flags) -> const void*
        {
            const auto& s = *static_cast<const Stored*> (h);
            if (key != s.key)
                return nullptr;
            *size = s.bytes.size();
            *type = s.type;
            *flags = LV2_STATE_IS_POD;
            return s.bytes.data();
        };
        return stateInterface()->restore (lilv_instance_get_handle (instance), retrieve, const_cast<Stored*> (&stored),
                                          0, nullptr);
    }

    UridMap urids;
    std::array<float, controlCount> controls {};

private:
    LV2_Feature mapFeature {};
    LilvInstance* instance = nullptr;
    std::vector<float> in[2] { std::vector<float> (formats::blockSize), std::vector<float> (formats::blockSize) };
    std::vector<float> out[2] { std::vector<float> (formats::blockSize), std::vector<float> (formats::blockSize) };
};

/** The signal of the format tests, cut to a number of blocks. */
inline formats::StereoSignal testSignal (int blocks)
{
    auto s = formats::makeTestSignal();
    s.left.resize ((size_t) (blocks * formats::blockSize));
    s.right.resize ((size_t) (blocks * formats::blockSize));
    return s;
}
}
