#include "FxpFile.h"
#include "InstanceSettings.h"
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
std::vector<uint8_t> fileBytes (const std::string& path)
{
    juce::MemoryBlock block;
    juce::File (path).loadFileAsData (block);
    const auto* p = static_cast<const uint8_t*> (block.getData());
    return std::vector<uint8_t> (p, p + block.getSize());
}

uint32_t bigEndianAt (const std::vector<uint8_t>& b, size_t at)
{
    return ((uint32_t) b[at] << 24) | ((uint32_t) b[at + 1] << 16) | ((uint32_t) b[at + 2] << 8) | b[at + 3];
}

uint32_t bitsOf (float f)
{
    uint32_t u;
    std::memcpy (&u, &f, 4);
    return u;
}

/** Awkward values: none of them has a short decimal form. */
const std::vector<std::pair<int, std::string>> settings = {
    { 0, "0.123456789" }, { 1, "0.000000123" }, { 2, "0.999999881" }, { 3, "0.33333334" }, { 4, "0.7" }, { 5, "1e-30" },
    { 6, "0.015625" },    { 7, "0.5" },         { 8, "1" },           { 9, "0.25" },       { 10, "0" },
};

std::vector<std::string> paramArguments()
{
    std::vector<std::string> args;
    for (const auto& [index, value] : settings)
    {
        args.push_back ("--param");
        args.push_back (std::to_string (index) + "=" + value);
    }
    return args;
}
}

TEST (Preset, ProgramFileRoundTripRestoresEveryValueBitForBit)
{
    ScratchFolder scratch;
    auto args = std::vector<std::string> { "preset", "save", scratch.path ("p.fxp") };
    const auto params = paramArguments();
    args.insert (args.end(), params.begin(), params.end());
    const auto saved = runTool (args);
    ASSERT_EQ (saved.status, 0) << saved.output;

    VstHost host (LUMIDOR_DEFAULT_MODULE);
    ASSERT_TRUE (host.open()) << host.error();
    std::string error;
    ASSERT_TRUE (InstanceSettings::loadPresetFile (host, scratch.path ("p.fxp"), error)) << error;
    for (const auto& [index, value] : settings)
        EXPECT_EQ (bitsOf (host.parameter (index)), bitsOf (std::strtof (value.c_str(), nullptr)))
            << "parameter " << index;

    const auto loaded = runTool ({ "preset", "load", scratch.path ("p.fxp") });
    ASSERT_EQ (loaded.status, 0) << loaded.output;
    EXPECT_NE (loaded.output.find ("EarlySize       0.12"), std::string::npos) << loaded.output;
    EXPECT_NE (loaded.output.find ("Listener        0.70"), std::string::npos) << loaded.output;
}

TEST (Preset, ProgramFileHasTheStandardBigEndianLayout)
{
    ScratchFolder scratch;
    ASSERT_EQ (runTool ({ "preset", "save", scratch.path ("new.fxp") }).status, 0);
    const auto b = fileBytes (scratch.path ("new.fxp"));
    ASSERT_EQ (b.size(), FxpFile::programHeaderSize + 246);
    EXPECT_EQ (std::string (b.begin(), b.begin() + 4), "CcnK");
    EXPECT_EQ (bigEndianAt (b, 4), b.size() - 8);
    EXPECT_EQ (std::string (b.begin() + 8, b.begin() + 12), "FPCh");
    EXPECT_EQ (bigEndianAt (b, 12), 1u);
    EXPECT_EQ (std::string (b.begin() + 16, b.begin() + 20), "LM__");
    EXPECT_EQ (bigEndianAt (b, 20), 0x10100u);
    EXPECT_EQ (bigEndianAt (b, 24), 1u);
    EXPECT_EQ (std::string (reinterpret_cast<const char*> (b.data() + 28)), "Default");
    EXPECT_EQ (bigEndianAt (b, 56), 246u);
    EXPECT_EQ (std::string (b.begin() + 60, b.begin() + 64), "VC2!");
}

