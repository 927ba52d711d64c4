#include "CommandLine.h"
#include "VstHost.h"

#include <gtest/gtest.h>

TEST (VstHost, FindsParametersByIndexFullNameOrTheNameThePluginCut)
{
    VstHost host (LUMIDOR_DEFAULT_MODULE);
    ASSERT_TRUE (host.open()) << host.error();
    EXPECT_EQ (host.findParameter ("0"), 0);
    EXPECT_EQ (host.findParameter ("10"), 10);
    EXPECT_EQ (host.findParameter ("11"), -1);
    EXPECT_EQ (host.findParameter ("EarlySize"), 0);
    EXPECT_EQ (host.findParameter ("earlysiz"), 0);
    EXPECT_EQ (host.findParameter ("Dry-Wet"), 5);
    EXPECT_EQ (host.findParameter ("Stereo On-Off"), 10);
    EXPECT_EQ (host.findParameter ("Volumes"), -1);
    EXPECT_EQ (host.findParameter ("Early"), -1);
    EXPECT_EQ (host.findParameter (""), -1);
}

TEST (VstHost, ReportsAModuleWithoutAnEntryPoint)
{
    VstHost host (LUMIDOR_SYSTEM_LIBM);
    EXPECT_FALSE (host.open());
    EXPECT_NE (host.error().find ("neither VSTPluginMain nor main"), std::string::npos) << host.error();
    EXPECT_FALSE (host.isOpen());
}

TEST (VstHost, ProcessesInPlaceAndAcrossBlockBoundaries)
{
    VstHost a (LUMIDOR_DEFAULT_MODULE), b (LUMIDOR_DEFAULT_MODULE);
    ASSERT_TRUE (a.open() && b.open());
    a.prepare (44100.0, 64);
    b.prepare (44100.0, 64);

    std::vector<float> l (1000), r (1000);
    for (size_t i = 0; i < l.size(); ++i)
    {
        l[i] = (float) ((i * 37) % 101) / 101.0f - 0.5f;
        r[i] = -l[i];
    }
    std::vector<float> outL (1000), outR (1000);
    a.processStereo (l.data(), r.data(), outL.data(), outR.data(), 1000);
    b.processStereo (l.data(), r.data(), l.data(), r.data(), 1000);
    EXPECT_EQ (outL, l);
    EXPECT_EQ (outR, r);
}

TEST (CommandLine, TakesOptionsInBothSpellingsAndRefusesUnknownOnes)
{
    CommandLine args;
    ASSERT_TRUE (args.parse ({ "in.wav", "--param", "a=1", "--param=b=2", "--tail=3", "--json", "out.wav" },
                             { "param", "tail" }, { "json" }));
    EXPECT_EQ (args.positionals(), (std::vector<std::string> { "in.wav", "out.wav" }));
    EXPECT_EQ (args.values ("param"), (std::vector<std::string> { "a=1", "b=2" }));
    EXPECT_EQ (*args.value ("tail"), "3");
    EXPECT_TRUE (args.has ("json"));
    EXPECT_EQ (args.takeModule(), CommandLine::defaultModule());

    CommandLine unknown;
    EXPECT_FALSE (unknown.parse ({ "--loud" }, { "param" }));
    CommandLine missing;
    EXPECT_FALSE (missing.parse ({ "--param" }, { "param" }));
    CommandLine notANumber;
    double v = 0.0;
    ASSERT_TRUE (notANumber.parse ({ "--tail", "3s" }, { "tail" }));
    EXPECT_FALSE (notANumber.number ("tail", 1.0, { 0.0, 10.0 }, v));
}

TEST (CommandLine, TakesTheFirstWordAsModuleOnlyWhenItIsAnExistingSoFile)
{
    CommandLine given;
    ASSERT_TRUE (given.parse ({ LUMIDOR_DEFAULT_MODULE, "x.wav" }, {}));
    EXPECT_EQ (given.takeModule(), LUMIDOR_DEFAULT_MODULE);
    EXPECT_EQ (given.positionals().size(), 1u);

    CommandLine absent;
    ASSERT_TRUE (absent.parse ({ "missing.so", "x.wav" }, {}));
    EXPECT_EQ (absent.takeModule(), CommandLine::defaultModule());
    EXPECT_EQ (absent.positionals().size(), 2u);
}
