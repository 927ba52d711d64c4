// info: what a host learns about a module before it processes anything.
#include "Commands.h"
#include "CommandLine.h"
#include "InstanceSettings.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <sstream>

namespace
{
const char* const canDoTexts[] = {
    "sendVstEvents",
    "sendVstMidiEvent",
    "sendVstMidiEvents",
    "receiveVstEvents",
    "receiveVstMidiEvent",
    "receiveVstMidiEvents",
    "receiveVstTimeInfo",
    "offline",
    "midiProgramNames",
    "bypass",
    "conformsToWindowRules",
    "plugAsChannelInsert",
    "plugAsSend",
    "mixDryWet",
    "noRealTime",
    "multipass",
    "metapass",
    "1in1out",
    "1in2out",
    "2in1out",
    "2in2out",
    "2in4out",
    "4in2out",
    "4in4out",
    "4in8out",
    "8in4out",
    "8in8out",
};

const char* categoryName (VstIntPtr category)
{
    static const char* const names[] = { "unknown",     "effect",          "synth",       "analysis",
                                         "mastering",   "spatialiser",     "room effect", "surround effect",
                                         "restoration", "offline process", "shell",       "generator" };
    return category >= 0 && category < 12 ? names[category] : "?";
}

std::vector<std::string> flagNames (VstIntPtr flags)
{
    struct Flag
    {
        VstIntPtr bit;
        const char* name;
    };
    const Flag known[] = { { effFlagsHasEditor, "has editor" },
                           { effFlagsCanReplacing, "can process replacing" },
                           { effFlagsProgramChunks, "programs are chunks" },
                           { effFlagsIsSynth, "is a synth" },
                           { effFlagsNoSoundInStop, "no tail (silent when stopped)" },
                           { effFlagsCanDoubleReplacing, "can process double replacing" } };
    std::vector<std::string> names;
    VstIntPtr rest = flags;
    for (const auto& f : known)
        if ((flags & f.bit) != 0)
        {
            names.push_back (f.name);
            rest &= ~f.bit;
        }
    if (rest != 0)
    {
        std::ostringstream s;
        s << "other bits 0x" << std::hex << rest;
        names.push_back (s.str());
    }
    return names;
}

std::string fourCharacters (int32_t id)
{
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        const char c = (char) ((id >> shift) & 0xff);
        s += (c >= 32 && c < 127) ? c : '.';
    }
    return s;
}

std::string hex (int64_t v)
{
    std::ostringstream s;
    s << "0x" << std::hex << std::uppercase << v;
    return s.str();
}

/** The longest list of parameters or programs the report shows: the limits
    on modules accept 100000 of each, with texts of 255 bytes, which listed
    whole would take gigabytes as JSON and tell a reader nothing more. */
constexpr int listedAtMost = 4096;

struct ModuleFacts
{
    std::string path, name, vendor, product;
    VstIntPtr vendorVersion = 0, vstVersion = 0, category = 0, tail = 0;
    int32_t uniqueID = 0, version = 0, initialDelay = 0;
    int inputs = 0, outputs = 0;
    VstIntPtr flags = 0;
    struct Parameter
    {
        std::string name, fullName, label, text;
        float value;
        VstIntPtr automatable;
    };
    // The first `listedAtMost` of each; the counts say how many there are.
    std::vector<Parameter> parameters;
    std::vector<std::string> programs;
    int parameterCount = 0, programCount = 0;
    int currentProgram = 0;
    std::vector<std::pair<std::string, VstIntPtr>> canDo;
    bool chunks = false;
    size_t presetChunk = 0, bankChunk = 0;
};