TEST (Preset, BankFileRoundTripRestoresTheProgramThatWasCurrent)
{
    ScratchFolder scratch;
    auto args = std::vector<std::string> { "preset", "save", scratch.path ("b.fxb"), "--program", "3" };
    const auto params = paramArguments();
    args.insert (args.end(), params.begin(), params.end());
    ASSERT_EQ (runTool (args).status, 0);

    const auto b = fileBytes (scratch.path ("b.fxb"));
    ASSERT_GE (b.size(), FxpFile::bankHeaderSize);
    EXPECT_EQ (std::string (b.begin() + 8, b.begin() + 12), "FBCh");
    EXPECT_EQ (bigEndianAt (b, 24), 128u);
    EXPECT_EQ (bigEndianAt (b, 156), b.size() - FxpFile::bankHeaderSize);

    VstHost host (LUMIDOR_DEFAULT_MODULE);
    ASSERT_TRUE (host.open()) << host.error();
    std::string error;
    ASSERT_TRUE (InstanceSettings::loadPresetFile (host, scratch.path ("b.fxb"), error)) << error;
    host.setProgram (3);
    for (const auto& [index, value] : settings)
        EXPECT_EQ (bitsOf (host.parameter (index)), bitsOf (std::strtof (value.c_str(), nullptr)))
            << "parameter " << index;
    host.setProgram (0);
    EXPECT_EQ (host.parameter (0), 0.5f);
}

TEST (Preset, LoadRefusesFilesItCannotTrust)
{
    ScratchFolder scratch;
    ASSERT_EQ (runTool ({ "preset", "save", scratch.path ("p.fxp") }).status, 0);
    auto b = fileBytes (scratch.path ("p.fxp"));

    auto other = b;
    other[16] = 'X';
    juce::File (scratch.path ("other.fxp")).replaceWithData (other.data(), other.size());
    const auto r = runTool ({ "preset", "load", scratch.path ("other.fxp") });
    EXPECT_NE (r.status, 0);
    EXPECT_NE (r.output.find ("another plug-in"), std::string::npos) << r.output;

    const std::vector<uint8_t> cut (b.begin(), b.end() - 1);
    juce::File (scratch.path ("cut.fxp")).replaceWithData (cut.data(), cut.size());
    EXPECT_NE (runTool ({ "preset", "load", scratch.path ("cut.fxp") }).status, 0);

    EXPECT_NE (runTool ({ "preset", "load", scratch.path ("missing.fxp") }).status, 0);
    EXPECT_NE (runTool ({ "preset", "copy", scratch.path ("p.fxp") }).status, 0);
}

TEST (FxpFileFormat, ParsingGivesBackWhatWasWritten)
{
    FxpFile program;
    program.fxID = 0x41424344;
    program.fxVersion = 7;
    program.numPrograms = 1;
    program.programName = "A name longer than the twenty-seven characters";
    program.chunk = { 1, 2, 3, 0, 255 };
    const auto bytes = program.toBytes();
    ASSERT_EQ (bytes.size(), FxpFile::programHeaderSize + 5);

    FxpFile back;
    std::string error;
    ASSERT_TRUE (back.fromBytes (bytes, error)) << error;
    EXPECT_EQ (back.kind, FxpFile::Kind::program);
    EXPECT_EQ (back.fxID, program.fxID);
    EXPECT_EQ (back.fxVersion, 7);
    EXPECT_EQ (back.programName, program.programName.substr (0, 27));
    EXPECT_EQ (back.chunk, program.chunk);

    FxpFile bank = program;
    bank.kind = FxpFile::Kind::bank;
    bank.numPrograms = 128;
    FxpFile bankBack;
    ASSERT_TRUE (bankBack.fromBytes (bank.toBytes(), error)) << error;
    EXPECT_EQ (bankBack.kind, FxpFile::Kind::bank);
    EXPECT_EQ (bankBack.numPrograms, 128);
    EXPECT_EQ (bankBack.chunk, bank.chunk);
}

TEST (FxpFileFormat, RejectsDamagedAndParameterListFiles)
{
    FxpFile f;
    f.chunk.assign (100, 7);
    const auto good = f.toBytes();
    std::string error;

    auto shortChunk = good;
    shortChunk.resize (good.size() - 1);
    EXPECT_FALSE (FxpFile().fromBytes (shortChunk, error));

    auto badMagic = good;
    badMagic[0] = 'X';
    EXPECT_FALSE (FxpFile().fromBytes (badMagic, error));

    auto parameterList = good;
    std::memcpy (parameterList.data() + 8, "FxCk", 4);
    EXPECT_FALSE (FxpFile().fromBytes (parameterList, error));
    EXPECT_NE (error.find ("parameter values"), std::string::npos);

    auto hugeChunk = good;
    hugeChunk[56] = 0xff;
    EXPECT_FALSE (FxpFile().fromBytes (hugeChunk, error));

    EXPECT_FALSE (FxpFile().fromBytes ({}, error));
    EXPECT_EQ (FxpFile::kindForPath ("x.FXB"), FxpFile::Kind::bank);
    EXPECT_EQ (FxpFile::kindForPath ("x.fxp"), FxpFile::Kind::program);
}
