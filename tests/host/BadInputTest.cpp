// The tool on bad input: every case gives a message and a failure status or
// a correct result, and no case destroys or half-writes a file.
#include "AudioFiles.h"
#include "FxpFile.h"
#include "SafeOutputFile.h"
#include "ToolRunner.h"
#include "VstHost.h"

#include <gtest/gtest.h>

#include <sndfile.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>
#include <tuple>

namespace
{
bool contains (const ToolResult& r, const std::string& text) { return r.output.find (text) != std::string::npos; }

std::string bytesOf (const std::string& path)
{
    juce::MemoryBlock block;
    juce::File (path).loadFileAsData (block);
    return std::string (static_cast<const char*> (block.getData()), block.getSize());
}

/** The names in the folder, hidden ones included. */
std::vector<std::string> listing (const ScratchFolder& scratch)
{
    std::vector<std::string> names;
    for (const auto& f : scratch.folder.findChildFiles (juce::File::findFilesAndDirectories, false, "*"))
        names.push_back (f.getFileName().toStdString());
    std::sort (names.begin(), names.end());
    return names;
}

/** A stereo sound whose samples are exact 16-bit values, the extremes included. */
AudioFiles::Sound integerSound (int bits, int frames)
{
    AudioFiles::Sound s;
    s.sampleRate = 44100.0;
    s.bitsPerSample = bits;
    s.floatingPoint = false;
    s.samples.setSize (2, frames);
    const double full = std::ldexp (1.0, bits - 1);
    unsigned seed = 11;
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < frames; ++i)
        {
            seed = seed * 1664525u + 1013904223u;
            double v = std::floor ((double) (seed >> 1) / 2147483648.0 * 2.0 * full) - full;
            if (i == 0)
                v = full - 1.0;
            if (i == 1)
                v = -full;
            s.samples.setSample (c, i, (float) (v / full));
        }
    return s;
}

AudioFiles::Sound floatSound (int frames)
{
    AudioFiles::Sound s;
    s.samples.setSize (2, frames);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < frames; ++i)
            s.samples.setSample (c, i, 0.3f * std::sin (0.01f * (float) (i + 7 * c)));
    return s;
}
}

TEST (BadInput, InputsThatCrashedGiveAMessageAndAFailureStatus)
{
    ScratchFolder scratch;
    std::string error;
    ASSERT_TRUE (AudioFiles::write (scratch.path ("in.wav"), floatSound (2000), error)) << error;
    const auto folder = scratch.path ("presets");
    juce::File (folder).createDirectory();
    const auto before = listing (scratch);

    // A folder where a program or bank file is expected.
    for (const auto& args : std::vector<std::vector<std::string>> {
             { "render", scratch.path ("in.wav"), scratch.path ("out.wav"), "--preset", folder },
             { "preset", "load", folder },
             { "preset", "save", scratch.path ("x.fxb"), "--preset", folder } })
    {
        const auto r = runTool (args);
        EXPECT_TRUE (r.status == 1 || r.status == 2) << args[1] << ": " << r.status << " " << r.output;
        EXPECT_TRUE (contains (r, folder + ": Is a directory")) << r.output;
    }

    // Durations and rates that are not finite, negative or far too large.
    for (const auto& args : std::vector<std::vector<std::string>> {
             { "ir", scratch.path ("ir.png"), "--seconds", "nan" },
             { "ir", scratch.path ("ir.png"), "--seconds", "inf" },
             { "ir", scratch.path ("ir.png"), "--seconds", "-3" },
             { "ir", scratch.path ("ir.png"), "--rate", "nan" },
             { "ir", scratch.path ("ir.png"), "--rate", "-inf" },
             { "ir", scratch.path ("ir.png"), "--rate", "1e300" },
             { "ir", scratch.path ("ir.png"), "--seconds", "600", "--rate", "768000" },
             { "bench", "--seconds", "1e12" } })
    {
        const auto r = runTool (args);
        EXPECT_EQ (r.status, 2) << args[2] << " " << args[3] << ": " << r.output;
        EXPECT_TRUE (contains (r, "--seconds") || contains (r, "--rate")) << r.output;
    }
    EXPECT_EQ (listing (scratch), before);
}

TEST (BadInput, AFailedOrRefusedWriteLeavesEveryFileAsItWas)
{
    ScratchFolder scratch;
    std::string error;
    const auto in = scratch.path ("in.wav"), old = scratch.path ("old.wav");
    ASSERT_TRUE (AudioFiles::write (in, floatSound (44100), error)) << error;
    ASSERT_TRUE (AudioFiles::write (old, floatSound (100), error)) << error;
    const auto inBytes = bytesOf (in), oldBytes = bytesOf (old);

    // A file-size limit fails the write as a full disk does (EFBIG instead of ENOSPC).
    auto r = runTool ({ "render", in, old, "--tail", "0" }, "ulimit -f 64; ");
    EXPECT_EQ (r.status, 1) << r.output;
    EXPECT_TRUE (contains (r, "cannot write " + old + ": File too large")) << r.output;
    r = runTool ({ "preset", "save", old + ".fxb" }, "ulimit -f 0; ");
    EXPECT_EQ (r.status, 1) << r.output;
    EXPECT_TRUE (contains (r, "File too large")) << r.output;

    // The output is the input: by name, through a hard link, through a symbolic link.
    ASSERT_EQ (link (in.c_str(), scratch.path ("hard.wav").c_str()), 0);
    ASSERT_EQ (symlink (in.c_str(), scratch.path ("soft.wav").c_str()), 0);
    for (const auto& same : { in, scratch.path ("hard.wav"), scratch.path ("soft.wav") })
    {
        r = runTool ({ "render", in, same });
        EXPECT_EQ (r.status, 1) << r.output;
        EXPECT_TRUE (contains (r, "it is the input")) << r.output;
    }
    r = runTool ({ "preset", "save", scratch.path ("bank.fxb") });
    ASSERT_EQ (r.status, 0) << r.output;
    const auto bankBytes = bytesOf (scratch.path ("bank.fxb"));
    r = runTool (
        { "preset", "save", scratch.path ("bank.fxb"), "--preset", scratch.path ("bank.fxb"), "--program", "3" });
    EXPECT_EQ (r.status, 1) << r.output;
    EXPECT_EQ (bytesOf (scratch.path ("bank.fxb")), bankBytes);

    // A folder named like the output, and a folder that does not exist.
    juce::File (scratch.path ("folder.wav")).createDirectory();
    r = runTool ({ "render", in, scratch.path ("folder.wav") });
    EXPECT_EQ (r.status, 1) << r.output;
    EXPECT_TRUE (contains (r, "cannot write " + scratch.path ("folder.wav") + ": Is a directory")) << r.output;
    EXPECT_TRUE (juce::File (scratch.path ("folder.wav")).isDirectory());
    r = runTool ({ "ir", scratch.path ("missing/ir.png"), "--seconds", "0.5" });
    EXPECT_EQ (r.status, 1) << r.output;
    EXPECT_TRUE (contains (r, "cannot write " + scratch.path ("missing/ir.png") + ": No such file or directory"))
        << r.output;

    EXPECT_EQ (bytesOf (in), inBytes);
    EXPECT_EQ (bytesOf (old), oldBytes);
    EXPECT_EQ (listing (scratch),
               (std::vector<std::string> { "bank.fxb", "folder.wav", "hard.wav", "in.wav", "old.wav", "soft.wav" }));

    // A symbolic link as the output is written through: the link stays, its target is replaced.
    ASSERT_EQ (symlink (old.c_str(), scratch.path ("link.wav").c_str()), 0);
    r = runTool ({ "render", in, scratch.path ("link.wav"), "--tail", "0" });
    EXPECT_EQ (r.status, 0) << r.output;
    struct stat info
    {
    };
    ASSERT_EQ (lstat (scratch.path ("link.wav").c_str(), &info), 0);
    EXPECT_TRUE (S_ISLNK (info.st_mode));
    AudioFiles::Sound rendered;
    ASSERT_TRUE (AudioFiles::read (old, rendered, error)) << error;
    EXPECT_EQ (rendered.samples.getNumSamples(), 44100);
}

