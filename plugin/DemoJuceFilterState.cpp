#include "DemoJuceFilter.h"

#include "StateDocumentReader.h"
#include "StateDocumentWriter.h"
#include "StateEnvelope.h"

#include <vector>

// The preset and bank documents. Both are built from the parameter table, so
// a parameter's state attribute is its stateKey; the bank appends the
// program index to every name. Readers parse and check the whole chunk before
// they touch the filter: a chunk that cannot be used leaves every value and
// name as it was, and only a restore that went through broadcasts.

namespace
{
constexpr const char* presetTag = "LUMIDOR_PRESET";
constexpr const char* bankTag = "LUMIDOR_BANK";
constexpr const char* versionAttribute = "Version";
constexpr const char* documentVersion = "1.1.0";
constexpr const char* presetNameAttribute = "programName";
constexpr const char* bankNameAttribute = "ProgramName";

constexpr size_t presetLengthHint = 512;
constexpr size_t bankLengthHint = 32768;

std::string bankAttribute (const char* base, int program) { return base + std::to_string (program); }
}

void DemoJuceFilter::writePresetState (juce::MemoryBlock& destination)
{
    StateDocumentWriter document (presetTag, presetLengthHint);
    document.addText (versionAttribute, documentVersion);

    for (const auto& p : parameterTable)
        document.addValue (p.stateKey, live (p.index));

    document.addText (presetNameAttribute, programName);
    StateEnvelope::wrap (document.toText(), destination);
}

void DemoJuceFilter::writeBankState (juce::MemoryBlock& destination)
{
    StateDocumentWriter document (bankTag, bankLengthHint);
    document.addText (versionAttribute, documentVersion);

    for (int i = 0; i < programCountTotal; ++i)
    {
        const auto& record = *programs[(size_t) i];

        for (const auto& p : parameterTable)
            document.addValue (bankAttribute (p.stateKey, i), record.valueOf (p.index));

        document.addText (bankAttribute (bankNameAttribute, i), record.name);
    }

    StateEnvelope::wrap (document.toText(), destination);
}

void DemoJuceFilter::readPresetState (const void* data, int sizeInBytes)
{
    const StateDocumentReader document (StateEnvelope::unwrap (data, sizeInBytes), presetTag);

    if (! document.isValid())
        return;

    // A missing attribute keeps the value that is sounding now.
    std::array<float, ParameterIndex::count> values {};
    for (const auto& p : parameterTable)
        values[(size_t) p.index] = document.getValue (p.stateKey, live (p.index));

    const auto name = document.getText (presetNameAttribute, programName);

    // The restore goes into the current program first, and the live values
    // follow it, so the two stay equal. The engine hears the new values at
    // the next block start.
    auto& record = *programs[(size_t) currentProgram];

    for (const auto& p : parameterTable)
    {
        record.valueOf (p.index) = values[(size_t) p.index];
        setLive (p.index, record.valueOf (p.index));
    }

    record.name = name;
    programName = record.name;
    sendChangeMessage();
}

void DemoJuceFilter::readBankState (const void* data, int sizeInBytes)
{
    const StateDocumentReader document (StateEnvelope::unwrap (data, sizeInBytes), bankTag);

    if (! document.isValid())
        return;

    // A program missing from the document takes the live values and the
    // current name, not its own old contents.
    std::vector<ProgramRecord> restored ((size_t) programCountTotal);

    for (int i = 0; i < programCountTotal; ++i)
    {
        auto& record = restored[(size_t) i];

        for (const auto& p : parameterTable)
            record.valueOf (p.index) = document.getValue (bankAttribute (p.stateKey, i), live (p.index));

        record.name = document.getText (bankAttribute (bankNameAttribute, i), programName);
    }

    // Only the stored programs change: the live values, the current program
    // and its name keep sounding until a program is selected.
    for (int i = 0; i < programCountTotal; ++i)
        *programs[(size_t) i] = restored[(size_t) i];

    sendChangeMessage();
}

bool DemoJuceFilter::isUsablePresetState (const void* data, int sizeInBytes)
{
    return StateDocumentReader (StateEnvelope::unwrap (data, sizeInBytes), presetTag).isValid();
}

bool DemoJuceFilter::isUsableBankState (const void* data, int sizeInBytes)
{
    return StateDocumentReader (StateEnvelope::unwrap (data, sizeInBytes), bankTag).isValid();
}
