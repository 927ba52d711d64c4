// make-lv2-bundle: the LV2 bundle's data files.
//
//   make-lv2-bundle BUNDLE_DIR BINARY [UI_BINARY]
//
// Writes BUNDLE_DIR/manifest.ttl, Lumidor.ttl and presets.ttl for the module
// BINARY (a file name inside the bundle); with UI_BINARY the X11 UI in that
// module is described too. Fails, writing nothing, when a default, a range
// end or a preset value cannot be written as a port value that reads back
// as exactly the plug-in's normalised value.
#include "PluginIdentity.h"
#include "TurtleWriter.h"

#include <fstream>
#include <iostream>

namespace
{
bool save (const std::string& path, const std::string& text)
{
    std::ofstream out (path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool> (out.flush());
}
}

int main (int argc, char** argv)
{
    if (argc != 3 && argc != 4)
    {
        std::cerr << "usage: make-lv2-bundle BUNDLE_DIR BINARY [UI_BINARY]\n";
        return 2;
    }

    const std::string dir = argv[1];
    BundleNames names { lumidorIdentity.lv2Uri, argv[2], argc == 4 ? lumidorIdentity.lv2UiUri : "",
                        argc == 4 ? argv[3] : "" };

    BundleFiles files;
    std::string error;
    if (! TurtleWriter::write (names, files, error))
    {
        std::cerr << "make-lv2-bundle: " << error << "\n";
        return 1;
    }

    if (! save (dir + "/manifest.ttl", files.manifest) || ! save (dir + "/" + TurtleWriter::pluginFile, files.plugin)
        || ! save (dir + "/" + TurtleWriter::presetsFile, files.presets))
    {
        std::cerr << "make-lv2-bundle: cannot write into " << dir << "\n";
        return 1;
    }
    return 0;
}