TEST (BadInput, AFullFilesystemLeavesTheOldFile)
{
    ScratchFolder scratch;
    const auto disk = scratch.path ("disk");
    juce::File (disk).createDirectory();
    if (mount ("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a small filesystem here (" << std::strerror (errno)
                     << "); the file-size limit case covers the write path";
    struct Unmount
    {
        std::string path;
        ~Unmount() { umount (path.c_str()); }
    } unmount { disk };

    std::string error;
    const auto in = scratch.path ("in.wav"), old = disk + "/old.wav";
    ASSERT_TRUE (AudioFiles::write (in, floatSound (44100), error)) << error;
    ASSERT_TRUE (AudioFiles::write (old, floatSound (1000), error)) << error;
    const auto oldBytes = bytesOf (old);
    const auto r = runTool ({ "render", in, old });
    EXPECT_EQ (r.status, 1) << r.output;
    EXPECT_TRUE (contains (r, "cannot write " + old + ": No space left on device")) << r.output;
    EXPECT_EQ (bytesOf (old), oldBytes);
    EXPECT_EQ (juce::File (disk).findChildFiles (juce::File::findFilesAndDirectories, false, "*").size(), 1);
}

TEST (BadInput, ASignalDuringTheWriteRemovesTheTemporaryAndKeepsTheOldFile)
{
    ScratchFolder scratch;
    std::string error;
    const auto in = scratch.path ("in.wav"), old = scratch.path ("old.wav");
    ASSERT_TRUE (AudioFiles::write (in, floatSound (4410), error)) << error;
    ASSERT_TRUE (AudioFiles::write (old, floatSound (100), error)) << error;
    const auto oldBytes = bytesOf (old);

    for (const int signalNumber : { SIGINT, SIGTERM })
    {
        // An hour of tail: the render is still writing when the signal comes.
        const pid_t pid = startTool ({ "render", in, old, "--tail", "3600" }, scratch.path ("log.txt"));
        ASSERT_GT (pid, 0);
        bool writing = false;
        for (int i = 0; i < 800 && ! writing; ++i)
        {
            std::this_thread::sleep_for (std::chrono::milliseconds (25));
            for (const auto& name : listing (scratch))
                writing = writing || name.find (".old.wav.part-") == 0;
        }
        EXPECT_TRUE (writing);
        kill (pid, signalNumber);
        int status = 0;
        ASSERT_EQ (waitpid (pid, &status, 0), pid);
        EXPECT_TRUE (WIFSIGNALED (status) && WTERMSIG (status) == signalNumber) << status;
        EXPECT_EQ (bytesOf (old), oldBytes);
        EXPECT_EQ (listing (scratch), (std::vector<std::string> { "in.wav", "log.txt", "old.wav" }));
    }
}

TEST (BadInput, OptionsOutsideTheirRangeAreRefusedWithTheRange)
{
    ScratchFolder scratch;
    std::string error;
    const auto in = scratch.path ("in.wav"), out = scratch.path ("out.wav");
    ASSERT_TRUE (AudioFiles::write (in, floatSound (2000), error)) << error;

    for (const auto& value : { "10", "-0.1", "nan", "inf", "1.0000001" })
    {
        const auto r = runTool ({ "render", in, out, "--param", std::string ("Volume=") + value });
        EXPECT_EQ (r.status, 2) << value << ": " << r.output;
        EXPECT_TRUE (contains (r, "--param Volume wants a normalised value from 0 to 1")) << r.output;
    }
    auto r = runTool ({ "preset", "save", scratch.path ("p.fxp"), "--param", "Volume=5" });
    EXPECT_EQ (r.status, 2) << r.output;
    r = runTool ({ "preset", "load", LUMIDOR_PRESETS_DIR "/factory.fxb", "--param", "Decay=2" });
    EXPECT_NE (r.status, 0) << r.output;

    for (const auto& [option, value] : std::vector<std::pair<std::string, std::string>> { { "--tail", "nan" },
                                                                                          { "--tail", "inf" },
                                                                                          { "--tail", "-1" },
                                                                                          { "--rate", "nan" },
                                                                                          { "--rate", "-48000" },
                                                                                          { "--rate", "1e9" },
                                                                                          { "--block", "0" },
                                                                                          { "--bits", "12" },
                                                                                          { "--bits", "32float" } })
    {
        r = runTool ({ "render", in, out, option, value });
        EXPECT_EQ (r.status, 2) << option << " " << value << ": " << r.output;
        EXPECT_TRUE (contains (r, option + " wants")) << r.output;
    }
    EXPECT_EQ (listing (scratch), (std::vector<std::string> { "in.wav" }));

    // --bits 32 is integer, float is float.
    for (const auto& [bits, floating] :
         std::vector<std::pair<std::string, bool>> { { "32", false }, { "float", true } })
    {
        r = runTool ({ "render", in, out, "--bits", bits, "--tail", "0" });
        ASSERT_EQ (r.status, 0) << r.output;
        AudioFiles::Sound s;
        ASSERT_TRUE (AudioFiles::read (out, s, error)) << error;
        EXPECT_EQ (s.bitsPerSample, 32);
        EXPECT_EQ (s.floatingPoint, floating) << bits;
    }

    // Every subcommand explains itself; a bare module file name is the file here.
    for (const auto& sub : { "info", "render", "ir", "bench", "validate", "preset", "gui" })
    {
        r = runTool ({ sub, "--help" });
        EXPECT_EQ (r.status, 0) << sub;
        EXPECT_TRUE (contains (r, std::string ("usage: lumidor-host ") + sub)) << r.output;
    }
    EXPECT_TRUE (contains (runTool ({ "--version" }), "lumidor-host 1."));
    ASSERT_TRUE (juce::File (LUMIDOR_DEFAULT_MODULE).copyFileTo (juce::File (scratch.path ("plate.so"))));
    const auto here = "cd " + shellQuote (scratch.folder.getFullPathName().toStdString()) + " && ";
    r = runTool ({ "info", "plate.so" }, here);
    EXPECT_EQ (r.status, 0) << r.output;
    EXPECT_TRUE (contains (r, "module        ./plate.so")) << r.output;
    r = runTool ({ "bench", "--against", "plate.so", "--seconds", "0.1", "--reps", "1" }, here);
    EXPECT_EQ (r.status, 0) << r.output;
    EXPECT_TRUE (contains (r, "(plate.so) |")) << r.output;
    // help SUBCOMMAND is SUBCOMMAND --help; an unknown one is named.
    r = runTool ({ "help", "render" });
    EXPECT_EQ (r.status, 0) << r.output;
    EXPECT_TRUE (contains (r, "usage: lumidor-host render")) << r.output;
    r = runTool ({ "help", "nosuch" });
    EXPECT_EQ (r.status, 2) << r.output;
    EXPECT_TRUE (contains (r, "unknown subcommand \"nosuch\"")) << r.output;
    // A CLAP module where a VST 2 module belongs is named as what it is.
    ASSERT_TRUE (juce::File (scratch.path ("plate.clap")).replaceWithText ("a CLAP module"));
    r = runTool ({ "info", scratch.path ("plate.clap") });
    EXPECT_EQ (r.status, 2) << r.output;
    EXPECT_TRUE (contains (r, "plate.clap is a CLAP module; this tool hosts VST 2 modules")) << r.output;
}

TEST (BadInput, NumbersAreWholeFiniteDecimalsWithinTheirRange)
{
    ScratchFolder scratch;
    std::string error;
    const auto in = scratch.path ("in.wav"), out = scratch.path ("out.wav");
    ASSERT_TRUE (AudioFiles::write (in, floatSound (2000), error)) << error;

    // Options read before the module is opened and a parameter read after:
    // each message quotes the text in full and names the range.
    for (const auto& text : { "0x1p-2", "inf", "-infinity", "nan", "1e999", "", "2s", " 2", "2 ", "1e", "." })
        for (const auto& [args, message] : std::vector<std::pair<std::vector<std::string>, std::string>> {
                 { { "render", in, out, "--tail", text }, "--tail wants 0 to 3600 seconds" },
                 { { "ir", scratch.path ("ir.png"), "--rate", text }, "--rate wants 8000 to 768000 Hz" },
                 { { "render", in, out, "--param", std::string ("Volume=") + text },
                   "--param Volume wants a normalised value from 0 to 1" } })
        {
            const auto r = runTool (args);
            EXPECT_EQ (r.status, 2) << args[3] << " \"" << text << "\": " << r.output;
            EXPECT_TRUE (
                contains (r, "lumidor-host: " + message + " as a finite decimal number, not \"" + text + "\"\n"))
                << r.output;
        }

    // Numbers outside the range, also where a float would round them into it.
    for (const auto& [args, message] : std::vector<std::pair<std::vector<std::string>, std::string>> {
             { { "render", in, out, "--tail", "3600.5" }, "--tail wants 0 to 3600 seconds, not \"3600.5\"" },
             { { "render", in, out, "--block", "1e5" },
               "--block wants a whole number of frames from 1 to 65536, not \"1e5\"" },
             { { "ir", scratch.path ("ir.png"), "--seconds", "0.09" }, "--seconds wants 0.1 to 600, not \"0.09\"" },
             { { "bench", "--reps", "0" }, "--reps wants 1 to 1000, not \"0\"" },
             { { "render", in, out, "--param", "Volume=1.00000001" },
               "--param Volume wants a normalised value from 0 to 1, not \"1.00000001\"" } })
    {
        const auto r = runTool (args);
        EXPECT_EQ (r.status, 2) << r.output;
        EXPECT_TRUE (contains (r, "lumidor-host: " + message + "\n")) << r.output;
    }
    EXPECT_EQ (listing (scratch), (std::vector<std::string> { "in.wav" }));

    // Every decimal spelling is taken.
    const auto r = runTool ({ "render", in, out, "--tail", ".5", "--block", "+64.", "--param", "Volume=2.5E-1" });
    EXPECT_EQ (r.status, 0) << r.output;
}

TEST (BadInput, BypassedIntegerRendersAreBitIdenticalAndClippingIsCounted)
{
    ScratchFolder scratch;
    std::string error;
    for (const int bits : { 16, 24 })
    {
        const auto in = scratch.path ("in" + std::to_string (bits) + ".wav");
        const auto out = scratch.path ("out" + std::to_string (bits) + ".wav");
        ASSERT_TRUE (AudioFiles::write (in, integerSound (bits, 30000), error)) << error;
        const auto r = runTool ({ "render", in, out, "--param", "On-Off=0", "--tail", "0" });
        ASSERT_EQ (r.status, 0) << r.output;
        EXPECT_FALSE (contains (r, "clipped")) << r.output;
        EXPECT_TRUE (bytesOf (in) == bytesOf (out)) << bits << "-bit bypass changed the file";
    }

    // Loud noise at +12 dB: the 16-bit file clips, and says how often.
    auto loud = integerSound (16, 20000);
    loud.floatingPoint = true;
    ASSERT_TRUE (AudioFiles::write (scratch.path ("loud.wav"), loud, error)) << error;
    const auto r = runTool ({ "render", scratch.path ("loud.wav"), scratch.path ("clip.wav"), "--bits", "16", "--param",
                              "Volume=1", "--tail", "0" });
    ASSERT_EQ (r.status, 0) << r.output;
    EXPECT_TRUE (contains (r, "samples clipped in " + scratch.path ("clip.wav") + " (use --bits float")) << r.output;
}

TEST (BadInput, CutShortAndUnusualInputFiles)
{
    ScratchFolder scratch;
    std::string error;
    const auto whole = scratch.path ("whole.wav"), cut = scratch.path ("cut.wav");
    ASSERT_TRUE (AudioFiles::write (whole, integerSound (16, 10000), error)) << error;
    const auto bytes = bytesOf (whole);
    // Half the samples: the header still promises 10000 frames.
    ASSERT_TRUE (juce::File (cut).replaceWithData (bytes.data(), bytes.size() - 20000));

    auto r = runTool ({ "render", cut, scratch.path ("out.wav"), "--tail", "0" });
    ASSERT_EQ (r.status, 0) << r.output;
    EXPECT_TRUE (contains (r, "warning: " + cut + " is cut short")) << r.output;
    EXPECT_TRUE (contains (r, "the 5000 frames read were rendered")) << r.output;
    AudioFiles::Sound s;
    ASSERT_TRUE (AudioFiles::read (scratch.path ("out.wav"), s, error)) << error;
    EXPECT_EQ (s.samples.getNumSamples(), 5000);

    // 64-bit float samples in an RF64 file.
    SF_INFO info {};
    info.samplerate = 48000;
    info.channels = 2;
    info.format = SF_FORMAT_RF64 | SF_FORMAT_DOUBLE;
    SNDFILE* file = sf_open (scratch.path ("double.rf64").c_str(), SFM_WRITE, &info);
    ASSERT_NE (file, nullptr) << sf_strerror (nullptr);
    std::vector<double> frames (2 * 3000, 0.25);
    ASSERT_EQ (sf_writef_double (file, frames.data(), 3000), 3000);
    sf_close (file);
    r = runTool ({ "render", scratch.path ("double.rf64"), scratch.path ("double.wav"), "--tail", "0" });
    ASSERT_EQ (r.status, 0) << r.output;
    ASSERT_TRUE (AudioFiles::read (scratch.path ("double.wav"), s, error)) << error;
    EXPECT_EQ (s.samples.getNumSamples(), 3000);
    EXPECT_EQ (s.sampleRate, 48000.0);

    // NaN in the input is the file's damage, said as such.
    juce::AudioBuffer<float> damaged (2, 1000);
    damaged.clear();
    for (int i = 0; i < 1000; i += 2)
        damaged.setSample (i % 4 == 0 ? 0 : 1, i, std::numeric_limits<float>::quiet_NaN());
    ASSERT_TRUE (AudioFiles::write (scratch.path ("nan.wav"), { damaged, 44100.0, 32, true }, error)) << error;
    r = runTool ({ "render", scratch.path ("nan.wav"), scratch.path ("nan-out.wav"), "--tail", "0" });
    EXPECT_TRUE (contains (r, "nan.wav holds 500 samples that are not finite numbers")) << r.output;

    // Ogg cut short, at half (the decoder then gives nothing) and near its
    // end: said as for any container; the whole stream is not.
    info = {};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    file = sf_open (scratch.path ("whole.ogg").c_str(), SFM_WRITE, &info);
    ASSERT_NE (file, nullptr) << sf_strerror (nullptr);
    std::vector<float> tone (2 * 132300);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = 0.3f * std::sin (0.05f * (float) (i / 2));
    ASSERT_EQ (sf_writef_float (file, tone.data(), 132300), 132300);
    sf_close (file);
    const auto ogg = bytesOf (scratch.path ("whole.ogg"));
    for (const auto& [name, keep] : std::vector<std::pair<std::string, size_t>> {
             { "whole.ogg", ogg.size() }, { "half.ogg", ogg.size() / 2 }, { "most.ogg", ogg.size() * 9 / 10 } })
    {
        ASSERT_TRUE (juce::File (scratch.path (name)).replaceWithData (ogg.data(), keep));
        r = runTool ({ "render", scratch.path (name), scratch.path ("ogg.wav"), "--tail", "0" });
        EXPECT_EQ (r.status, 0) << r.output;
        EXPECT_EQ (contains (r, "is cut short: its last Ogg page is incomplete"), name != "whole.ogg") << r.output;
    }

    // A folder, a missing file and a text file as the input.
    juce::File (scratch.path ("folder.wav")).createDirectory();
    juce::File (scratch.path ("text.wav")).replaceWithText ("not a sound");
    for (const auto& [name, reason] :
         std::vector<std::pair<std::string, std::string>> { { "folder.wav", ": Is a directory" },
                                                            { "missing.wav", ": No such file or directory" },
                                                            { "text.wav", " as a sound file" } })
    {
        r = runTool ({ "render", scratch.path (name), scratch.path ("x.wav") });
        EXPECT_EQ (r.status, 1) << r.output;
        EXPECT_TRUE (contains (r, "cannot read " + scratch.path (name) + reason)) << r.output;
    }
    EXPECT_FALSE (juce::File (scratch.path ("x.wav")).exists());
}

namespace
{
const std::string misbehaving = LUMIDOR_MISBEHAVING_MODULE;

ToolResult runMisbehaving (const std::string& behaviour, const std::vector<std::string>& args)
{
    // Under AddressSanitizer the crash must reach the tool as the signal it
    // is, not as the sanitizer's report and exit status, and a module that
    // ends the process mid-call leaves what it held unfreed by design.
    std::string sanitizer = "ASAN_OPTIONS=handle_segv=0:handle_sigbus=0:handle_abort=0:detect_leaks=0 ";
    return runTool (args, sanitizer + "LUMIDOR_MISBEHAVE=" + behaviour + " ");
}

/** A program (or bank) file of our module with one value set as no host may. */
std::string presetWith (const ScratchFolder& scratch, const std::string& name, float volume)
{
    VstHost host (LUMIDOR_DEFAULT_MODULE);
    EXPECT_TRUE (host.open()) << host.error();
    host.setParameter (host.findParameter ("Volume"), volume);
    FxpFile file;
    file.kind = FxpFile::kindForPath (name);
    const bool program = file.kind == FxpFile::Kind::program;
    file.fxID = host.descriptor()->uniqueID;
    file.fxVersion = host.descriptor()->version;
    file.numPrograms = program ? 1 : host.numPrograms();
    file.programName = program ? host.programName() : std::string();
    file.chunk = host.getChunk (program);
    const auto bytes = file.toBytes();
    EXPECT_TRUE (juce::File (scratch.path (name)).replaceWithData (bytes.data(), bytes.size()));
    return scratch.path (name);
}

/** A program (or bank) file of our module whose chunk spells Volume's value
    as `text`: the module's own chunk, with Volume at a value no other
    parameter holds, and that value's text replaced. */
std::string presetSpelling (const ScratchFolder& scratch, const std::string& name, const std::string& text)
{
    const auto path = presetWith (scratch, name, 0.123456791f);
    FxpFile file;
    std::string error;
    EXPECT_TRUE (file.load (path, error)) << error;
    // The chunk: "VC2!", the text's length (both little-endian), the text, two zero bytes.
    std::string document (file.chunk.begin() + 8, file.chunk.end() - 2);
    const auto at = document.find ("\"0.123456791\"");
    EXPECT_NE (at, std::string::npos) << document;
    document.replace (at + 1, 11, text);
    file.chunk.resize (8);
    for (int i = 0; i < 4; ++i)
        file.chunk[(size_t) (4 + i)] = (uint8_t) (document.size() >> (8 * i));
    file.chunk.insert (file.chunk.end(), document.begin(), document.end());
    file.chunk.insert (file.chunk.end(), { 0, 0 });
    const auto bytes = file.toBytes();
    EXPECT_TRUE (juce::File (path).replaceWithData (bytes.data(), bytes.size()));
    return path;
}

bool hasTemporary (const ScratchFolder& scratch)
{
    for (const auto& name : listing (scratch))
        if (name.find (".part-") != std::string::npos)
            return true;
    return false;
}
}

TEST (BadInput, AModuleThatCrashesOrExitsIsReportedAndLeavesNothingBehind)
{
    ScratchFolder scratch;
    std::string error;
    const auto in = scratch.path ("in.wav"), old = scratch.path ("old.wav");
    ASSERT_TRUE (AudioFiles::write (in, floatSound (44100), error)) << error;
    ASSERT_TRUE (AudioFiles::write (old, floatSound (100), error)) << error;
    const auto oldBytes = bytesOf (old);

    // The process call comes when the temporary is open: a long tail makes it a large one.
    for (const auto& [behaviour, message] : std::vector<std::pair<std::string, std::string>> {
             { "crash-entry", "crashed (signal 11, Segmentation fault) in its entry point" },
             { "exit-entry", "ended the process (exit status 0) in its entry point instead of returning" },
             { "crash-process", "crashed (signal 11, Segmentation fault) in its process call" },
             { "exit-process", "ended the process (exit status 0) in its process call instead of returning" } })
    {
        const auto r = runMisbehaving (behaviour, { "render", misbehaving, in, old, "--tail", "60" });
        EXPECT_EQ (r.status, 1) << behaviour << ": " << r.output;
        EXPECT_TRUE (contains (r, "the module " + misbehaving + " " + message + "; no output was written")) << r.output;
        EXPECT_EQ (bytesOf (old), oldBytes) << behaviour;
        EXPECT_EQ (listing (scratch), (std::vector<std::string> { "in.wav", "old.wav" })) << behaviour;
    }

    // A module compared against ours that crashes or exits costs only its
    // own row: ours is still measured, the module is named, and the status
    // says the comparison is not whole.
    for (const auto& [behaviour, message] : std::vector<std::pair<std::string, std::string>> {
             { "crash-entry", "it crashed (signal 11, Segmentation fault) in a trial run" },
             { "exit-process", "it ended the process (exit status 0) in a trial run" } })
    {
        const auto r =
            runMisbehaving (behaviour, { "bench", "--against", misbehaving, "--seconds", "0.6", "--reps", "1" });
        EXPECT_EQ (r.status, 1) << behaviour << ": " << r.output;
        EXPECT_TRUE (contains (r, "skipping " + misbehaving + ": " + message)) << r.output;
        EXPECT_TRUE (contains (r, "| 1.00 |")) << "our own row: " << r.output;
    }

    auto r = runMisbehaving ("channels", { "info", misbehaving });
    EXPECT_EQ (r.status, 1) << r.output;
    EXPECT_TRUE (contains (r, "reports 1000000 inputs and 2 outputs; this tool takes 0 to 64 of each")) << r.output;
    // Names of 3000 bytes with a newline: cut to 255, the newline shown as '?'.
    r = runMisbehaving ("long-names", { "info", misbehaving });
    EXPECT_EQ (r.status, 0) << r.output;
    EXPECT_TRUE (contains (r, "name          xxxxxxxxxx?" + std::string (244, 'x') + " (product")) << r.output;

    // A run killed outright: its child removes the temporary. A killed pair
    // leaves it to the next run, which removes only unlocked files of its
    // own pattern beside its own output.
    const pid_t pid = startTool ({ "render", in, old, "--tail", "3600" }, scratch.path ("log.txt"));
    for (int i = 0; i < 800 && ! hasTemporary (scratch); ++i)
        std::this_thread::sleep_for (std::chrono::milliseconds (25));
    ASSERT_TRUE (hasTemporary (scratch));
    kill (pid, SIGKILL);
    waitpid (pid, nullptr, 0);
    for (int i = 0; i < 200 && hasTemporary (scratch); ++i)
        std::this_thread::sleep_for (std::chrono::milliseconds (25));
    EXPECT_FALSE (hasTemporary (scratch));
    EXPECT_EQ (bytesOf (old), oldBytes);

    for (const auto* name :
         { ".old.wav.part-Ab12Cd", ".old.wav.part-Live00", ".other.wav.part-Ab12Cd", ".old.wav.part-Ab12Cd7" })
        juce::File (scratch.path (name)).replaceWithText ("stale");
    const int live = open (scratch.path (".old.wav.part-Live00").c_str(), O_RDONLY);
    ASSERT_EQ (flock (live, LOCK_EX), 0);
    r = runTool ({ "render", in, old, "--tail", "0" });
    EXPECT_EQ (r.status, 0) << r.output;
    EXPECT_TRUE (contains (r, "note: removed " + scratch.path (".old.wav.part-Ab12Cd") + ", left behind")) << r.output;
    close (live);
    EXPECT_EQ (listing (scratch),
               (std::vector<std::string> { ".old.wav.part-Ab12Cd7", ".old.wav.part-Live00", ".other.wav.part-Ab12Cd",
                                           "in.wav", "log.txt", "old.wav" }));
}

namespace
{
/** Processes whose environment holds `mark`: the tool's work process and
    anything a module forked, wherever they were reparented. */
int processesMarked (const std::string& mark)
{
    int found = 0;
    for (const auto& entry : juce::File ("/proc").findChildFiles (juce::File::findDirectories, false))
    {
        if (! entry.getFileName().containsOnly ("0123456789"))
            continue;
        // Read to its end (its size reads 0) and searched as bytes (NUL-separated).
        std::ifstream file (entry.getChildFile ("environ").getFullPathName().toStdString(), std::ios::binary);
        const std::string environment ((std::istreambuf_iterator<char> (file)), std::istreambuf_iterator<char>());
        if (environment.find (mark) != std::string::npos)
            ++found;
    }
    return found;
}

/** Waits for the process and returns how long it took, in seconds, and its status. */
double secondsUntilEnded (pid_t pid, int& status)
{
    const auto start = std::chrono::steady_clock::now();
    waitpid (pid, &status, 0);
    return std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
}

/** Waits up to `seconds` for nothing marked to be left. */
bool nothingLeft (const std::string& mark, double seconds)
{
    for (int i = 0; i < (int) (seconds * 20) && processesMarked (mark) > 0; ++i)
        std::this_thread::sleep_for (std::chrono::milliseconds (50));
    return processesMarked (mark) == 0;
}
}

TEST (BadInput, AModuleThatHangsForksOrPrintsCannotHoldTheToolOrItsOutput)
{
    ScratchFolder scratch;
    std::string error;
    const auto in = scratch.path ("in.wav"), old = scratch.path ("old.wav");
    ASSERT_TRUE (AudioFiles::write (in, floatSound (44100), error)) << error;
    ASSERT_TRUE (AudioFiles::write (old, floatSound (100), error)) << error;
    const auto oldBytes = bytesOf (old);

    // A call that never returns: named with its limit, nothing written, nothing left.
    for (const auto& [behaviour, args, message] :
         std::vector<std::tuple<std::string, std::vector<std::string>, std::string>> {
             { "hang-process",
               { "render", misbehaving, in, old, "--module-timeout", "1" },
               "did not return from its process call within 1 s; no output was written" },
             { "hang-entry",
               { "info", misbehaving, "--module-timeout=0.5" },
               "did not return from its entry point within 0.5 s" } })
    {
        const auto r = runMisbehaving (behaviour, args);
        EXPECT_EQ (r.status, 1) << behaviour << ": " << r.output;
        EXPECT_TRUE (contains (r, "the module " + misbehaving + " " + message)) << r.output;
        EXPECT_EQ (bytesOf (old), oldBytes);
        EXPECT_EQ (listing (scratch), (std::vector<std::string> { "in.wav", "old.wav" }));
    }
    EXPECT_EQ (runTool ({ "info", "--module-timeout", "nan" }).status, 2);

    // A module deaf to signals: SIGTERM ends the tool after a short grace, a
    // second Ctrl-C at once, and kill -9 through the work process's watch;
    // no process and no temporary stays.
    const std::string mark = "LUMIDOR_TEST_MARK=" + std::to_string (getpid());
    setenv ("LUMIDOR_MISBEHAVE", "hang-process", 1);
    setenv ("LUMIDOR_TEST_MARK", std::to_string (getpid()).c_str(), 1);
    for (const auto& [signals, within] : std::vector<std::pair<std::vector<int>, double>> {
             { { SIGTERM }, 5.0 }, { { SIGINT, SIGINT }, 1.5 }, { { SIGKILL }, 1.0 } })
    {
        const pid_t pid = startTool ({ "render", misbehaving, in, old }, scratch.path ("log.txt"));
        for (int i = 0; i < 800 && ! hasTemporary (scratch); ++i)
            std::this_thread::sleep_for (std::chrono::milliseconds (25));
        ASSERT_TRUE (hasTemporary (scratch));
        for (const int s : signals)
        {
            kill (pid, s);
            std::this_thread::sleep_for (std::chrono::milliseconds (100)); // two signals, not one merged
        }
        int status = 0;
        EXPECT_LT (secondsUntilEnded (pid, status), within) << signals[0];
        EXPECT_TRUE (WIFSIGNALED (status) && WTERMSIG (status) == signals[0]) << status;
        EXPECT_TRUE (nothingLeft (mark, 5.0)) << signals[0];
        EXPECT_FALSE (hasTemporary (scratch)) << signals[0];
        EXPECT_EQ (bytesOf (old), oldBytes);
    }
    unsetenv ("LUMIDOR_MISBEHAVE");
    unsetenv ("LUMIDOR_TEST_MARK");

    // A module that forks leaves nothing holding the pipe the tool writes to:
    // reading to its end takes the render, not the 30 s the fork sleeps.
    const auto start = std::chrono::steady_clock::now();
    auto r = runMisbehaving ("fork-process", { "render", misbehaving, in, scratch.path ("forked.wav") });
    EXPECT_LT (std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count(), 15.0);
    EXPECT_EQ (r.status, 0) << r.output;

    // What a module prints goes to standard error: info --json stays JSON.
    r = runTool ({ "info", misbehaving, "--json" },
                 "export LUMIDOR_MISBEHAVE=chatter; standardOutputOnly() { \"$@\" 2>/dev/null; }; standardOutputOnly ");
    EXPECT_EQ (r.status, 0) << r.output;
    const auto json = juce::JSON::parse (juce::String (r.output));
    EXPECT_EQ (json["name"].toString(), "Misbehaving") << r.output;
}

TEST (BadInput, TheTwoOutputsOfIrChangeTogetherOrNotAtAll)
{
    ScratchFolder scratch;
    const auto picture = scratch.path ("ir.png"), response = scratch.path ("ir.wav");
    ASSERT_TRUE (juce::File (picture).replaceWithText ("the old picture"));

    // Two names of one file: the second would overwrite the first.
    ASSERT_EQ (symlink (picture.c_str(), scratch.path ("link.wav").c_str()), 0);
    ASSERT_EQ (link (picture.c_str(), scratch.path ("hard.wav").c_str()), 0);
    for (const auto* name : { "link.wav", "hard.wav" })
    {
        const auto r = runTool ({ "ir", picture, "--wav", scratch.path (name), "--seconds", "0.1" });
        EXPECT_EQ (r.status, 1) << r.output;
        EXPECT_TRUE (contains (r, "they are one file")) << r.output;
    }
    EXPECT_EQ (bytesOf (picture), "the old picture");

    // The second cannot be put in place (its name became a folder after the
    // checks): the first destination keeps its old file, no temporary stays.
    std::string error;
    SafeOutputFile first, second;
    ASSERT_TRUE (first.open (picture, error) && first.write ("new", 3, error)) << error;
    ASSERT_TRUE (second.open (response, error) && second.write ("new", 3, error)) << error;
    ASSERT_TRUE (juce::File (response).createDirectory());
    EXPECT_FALSE (SafeOutputFile::commitTogether (first, second, error));
    EXPECT_TRUE (contains (ToolResult { 1, error }, "cannot write " + response)) << error;
    EXPECT_EQ (bytesOf (picture), "the old picture");
    EXPECT_FALSE (hasTemporary (scratch));

    // Both in place, the old picture gone.
    ASSERT_TRUE (juce::File (response).deleteRecursively());
    ASSERT_TRUE (first.open (picture, error) && first.write ("new", 3, error)) << error;
    ASSERT_TRUE (second.open (response, error) && second.write ("wav", 3, error)) << error;
    EXPECT_TRUE (SafeOutputFile::commitTogether (first, second, error)) << error;
    EXPECT_EQ (bytesOf (picture), "new");
    EXPECT_EQ (bytesOf (response), "wav");
    EXPECT_EQ (listing (scratch), (std::vector<std::string> { "hard.wav", "ir.png", "ir.wav", "link.wav" }));
}

TEST (BadInput, EveryOutputIsCheckedBeforeAnyWork)
{
    ScratchFolder scratch;
    std::string error;
    const auto in = scratch.path ("in.wav"), keep = scratch.path ("keep.png");
    ASSERT_TRUE (AudioFiles::write (in, floatSound (2000), error)) << error;
    ASSERT_TRUE (juce::File (keep).replaceWithText ("an old picture"));
    juce::File (scratch.path ("folder")).createDirectory();
    const auto before = listing (scratch);

    // 2: a name that does not match what is written; 1: a path that cannot be written.
    for (const auto& [args, status, message] : std::vector<std::tuple<std::vector<std::string>, int, std::string>> {
             { { "ir", keep, "--wav", scratch.path ("bad.xyz") },
               2,
               "cannot tell the format of " + scratch.path ("bad.xyz") },
             { { "ir", keep, "--wav", scratch.path ("nodir/x.wav") },
               1,
               "cannot write " + scratch.path ("nodir/x.wav") + ": No such file" },
             { { "ir", scratch.path ("i.jpg") }, 2, "its name must end in .png" },
             { { "ir", scratch.path ("ir.wav") }, 2, "its name must end in .png" },
             { { "gui", scratch.path ("shot.jpg") }, 2, "its name must end in .png" },
             { { "preset", "save", scratch.path ("x.txt") }, 2, "a program file ends in .fxp, a bank file in .fxb" },
             { { "render", in, scratch.path ("out.xyz") }, 2, "cannot tell the format of " + scratch.path ("out.xyz") },
             { { "render", in, scratch.path ("folder") },
               1,
               "cannot write " + scratch.path ("folder") + ": Is a directory" },
             { { "make-demo-phrase", scratch.path ("folder") }, 1, ": Is a directory" } })
    {
        const auto r = runTool (args);
        EXPECT_EQ (r.status, status) << args[1] << ": " << r.output;
        EXPECT_TRUE (contains (r, message)) << r.output;
    }
    EXPECT_EQ (bytesOf (keep), "an old picture");
    EXPECT_EQ (listing (scratch), before);
}

TEST (BadInput, FormatsAtTheirLimits)
{
    ScratchFolder scratch;
    std::string error;
    const auto in = scratch.path ("in.wav");
    ASSERT_TRUE (AudioFiles::write (in, integerSound (16, 10000), error)) << error;

    // An hour of tail at 192 kHz in 32-bit floats is 5.5 GB: refused at once, nothing written.
    const auto started = std::chrono::steady_clock::now();
    auto r =
        runTool ({ "render", in, scratch.path ("long.aiff"), "--tail", "3600", "--rate", "192000", "--bits", "float" });
    EXPECT_EQ (r.status, 2) << r.output;
    EXPECT_TRUE (contains (r, "it would hold 5529680000 bytes of samples, past the 4 GiB an AIFF file can describe"))
        << r.output;
    EXPECT_LT (std::chrono::steady_clock::now() - started, std::chrono::seconds (20));

    // Cut to half in every container: rendered as far as it goes, with the warning.
    for (const auto* extension : { ".aiff", ".w64", ".rf64", ".flac" })
    {
        const auto whole = scratch.path (std::string ("whole") + extension),
                   cut = scratch.path (std::string ("cut") + extension);
        ASSERT_TRUE (AudioFiles::write (whole, integerSound (16, 10000), error)) << error;
        const auto bytes = bytesOf (whole);
        ASSERT_TRUE (juce::File (cut).replaceWithData (bytes.data(), bytes.size() / 2));
        r = runTool ({ "render", cut, scratch.path ("out.wav"), "--tail", "0" });
        EXPECT_EQ (r.status, 0) << extension << ": " << r.output;
        EXPECT_TRUE (contains (r, "warning: " + cut + " is cut short")) << r.output;
        AudioFiles::Sound s;
        ASSERT_TRUE (AudioFiles::read (scratch.path ("out.wav"), s, error)) << error;
        EXPECT_GT (s.samples.getNumSamples(), 2000) << extension;
        EXPECT_LT (s.samples.getNumSamples(), 5100) << extension;
    }

    // No frames at all: a valid empty file of each format, which reads back.
    const auto bytes = bytesOf (in);
    ASSERT_TRUE (juce::File (scratch.path ("empty.wav")).replaceWithData (bytes.data(), 44));
    for (const auto* extension : { ".wav", ".aiff", ".w64", ".rf64", ".flac" })
    {
        const auto out = scratch.path (std::string ("zero") + extension);
        r = runTool ({ "render", scratch.path ("empty.wav"), out, "--tail", "0" });
        EXPECT_EQ (r.status, 0) << extension << ": " << r.output;
        AudioFiles::Sound s;
        EXPECT_TRUE (AudioFiles::read (out, s, error)) << extension << ": " << error;
        EXPECT_EQ (s.samples.getNumSamples(), 0) << extension;
    }
}

TEST (BadInput, PresetFilesAreHeldToTheRangeOfTheirParameters)
{
    ScratchFolder scratch;
    std::string error;
    const auto in = scratch.path ("in.wav");
    ASSERT_TRUE (AudioFiles::write (in, floatSound (2000), error)) << error;

    for (const auto& [name, volume, text] : std::vector<std::tuple<std::string, float, std::string>> {
             { "loud.fxp", 5.0f, "5" }, { "huge.fxp", 1.0e30f, "1.00000002e+30" }, { "negative.fxb", -0.5f, "-0.5" } })
    {
        const auto file = presetWith (scratch, name, volume);
        const auto refusal = file + (name.find (".fxb") != std::string::npos ? ": program 0 (" : " sets");
        for (const auto& args : std::vector<std::vector<std::string>> {
                 { "render", in, scratch.path ("out.wav"), "--preset", file },
                 { "preset", "load", file },
                 { "preset", "save", scratch.path ("copy.fxb"), "--preset", file } })
        {
            const auto r = runTool (args);
            EXPECT_EQ (r.status, 1) << name << " " << args[0] << ": " << r.output;
            EXPECT_TRUE (contains (r, refusal)) << r.output;
            EXPECT_TRUE (
                contains (r, "Volume to " + text + ", outside the normalised range 0 to 1; the file is refused"))
                << r.output;
        }
    }
    EXPECT_FALSE (juce::File (scratch.path ("out.wav")).exists());
    EXPECT_FALSE (juce::File (scratch.path ("copy.fxb")).exists());
}

TEST (BadInput, PresetFilesSpellTheirValuesAsFiniteDecimals)
{
    ScratchFolder scratch;
    std::string error;
    const auto in = scratch.path ("in.wav");
    ASSERT_TRUE (AudioFiles::write (in, floatSound (2000), error)) << error;

    // The module reads each of these as 0, which is in range; the file is refused all the same.
    for (const auto& text : { "nan", "inf", "1e999", "0x1p-2", "", "0.5 ", "5e-1x" })
    {
        const auto file = presetSpelling (scratch, "odd.fxp", text);
        for (const auto& args : std::vector<std::vector<std::string>> {
                 { "preset", "load", file }, { "preset", "save", scratch.path ("copy.fxp"), "--preset", file } })
        {
            const auto r = runTool (args);
            EXPECT_EQ (r.status, 1) << "\"" << text << "\" " << args[1] << ": " << r.output;
            EXPECT_TRUE (contains (r, "lumidor-host: " + file + " sets Volume to \"" + text
                                          + "\", which is not a finite decimal number in the normalised range 0 "
                                            "to 1; the file is refused\n"))
                << r.output;
        }
    }
    // Finite as a double, infinite as a float, and so also read as 0.
    auto r = runTool ({ "preset", "load", presetSpelling (scratch, "big.fxp", "1e39") });
    EXPECT_EQ (r.status, 1) << r.output;
    EXPECT_TRUE (contains (r, "sets Volume to 1e+39, outside the normalised range 0 to 1; the file is refused"))
        << r.output;

    const auto bank = presetSpelling (scratch, "odd.fxb", "nan");
    r = runTool ({ "render", in, scratch.path ("out.wav"), "--preset", bank });
    EXPECT_EQ (r.status, 1) << r.output;
    EXPECT_TRUE (contains (r, bank + ": program 0 (\"")) << r.output;
    EXPECT_TRUE (contains (r, "sets Volume to \"nan\", which is not a finite decimal number")) << r.output;
    EXPECT_EQ (listing (scratch), (std::vector<std::string> { "big.fxp", "in.wav", "odd.fxb", "odd.fxp" }));

    // Any decimal spelling is taken, and the other values are not disturbed.
    r = runTool ({ "preset", "load", presetSpelling (scratch, "fine.fxp", "+2.5E-1") });
    EXPECT_EQ (r.status, 0) << r.output;
    EXPECT_TRUE (contains (r, "    6  Volume          0.25\n")) << r.output;
    EXPECT_TRUE (contains (r, "    2  Decay           0.50\n")) << r.output;
}

TEST (BadInput, RatesStatusesAndResultsThatAreNotWhatTheySeem)
{
    ScratchFolder scratch;
    std::string error;
    const auto in = scratch.path ("in.wav");
    ASSERT_TRUE (AudioFiles::write (in, floatSound (2000), error)) << error;

    // Headers at 1 Hz and 1 MHz are refused with the range; --rate relabels them, and says so.
    for (const double rate : { 1.0, 1.0e6 })
    {
        auto odd = floatSound (2000);
        odd.sampleRate = rate;
        ASSERT_TRUE (AudioFiles::write (scratch.path ("odd.wav"), odd, error)) << error;
        const auto r = runTool ({ "render", scratch.path ("odd.wav"), scratch.path ("out.wav") });
        EXPECT_EQ (r.status, 1) << r.output;
        EXPECT_TRUE (contains (r, "outside the 1000 to 768000 Hz this tool renders at")) << r.output;
    }
    auto r = runTool ({ "render", in, scratch.path ("out.wav"), "--rate", "48000", "--tail", "0" });
    EXPECT_EQ (r.status, 0) << r.output;
    EXPECT_TRUE (contains (r, "--rate relabels, it does not resample")) << r.output;
    EXPECT_TRUE (contains (r, "plays them 8.8 % faster and higher")) << r.output;

    // NaN from the module: counted on stderr, a failure status, levels of the finite samples.
    r = runMisbehaving ("nan-output", { "render", misbehaving, in, scratch.path ("nan.wav"), "--tail", "0" });
    EXPECT_EQ (r.status, 1) << r.output;
    EXPECT_TRUE (contains (r, "put out 2000 samples that are not finite numbers")) << r.output;
    EXPECT_FALSE (contains (r, "RMS -inf")) << r.output;
    // ir counts them the same way, and does not blame the length.
    r = runMisbehaving ("nan-output", { "ir", misbehaving, scratch.path ("nan.png"), "--seconds", "1" });
    EXPECT_EQ (r.status, 1) << r.output;
    EXPECT_TRUE (contains (r, "put out 44100 samples that are not finite numbers")) << r.output;
    EXPECT_FALSE (contains (r, "a longer --seconds")) << r.output;

    // The longest lists the limits accept are summarised, not drawn or
    // listed whole (the picture's text layout once took gigabytes for them).
    r = runMisbehaving ("many-parameters", { "ir", misbehaving, scratch.path ("many.png"), "--seconds", "0.1" });
    EXPECT_EQ (r.status, 0) << r.output;
    EXPECT_TRUE (contains (r, ", and 99968 more parameters")) << r.output;
    r = runTool (
        { "info", misbehaving, "--json" },
        "export LUMIDOR_MISBEHAVE=many-parameters; standardOutputOnly() { \"$@\" 2>/dev/null; }; standardOutputOnly ");
    EXPECT_EQ (r.status, 0);
    const auto info = juce::JSON::parse (juce::String (r.output));
    EXPECT_EQ ((int) info["parameterCount"], 100000);
    EXPECT_EQ (info["parameters"].size(), 4096);

    // A file that fails is 1 in every subcommand, a setting refused is 2.
    for (const auto& [args, status] : std::vector<std::pair<std::vector<std::string>, int>> {
             { { "render", in, scratch.path ("out.wav"), "--preset", scratch.path ("missing.fxp") }, 1 },
             { { "preset", "load", scratch.path ("missing.fxp") }, 1 },
             { { "ir", scratch.path ("ir.png"), "--preset", scratch.path ("missing.fxp") }, 1 },
             { { "render", in, scratch.path ("out.wav"), "--program", "999" }, 2 },
             { { "preset", "load", LUMIDOR_PRESETS_DIR "/factory.fxb", "--program", "999" }, 2 },
             { { "preset", "load", LUMIDOR_PRESETS_DIR "/factory.fxb", "--param", "Decay=2" }, 2 } })
    {
        r = runTool (args);
        EXPECT_EQ (r.status, status) << args[0] << " " << args.back() << ": " << r.output;
    }

    r = runTool ({ "render", "--help" });
    EXPECT_TRUE (contains (r, "--tail SECONDS       silence processed after the input, 0 to 3600 (default 2)"))
        << r.output;
    EXPECT_TRUE (contains (r, "relabels, does not resample")) << r.output;
}