ModuleFacts gather (VstHost& host)
{
    ModuleFacts f;
    const auto* e = host.descriptor();
    f.path = host.path();
    f.name = host.dispatchText (effGetEffectName);
    f.vendor = host.dispatchText (effGetVendorString);
    f.product = host.dispatchText (effGetProductString);
    f.vendorVersion = host.dispatch (effGetVendorVersion);
    f.vstVersion = host.dispatch (effGetVstVersion);
    f.category = host.dispatch (effGetPlugCategory);
    f.tail = host.dispatch (VstHost::effOpcodeGetTailSize);
    f.uniqueID = e->uniqueID;
    f.version = e->version;
    f.initialDelay = e->initialDelay;
    f.inputs = e->numInputs;
    f.outputs = e->numOutputs;
    f.flags = e->flags;

    f.parameterCount = host.numParameters();
    f.programCount = host.numPrograms();
    for (int i = 0; i < std::min (f.parameterCount, listedAtMost); ++i)
        f.parameters.push_back ({ host.parameterName (i), host.parameterFullName (i), host.parameterLabel (i),
                                  host.parameterText (i), host.parameter (i), host.dispatch (effCanBeAutomated, i) });
    for (int i = 0; i < std::min (f.programCount, listedAtMost); ++i)
        f.programs.push_back (host.programNameAt (i));
    f.currentProgram = host.program();

    for (const char* text : canDoTexts)
        f.canDo.emplace_back (text, host.canDo (text));

    f.chunks = (e->flags & effFlagsProgramChunks) != 0;
    if (f.chunks)
    {
        f.presetChunk = host.getChunk (true).size();
        f.bankChunk = host.getChunk (false).size();
    }
    return f;
}

void printJson (const ModuleFacts& f)
{
    auto* root = new juce::DynamicObject();
    juce::var result (root);
    root->setProperty ("module", juce::String (f.path));
    root->setProperty ("name", juce::String (f.name));
    root->setProperty ("vendor", juce::String (f.vendor));
    root->setProperty ("product", juce::String (f.product));
    root->setProperty ("vendorVersion", (juce::int64) f.vendorVersion);
    root->setProperty ("vstVersion", (juce::int64) f.vstVersion);
    root->setProperty ("category", (juce::int64) f.category);
    root->setProperty ("uniqueID", f.uniqueID);
    root->setProperty ("uniqueIDText", juce::String (fourCharacters (f.uniqueID)));
    root->setProperty ("version", f.version);
    root->setProperty ("inputs", f.inputs);
    root->setProperty ("outputs", f.outputs);
    root->setProperty ("initialDelay", f.initialDelay);
    root->setProperty ("tailSize", (juce::int64) f.tail);
    root->setProperty ("flags", (juce::int64) f.flags);
    juce::Array<juce::var> flagList;
    for (const auto& n : flagNames (f.flags))
        flagList.add (juce::String (n));
    root->setProperty ("flagNames", flagList);

    juce::Array<juce::var> parameters;
    for (size_t i = 0; i < f.parameters.size(); ++i)
    {
        auto* p = new juce::DynamicObject();
        p->setProperty ("index", (int) i);
        p->setProperty ("name", juce::String (f.parameters[i].name));
        p->setProperty ("fullName", juce::String (f.parameters[i].fullName));
        p->setProperty ("label", juce::String (f.parameters[i].label));
        p->setProperty ("value", f.parameters[i].value);
        p->setProperty ("text", juce::String (f.parameters[i].text));
        p->setProperty ("automatable", f.parameters[i].automatable != 0);
        parameters.add (juce::var (p));
    }
    root->setProperty ("parameters", parameters);
    root->setProperty ("parameterCount", f.parameterCount);

    juce::Array<juce::var> programs;
    for (const auto& n : f.programs)
        programs.add (juce::String (n));
    root->setProperty ("programs", programs);
    root->setProperty ("programCount", f.programCount);
    root->setProperty ("currentProgram", f.currentProgram);

    auto* canDo = new juce::DynamicObject();
    for (const auto& [text, reply] : f.canDo)
        canDo->setProperty (juce::Identifier (text), (juce::int64) reply);
    root->setProperty ("canDo", juce::var (canDo));

    auto* chunks = new juce::DynamicObject();
    chunks->setProperty ("programsAreChunks", f.chunks);
    chunks->setProperty ("presetBytes", (juce::int64) f.presetChunk);
    chunks->setProperty ("bankBytes", (juce::int64) f.bankChunk);
    root->setProperty ("chunks", juce::var (chunks));

    std::cout << juce::JSON::toString (result).toStdString() << "\n";
}

