#include "ToolRunner.h"

#include <gtest/gtest.h>

namespace
{
juce::var infoJson()
{
    const auto r = runTool ({ "info", "--json" });
    EXPECT_EQ (r.status, 0) << r.output;
    return juce::JSON::parse (juce::String (r.output));
}
}

TEST (Info, JsonCarriesTheIdentityTheHostSees)
{
    const auto info = infoJson();
    ASSERT_TRUE (info.isObject());
    EXPECT_EQ (info["name"].toString(), "Lumidor");
    EXPECT_EQ (info["product"].toString(), "Lumidor");
    EXPECT_EQ (info["vendor"].toString(), "Velderane");
    EXPECT_EQ ((int) info["vendorVersion"], 1000);
    EXPECT_EQ ((int) info["vstVersion"], 2400);
    EXPECT_EQ ((int) info["category"], 1);
    EXPECT_EQ (info["uniqueIDText"].toString(), "LM__");
    EXPECT_EQ ((int) info["version"], 0x10100);
    EXPECT_EQ ((int) info["inputs"], 2);
    EXPECT_EQ ((int) info["outputs"], 2);
    EXPECT_EQ ((int) info["flags"], 0x31);
    EXPECT_EQ ((int) info["initialDelay"], 0);
    EXPECT_EQ ((int) info["tailSize"], 0);
}

TEST (Info, JsonListsParametersWithNamesAndTexts)
{
    const auto parameters = infoJson()["parameters"];
    ASSERT_EQ (parameters.size(), 11);
    const char* names[] = { "EarlySiz", "LateSize", "Decay",    "Diffusio", "Listener", "Dry-Wet",
                            "Volume",   "On-Off",   "Left On-", "Right On", "Stereo O" };
    const char* fullNames[] = { "EarlySize", "LateSize", "Decay",       "Diffusion",    "Listener",     "Dry-Wet",
                                "Volume",    "On-Off",   "Left On-Off", "Right On-Off", "Stereo On-Off" };
    const char* texts[] = { "0.50", "0.50", "0.50", "0.50", "0.50", "0.50", "0.50", "1.00", "0.00", "0.00", "1.00" };
    for (int i = 0; i < 11; ++i)
    {
        EXPECT_EQ ((int) parameters[i]["index"], i);
        EXPECT_EQ (parameters[i]["name"].toString(), names[i]);
        EXPECT_EQ (parameters[i]["fullName"].toString(), fullNames[i]);
        EXPECT_EQ (parameters[i]["text"].toString(), texts[i]);
        EXPECT_EQ (parameters[i]["label"].toString(), "");
        EXPECT_TRUE ((bool) parameters[i]["automatable"]);
    }
}

TEST (Info, JsonListsProgramsCanDoRepliesAndChunkSizes)
{
    const auto info = infoJson();
    ASSERT_EQ (info["programs"].size(), 128);
    EXPECT_EQ (info["programs"][127].toString(), "Default");
    EXPECT_EQ ((int) info["currentProgram"], 0);

    const auto canDo = info["canDo"];
    EXPECT_EQ ((int) canDo["receiveVstTimeInfo"], 1);
    EXPECT_EQ ((int) canDo["conformsToWindowRules"], 1);
    EXPECT_EQ ((int) canDo["receiveVstEvents"], -1);
    EXPECT_EQ ((int) canDo["sendVstMidiEvent"], -1);
    EXPECT_EQ ((int) canDo["bypass"], 0);

    EXPECT_TRUE ((bool) info["chunks"]["programsAreChunks"]);
    EXPECT_EQ ((int) info["chunks"]["presetBytes"], 246);
    EXPECT_EQ ((int) info["chunks"]["bankBytes"], 29303 + 10);
}

TEST (Info, AModuleArgumentMustBeAnExistingModuleFile)
{
    EXPECT_EQ (runTool ({ "info", "no-such-module.so" }).status, 2);
    EXPECT_EQ (runTool ({ "info", LUMIDOR_DEFAULT_MODULE }).status, 0);
    EXPECT_NE (runTool ({ "info", "/etc/hostname.so" }).status, 0);
}

TEST (Info, AModuleThatCannotBeLoadedIsReportedNotFollowed)
{
    ScratchFolder scratch;
    const auto fake = scratch.fakeModule ("fake.so");
    const auto r = runTool ({ "info", fake });
    EXPECT_EQ (r.status, 1);
    EXPECT_NE (r.output.find ("cannot load"), std::string::npos);
}
