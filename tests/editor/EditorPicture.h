#pragma once

// The editor's pixels: as it draws itself off-screen (the snapshot tool) and
// as compared with what a host window shows.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
struct Picture
{
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

/** The editor as it draws itself off-screen with the given settings. */
Picture reference (const std::string& args = {})
{
    const std::string path = testing::TempDir() + "lumidor-editor.raw";
    const std::string command = std::string (LUMIDOR_SNAPSHOT_TOOL) + " " + path + " " + args;
    Picture p;
    if (std::system (command.c_str()) != 0)
        return p;
    FILE* f = std::fopen (path.c_str(), "rb");
    if (f == nullptr)
        return p;
    int size[2] = {};
    if (std::fread (size, sizeof (int), 2, f) == 2)
    {
        p.width = size[0];
        p.height = size[1];
        p.pixels.resize ((size_t) (p.width * p.height));
        if (std::fread (p.pixels.data(), 4, p.pixels.size(), f) != p.pixels.size())
            p.pixels.clear();
    }
    std::fclose (f);
    return p;
}

/** Share of pixels whose colour differs by more than a small tolerance. */
double differingShare (const Picture& a, const Picture& b)
{
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size() || a.pixels.empty())
        return 1.0;
    size_t differing = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift : { 0, 8, 16 })
            if (std::abs ((int) ((a.pixels[i] >> shift) & 0xff) - (int) ((b.pixels[i] >> shift) & 0xff)) > 8)
            {
                ++differing;
                break;
            }
    return (double) differing / (double) a.pixels.size();
}
}
