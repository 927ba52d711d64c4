// Time to write and to read back the state chunks: the bank of 128 programs
// and one preset, median of many runs each, in microseconds. The hosts ask
// for these on the dispatcher thread when a project is saved or loaded.

#include "DemoJuceFilter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{
double medianMicroseconds (int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    times.reserve ((size_t) runs);

    for (int i = 0; i < runs; ++i)
    {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        times.push_back (std::chrono::duration<double, std::micro> (end - start).count());
    }

    std::nth_element (times.begin(), times.begin() + runs / 2, times.end());
    return times[(size_t) runs / 2];
}

// Values and names unlike the defaults, so every number takes nine digits
// and every name needs escaping.
void fillPrograms (DemoJuceFilter& filter)
{
    for (int p = 0; p < filter.programCount(); ++p)
    {
        filter.selectProgram (p);
        for (int i = 0; i < filter.parameterCount(); ++i)
            filter.setParameterValue (i, 1.0f / (float) (p + i + 3));
        filter.renameProgram (p, juce::String::fromUTF8 ("Hall \"") + juce::String (p)
                                     + juce::String::fromUTF8 ("\" \xc3\xa9t\xc3\xa9"));
    }
    filter.selectProgram (0);
}
}

int main()
{
    constexpr int bankRuns = 301;
    constexpr int presetRuns = 5001;

    DemoJuceFilter filter;
    fillPrograms (filter);

    juce::MemoryBlock bank, preset;
    filter.writeBankState (bank);
    filter.writePresetState (preset);

    const double bankWrite = medianMicroseconds (bankRuns,
                                                 [&]
                                                 {
                                                     juce::MemoryBlock b;
                                                     filter.writeBankState (b);
                                                 });
    const double bankRead =
        medianMicroseconds (bankRuns, [&] { filter.readBankState (bank.getData(), (int) bank.getSize()); });
    const double presetWrite = medianMicroseconds (presetRuns,
                                                   [&]
                                                   {
                                                       juce::MemoryBlock b;
                                                       filter.writePresetState (b);
                                                   });
    const double presetRead =
        medianMicroseconds (presetRuns, [&] { filter.readPresetState (preset.getData(), (int) preset.getSize()); });

    std::printf ("bank chunk   %6zu bytes: write %8.1f us, read %8.1f us (median of %d)\n", bank.getSize(), bankWrite,
                 bankRead, bankRuns);
    std::printf ("preset chunk %6zu bytes: write %8.1f us, read %8.1f us (median of %d)\n", preset.getSize(),
                 presetWrite, presetRead, presetRuns);
    return 0;
}
