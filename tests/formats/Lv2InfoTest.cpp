// lv2info, the reference LV2 inspector, must find the bundle on LV2_PATH and
// list the plug-in with its name, class and ports.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
std::string runLv2Info()
{
    const auto command = std::string ("LV2_PATH='") + LUMIDOR_LV2_DIR + "' '" + LUMIDOR_LV2INFO + "' urn:velderane:lumidor 2>&1";
    std::string output;
    if (auto* pipe = popen (command.c_str(), "r"))
    {
        char buffer[4096];
        size_t n;
        while ((n = fread (buffer, 1, sizeof (buffer), pipe)) > 0)
            output.append (buffer, n);
        pclose (pipe);
    }
    return output;
}

bool contains (const std::string& text, const std::string& part)
{
    return text.find (part) != std::string::npos;
}

/** The number of ports lv2info lists ("Port 0:", "Port 1:", ...). */
int countPorts (const std::string& text)
{
    int count = 0;
    for (size_t at = text.find ("\tPort "); at != std::string::npos; at = text.find ("\tPort ", at + 1))
        ++count;
    return count;
}
}

TEST (Lv2Info, listsThePluginByItsUriWithNameClassAndPorts)
{
    if (std::string (LUMIDOR_LV2INFO).empty() || std::string (LUMIDOR_LV2INFO).find ("NOTFOUND") != std::string::npos)
        GTEST_SKIP() << "lv2info is not installed (lilv-utils)";

    const auto info = runLv2Info();
    EXPECT_TRUE (contains (info, "urn:velderane:lumidor")) << info;
    EXPECT_TRUE (contains (info, "Name:              Lumidor")) << info;
    EXPECT_TRUE (contains (info, "Class:             Plugin")) << info;
    for (const auto* symbol : { "audio_in_1", "audio_in_2", "audio_out_1", "audio_out_2" })
        EXPECT_TRUE (contains (info, std::string ("Symbol:      ") + symbol)) << symbol;
    EXPECT_TRUE (contains (info, "http://lv2plug.in/ns/ext/urid#map")) << info;

    // Two audio inputs, two audio outputs, the control sequence in and out,
    // latency, free-wheeling and enabled.
    EXPECT_EQ (countPorts (info), 9) << info;
}
