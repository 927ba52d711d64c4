// Writes the fuzzer's seed corpus into a folder: chunks made by the writers,
// and near misses of them (lower-case tag, truncation, short data, a missing
// attribute, odd number texts, a wrong magic), so the fuzzer starts from the
// paths a real chunk takes.
//
// Usage: lumidor_state_seeds FOLDER

#include "DemoJuceFilter.h"
#include "StateEnvelope.h"

#include <cstdio>
#include <string>

namespace
{
std::string textOf (const juce::MemoryBlock& chunk)
{
    const auto* bytes = static_cast<const char*> (chunk.getData());
    return std::string (bytes + StateEnvelope::headerSize,
                        chunk.getSize() - (size_t) (StateEnvelope::headerSize + StateEnvelope::trailerSize));
}

void replaceAll (std::string& text, const std::string& from, const std::string& to)
{
    for (auto at = text.find (from); at != std::string::npos; at = text.find (from, at + to.size()))
        text.replace (at, from.size(), to);
}

bool save (const juce::File& folder, const char* name, const void* data, size_t size)
{
    return folder.getChildFile (name).replaceWithData (data, size);
}

bool save (const juce::File& folder, const char* name, const juce::MemoryBlock& chunk)
{
    return save (folder, name, chunk.getData(), chunk.getSize());
}

bool saveText (const juce::File& folder, const char* name, const std::string& text)
{
    juce::MemoryBlock chunk;
    StateEnvelope::wrap (text, chunk);
    return save (folder, name, chunk);
}
}

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }

    const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    if (! folder.createDirectory())
        return 1;

    DemoJuceFilter filter;
    juce::MemoryBlock preset, bank;
    filter.writePresetState (preset);
    filter.writeBankState (bank);

    bool ok = save (folder, "preset-new", preset) && save (folder, "bank-new", bank);

    filter.setParameterValue (0, 0.1f);
    filter.setParameterValue (2, 1e-30f);
    filter.setParameterValue (6, -0.0f);
    filter.setParameterValue (9, 3e38f);
    filter.renameProgram (0, juce::String::fromUTF8 ("Hall \"A\" & <B>\n\xc3\xa9t\xc3\xa9"));
    juce::MemoryBlock oddPreset, oddBank;
    filter.writePresetState (oddPreset);
    filter.writeBankState (oddBank);
    ok = ok && save (folder, "preset-odd", oddPreset) && save (folder, "bank-odd", oddBank);

    auto text = textOf (preset);

    auto lowerTag = text;
    replaceAll (lowerTag, "LUMIDOR_PRESET", "lumidor_preset");
    ok = ok && saveText (folder, "preset-lower-tag", lowerTag);

    ok = ok && saveText (folder, "preset-truncated", text.substr (0, text.size() / 2));
    ok = ok && save (folder, "preset-short-data", preset.getData(), preset.getSize() - 20);

    auto missing = text;
    replaceAll (missing, " fDecay=\"0.5\"", "");
    ok = ok && saveText (folder, "preset-missing-decay", missing);

    auto numbers = text;
    replaceAll (numbers, "fEarlySize=\"0.5\"", "fEarlySize=\"1e999\"");
    replaceAll (numbers, "fLateSize=\"0.5\"", "fLateSize=\" +.5e-3x\"");
    replaceAll (numbers, "fDecay=\"0.5\"", "fdecay=\"nan\"");
    ok = ok && saveText (folder, "preset-odd-numbers", numbers);

    auto wrongMagic = preset;
    static_cast<char*> (wrongMagic.getData())[3] = 0;
    ok = ok && save (folder, "preset-wrong-magic", wrongMagic);

    return ok ? 0 : 1;
}
