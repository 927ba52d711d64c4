#pragma once

#include "AudioFilterBase.h"

/** A host's project state for a filter, the same bytes in every plug-in
    format that stores one opaque blob (VST3, LV2, standalone):

        "AFS1", current program index, bank chunk size n, n bytes of bank
        chunk, preset chunk size m, m bytes of preset chunk

    with the numbers as little-endian 32-bit integers. Reading restores the
    bank, selects the stored program and restores the preset into it, so the
    program table, the current program and the sounding values come back.

    Called on the host's state thread, never during a block. */
namespace FilterState
{
/** Replaces the destination's content with the filter's state. */
void write (AudioFilterBase& filter, juce::MemoryBlock& destination);

/** Restores a state written by write(). Also accepted: a bare bank or preset
    chunk as a VST 2 host stores it, and a whole VST 2 program or bank file
    (a bank file's current program is selected again so that it sounds).
    Returns false, having changed nothing, for bytes that cannot be used: a
    damaged or cut-short container, a container with a chunk the filter
    cannot read, a file or bare chunk that is not the filter's. */
bool read (AudioFilterBase& filter, const void* data, int sizeInBytes);

/** True for bytes that begin as write() writes them or as a VST 2 program or
    bank file does: what a format whose hosts never held a bare chunk hands
    to read(). Says nothing of the rest of the bytes. */
bool isOwnFormat (const void* data, int sizeInBytes) noexcept;
}
