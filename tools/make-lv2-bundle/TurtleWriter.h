#pragma once

#include <string>

// The text of the bundle's three data files. Every port value in them is
// checked to read back as the normalised value it stands for; a value that
// cannot be written exactly is an error, not a file that sounds slightly
// different in an LV2 host.
struct BundleNames
{
    std::string pluginUri;
    std::string binary;   // file name of the plug-in module in the bundle
    std::string uiUri;    // empty: no UI is described
    std::string uiBinary; // file name of the UI module
};

struct BundleFiles
{
    std::string manifest;
    std::string plugin;
    std::string presets;
};

namespace TurtleWriter
{
constexpr const char* pluginFile = "Lumidor.ttl";
constexpr const char* presetsFile = "presets.ttl";

/** The three files, or false with the reason in `error`. */
bool write (const BundleNames& names, BundleFiles& files, std::string& error);
}
