#include "TurtleWriter.h"

#include "FactoryPrograms.h"
#include "Lv2Ports.h"
#include "ParameterTable.h"
#include "ParameterUnits.h"
#include "PluginIdentity.h"
#include "PortValues.h"

#include <cstring>
#include <set>
#include <sstream>

namespace
{
constexpr const char* prefixes = "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
                                 "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
                                 "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
                                 "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
                                 "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
                                 "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
                                 "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
                                 "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                                 "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
                                 "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                                 "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n\n";

constexpr const char* generatedNote = "# Written by make-lv2-bundle at build time; do not edit.\n\n";

std::string quoted (const std::string& text)
{
    std::string s = "\"";
    for (char c : text)
    {
        if (c == '"' || c == '\\')
            s += '\\';
        s += c;
    }
    return s + "\"";
}

std::string uri (const std::string& u) { return "<" + u + ">"; }

/** A preset's URI: the program name's letters and digits under the
    plug-in's URI ("Vocal Booth" is ...:preset:VocalBooth). */
std::string presetUri (const std::string& pluginUri, const char* name)
{
    std::string id;
    for (const char* c = name; *c != 0; ++c)
        if ((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9'))
            id += *c;
    return pluginUri + ":preset:" + id;
}

const char* unitUri (ParameterUnits::Kind kind)
{
    switch (kind)
    {
        case ParameterUnits::Kind::percent: return "units:pc";
        case ParameterUnits::Kind::decibels: return "units:db";
        case ParameterUnits::Kind::seconds: return "units:s";
        case ParameterUnits::Kind::toggle: return nullptr;
    }
    return nullptr;
}

bool exactValue (int index, float normalised, const char* what, std::string& text, std::string& error)
{
    if (auto t = PortValues::exactText (index, normalised))
    {
        text = *t;
        return true;
    }
    error = std::string ("no port value of ") + parameterTable[(size_t) index].hostName + " reads back as "
            + std::to_string (normalised) + " (" + what + ")";
    return false;
}

bool writeControlPort (std::ostringstream& out, int index, std::string& error)
{
    const auto& info = parameterTable[(size_t) index];
    const auto& unit = ParameterUnits::unitOf (index);
    std::string defaultText, minimumText, maximumText;
    if (! exactValue (index, info.defaultValue, "default", defaultText, error)
        || ! exactValue (index, 0.0f, "minimum", minimumText, error)
        || ! exactValue (index, 1.0f, "maximum", maximumText, error))
        return false;

    out << "        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << Lv2Ports::control (index) << " ;\n"
        << "        lv2:symbol " << quoted (unit.symbol) << " ;\n"
        << "        lv2:name " << quoted (info.hostName) << " ;\n"
        << "        lv2:default " << defaultText << " ;\n"
        << "        lv2:minimum " << minimumText << " ;\n"
        << "        lv2:maximum " << maximumText;
    if (unit.kind == ParameterUnits::Kind::toggle)
        out << " ;\n        lv2:portProperty lv2:toggled , lv2:integer";
    if (unit.kind == ParameterUnits::Kind::seconds)
        out << " ;\n        lv2:portProperty pprops:logarithmic";
    if (const auto* u = unitUri (unit.kind))
        out << " ;\n        units:unit " << u;
    out << "\n";
    return true;
}

void writeAudioPort (std::ostringstream& out, uint32_t index, bool input, int channel)
{
    const auto n = std::to_string (channel + 1);
    out << "        a lv2:AudioPort , " << (input ? "lv2:InputPort" : "lv2:OutputPort") << " ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol \"" << (input ? "audio_in_" : "audio_out_") << n << "\" ;\n"
        << "        lv2:name \"" << (input ? "Input " : "Output ") << (channel == 0 ? "Left" : "Right") << "\"\n";
}

bool parameterNamesMatch (std::string& error)
{
    for (int i = 0; i < ParameterIndex::count; ++i)
        if (std::strcmp (factoryParameterNames[(size_t) i], parameterTable[(size_t) i].hostName) != 0)
        {
            error = "the factory programs' parameter order differs from the parameter table";
            return false;
        }
    return true;
}
}

bool TurtleWriter::write (const BundleNames& names, BundleFiles& files, std::string& error)
{
    if (! parameterNamesMatch (error))
        return false;

    const auto plugin = uri (names.pluginUri);
    const bool hasUi = ! names.uiUri.empty();

    std::ostringstream description;
    description << generatedNote << prefixes << plugin << "\n"
                << "    a lv2:Plugin , lv2:ReverbPlugin ;\n"
                << "    doap:name \"" << lumidorIdentity.vst.effectName << "\" ;\n"
                << "    doap:maintainer [ foaf:name \"" << lumidorIdentity.vst.vendorName << "\" ] ;\n"
                << "    lv2:optionalFeature lv2:hardRTCapable , urid:map ;\n"
                << "    lv2:extensionData state:interface ;\n";
    if (hasUi)
        description << "    ui:ui " << uri (names.uiUri) << " ;\n";
    description << "    lv2:port [\n";

    const auto parameters = (uint32_t) ParameterIndex::count;
    for (int i = 0; i < ParameterIndex::count; ++i)
    {
        if (! writeControlPort (description, i, error))
            return false;
        description << "    ] , [\n";
    }
    for (int c = 0; c < (int) Lv2Ports::audioChannels; ++c)
    {
        writeAudioPort (description, Lv2Ports::audioIn (parameters, (uint32_t) c), true, c);
        description << "    ] , [\n";
    }
    for (int c = 0; c < (int) Lv2Ports::audioChannels; ++c)
    {
        writeAudioPort (description, Lv2Ports::audioOut (parameters, (uint32_t) c), false, c);
        description << (c + 1 < (int) Lv2Ports::audioChannels ? "    ] , [\n" : "    ] .\n");
    }

    if (hasUi)
        description << "\n"
                    << uri (names.uiUri) << "\n"
                    << "    a ui:X11UI ;\n"
                    << "    lv2:requiredFeature ui:idleInterface , ui:parent ;\n"
                    << "    lv2:optionalFeature ui:resize , ui:noUserResize , urid:map , opts:options ;\n"
                    << "    opts:supportedOption ui:scaleFactor ;\n"
                    << "    lv2:extensionData ui:idleInterface , opts:interface .\n";

    std::ostringstream manifest, presets;
    manifest << generatedNote << prefixes << plugin << "\n"
             << "    a lv2:Plugin ;\n"
             << "    lv2:binary " << uri (names.binary) << " ;\n"
             << "    rdfs:seeAlso " << uri (pluginFile) << " .\n";
    if (hasUi)
        manifest << "\n"
                 << uri (names.uiUri) << "\n"
                 << "    a ui:X11UI ;\n"
                 << "    ui:binary " << uri (names.uiBinary) << " ;\n"
                 << "    rdfs:seeAlso " << uri (pluginFile) << " .\n";

    presets << generatedNote << prefixes;
    std::set<std::string> presetUris;
    for (const auto& program : factoryPrograms())
    {
        const auto u = presetUri (names.pluginUri, program.name);
        if (! presetUris.insert (u).second)
        {
            error = std::string ("two factory programs share the preset URI of ") + program.name;
            return false;
        }
        manifest << "\n"
                 << uri (u) << "\n"
                 << "    a pset:Preset ;\n"
                 << "    lv2:appliesTo " << plugin << " ;\n"
                 << "    rdfs:label " << quoted (program.name) << " ;\n"
                 << "    rdfs:seeAlso " << uri (presetsFile) << " .\n";

        presets << uri (u) << "\n"
                << "    a pset:Preset ;\n"
                << "    lv2:appliesTo " << plugin << " ;\n"
                << "    rdfs:label " << quoted (program.name) << " ;\n"
                << "    lv2:port";
        const auto values = program.values();
        for (int i = 0; i < ParameterIndex::count; ++i)
        {
            std::string text;
            if (! exactValue (i, values[(size_t) i], program.name, text, error))
                return false;
            presets << (i == 0 ? " [\n" : " , [\n") << "        lv2:symbol "
                    << quoted (ParameterUnits::unitOf (i).symbol) << " ;\n"
                    << "        pset:value " << text << "\n    ]";
        }
        presets << " .\n\n";
    }

    files.manifest = manifest.str();
    files.plugin = description.str();
    files.presets = presets.str();
    return true;
}
