// Feeds arbitrary bytes to both state readers of one filter, reused across
// inputs as a host reuses a plug-in, and checks what must hold whatever the
// chunk: no crash or undefined behaviour, every live value finite, and a
// preset written after the restore reading back to the same bytes.

#include "DemoJuceFilter.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
DemoJuceFilter& filter()
{
    static DemoJuceFilter instance;
    return instance;
}

void fail (const char* what)
{
    std::fprintf (stderr, "state invariant broken: %s\n", what);
    std::abort();
}

bool sameBytes (const juce::MemoryBlock& a, const juce::MemoryBlock& b)
{
    return a.getSize() == b.getSize() && std::memcmp (a.getData(), b.getData(), a.getSize()) == 0;
}
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, size_t size)
{
    auto& f = filter();
    const int sizeInBytes = size > (size_t) INT_MAX ? INT_MAX : (int) size;

    f.readPresetState (data, sizeInBytes);
    f.readBankState (data, sizeInBytes);

    for (int i = 0; i < f.parameterCount(); ++i)
        if (! std::isfinite (f.parameterValue (i)))
            fail ("a live value is not finite");

    juce::MemoryBlock first, second;
    f.writePresetState (first);
    f.readPresetState (first.getData(), (int) first.getSize());
    f.writePresetState (second);

    if (! sameBytes (first, second))
        fail ("a written preset does not read back to itself");

    return 0;
}
