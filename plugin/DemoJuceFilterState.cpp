#include "DemoJuceFilter.h"

void DemoJuceFilter::writeBankState (juce::MemoryBlock& destination) { destination.reset(); }
void DemoJuceFilter::writePresetState (juce::MemoryBlock& destination) { destination.reset(); }
void DemoJuceFilter::readBankState (const void*, int) {}
void DemoJuceFilter::readPresetState (const void*, int) {}
