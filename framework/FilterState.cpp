#include "FilterState.h"

#include "FxpFile.h"

#include <cstring>
#include <limits>
#include <vector>

namespace
{
constexpr char stateTag[4] = { 'A', 'F', 'S', '1' };
constexpr size_t sizeFieldBytes = 4;

bool isValidProgram (AudioFilterBase& filter, int index) { return index >= 0 && index < filter.programCount(); }

bool readFxpFile (AudioFilterBase& filter, const juce::uint8* bytes, size_t total)
{
    FxpFile file;
    std::string error;
    if (! file.fromBytes (std::vector<juce::uint8> (bytes, bytes + total), error) || file.chunk.empty()
        || file.chunk.size() > (size_t) std::numeric_limits<int>::max())
        return false;

    const auto chunkSize = (int) file.chunk.size();
    const bool isBank = file.kind == FxpFile::Kind::bank;
    if (! (isBank ? filter.isUsableBankState (file.chunk.data(), chunkSize)
                  : filter.isUsablePresetState (file.chunk.data(), chunkSize)))
        return false;

    if (isBank)
    {
        // Loading a bank file means hearing it: the current program is
        // selected again from the restored records.
        filter.readBankState (file.chunk.data(), chunkSize);
        filter.selectProgram (filter.currentProgramIndex());
    }
    else
    {
        filter.readPresetState (file.chunk.data(), chunkSize);
    }
    return true;
}
}

void FilterState::write (AudioFilterBase& filter, juce::MemoryBlock& destination)
{
    juce::MemoryBlock bank, preset;
    filter.writeBankState (bank);
    filter.writePresetState (preset);

    destination.reset();
    juce::MemoryOutputStream out (destination, false);
    out.write (stateTag, sizeof (stateTag));
    out.writeInt (filter.currentProgramIndex());
    out.writeInt ((int) bank.getSize());
    out.write (bank.getData(), bank.getSize());
    out.writeInt ((int) preset.getSize());
    out.write (preset.getData(), preset.getSize());
}

bool FilterState::read (AudioFilterBase& filter, const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= 0)
        return false;

    const auto* bytes = static_cast<const juce::uint8*> (data);
    const auto total = (size_t) sizeInBytes;

    // A program or bank file, as VST 2 hosts save them and as the factory
    // bank ships: what a user may hand to a host's "load state".
    if (FxpFile::isFile (bytes, total))
        return readFxpFile (filter, bytes, total);

    if (total < sizeof (stateTag) || std::memcmp (bytes, stateTag, sizeof (stateTag)) != 0)
    {
        // Not our container: a chunk as a VST 2 host keeps it, a bank or a
        // preset.
        if (filter.isUsableBankState (data, sizeInBytes))
            filter.readBankState (data, sizeInBytes);
        else if (filter.isUsablePresetState (data, sizeInBytes))
            filter.readPresetState (data, sizeInBytes);
        else
            return false;
        return true;
    }

    size_t offset = sizeof (stateTag);
    const auto readField = [&] (juce::uint32& field)
    {
        if (total - offset < sizeFieldBytes)
            return false;
        field = juce::ByteOrder::littleEndianInt (bytes + offset);
        offset += sizeFieldBytes;
        return true;
    };

    juce::uint32 program = 0, bankSize = 0, presetSize = 0;
    if (! readField (program) || ! readField (bankSize) || bankSize > total - offset)
        return false;
    const auto* bank = bytes + offset;
    offset += bankSize;
    if (! readField (presetSize) || presetSize > total - offset)
        return false;
    const auto* preset = bytes + offset;

    // Both chunks are checked before either is restored, so a container
    // with one damaged chunk leaves the program table and the sound alone.
    if ((bankSize > 0 && ! filter.isUsableBankState (bank, (int) bankSize))
        || (presetSize > 0 && ! filter.isUsablePresetState (preset, (int) presetSize)))
        return false;

    // The bank brings back every program; selecting the program that was
    // sounding makes the preset after it land in that program (the filter
    // restores a preset into its current program), bringing back the values
    // and the name that were sounding.
    if (bankSize > 0)
        filter.readBankState (bank, (int) bankSize);
    if (isValidProgram (filter, (int) program))
        filter.selectProgram ((int) program);
    if (presetSize > 0)
        filter.readPresetState (preset, (int) presetSize);
    return true;
}

bool FilterState::isOwnFormat (const void* data, int sizeInBytes) noexcept
{
    if (data == nullptr || sizeInBytes <= 0)
        return false;
    const auto* bytes = static_cast<const juce::uint8*> (data);
    const auto total = (size_t) sizeInBytes;
    return FxpFile::isFile (bytes, total)
           || (total >= sizeof (stateTag) && std::memcmp (bytes, stateTag, sizeof (stateTag)) == 0);
}