/** What the tail-size reply means: 0 is the interface's "not answered",
    which hosts read as a default (a reverb that means "no tail" answers 1). */
std::string tailText (VstIntPtr tail)
{
    if (tail == 0)
        return "not reported (the host uses its default)";
    if (tail == 1)
        return "none (output ends with the input)";
    return std::to_string (tail) + " samples";
}

void printText (const ModuleFacts& f)
{
    std::cout << "module        " << f.path << "\n"
              << "name          " << f.name << " (product \"" << f.product << "\", vendor \"" << f.vendor
              << "\", vendor version " << f.vendorVersion << ")\n"
              << "unique id     '" << fourCharacters (f.uniqueID) << "' (" << hex ((uint32_t) f.uniqueID)
              << "), version " << f.version << " (" << hex (f.version) << ")\n"
              << "VST version   " << f.vstVersion << ", category " << f.category << " (" << categoryName (f.category)
              << ")\n"
              << "channels      " << f.inputs << " in, " << f.outputs << " out; initial delay " << f.initialDelay
              << " samples; tail " << tailText (f.tail) << "\n"
              << "flags         " << hex (f.flags);
    const auto names = flagNames (f.flags);
    for (size_t i = 0; i < names.size(); ++i)
        std::cout << (i == 0 ? ": " : ", ") << names[i];
    const auto listed = [] (int count)
    {
        return std::to_string (count)
               + (count > listedAtMost ? ", the first " + std::to_string (listedAtMost) + " listed" : "");
    };
    std::cout << "\n\nparameters (" << listed (f.parameterCount) << ")\n";
    for (size_t i = 0; i < f.parameters.size(); ++i)
    {
        const auto& p = f.parameters[i];
        std::cout << "  " << std::setw (3) << i << "  " << std::left << std::setw (14) << p.fullName << std::right
                  << "  " << std::setw (10) << p.text << " " << std::left << std::setw (6) << p.label << std::right
                  << "  value " << p.value << (p.automatable != 0 ? "" : "  (not automatable)") << "\n";
    }

    std::cout << "\nprograms (" << listed (f.programCount) << "), current " << f.currentProgram << "\n";
    for (size_t i = 0; i < f.programs.size();)
    {
        size_t j = i;
        while (j + 1 < f.programs.size() && f.programs[j + 1] == f.programs[i])
            ++j;
        std::cout << "  " << i;
        if (j > i)
            std::cout << "-" << j;
        std::cout << "  " << f.programs[i] << "\n";
        i = j + 1;
    }

    std::cout << "\ncan do (1 yes, -1 no, 0 don't know)\n";
    for (const auto& [text, reply] : f.canDo)
        if (reply != 0)
            std::cout << "  " << std::left << std::setw (24) << text << std::right << reply << "\n";
    std::cout << "  every other text        0\n";

    std::cout << "\nchunks        ";
    if (f.chunks)
        std::cout << "preset " << f.presetChunk << " bytes, bank " << f.bankChunk << " bytes\n";
    else
        std::cout << "none (the programs are not chunks)\n";
}
}

int runInfo (const std::vector<std::string>& words)
{
    CommandLine args;
    if (! args.parse (words, {}, { "json" }))
        return usageError (args.error());
    const auto path = args.takeModule();
    if (! args.positionals().empty())
        return usageError ("info takes no argument \"" + args.positionals().front()
                           + "\" (a module must be an existing .so file)");

    auto host = InstanceSettings::openModule (path);
    if (host == nullptr)
        return 1;

    const auto facts = gather (*host);
    if (args.has ("json"))
        printJson (facts);
    else
        printText (facts);
    return 0;
}
