#include "xDelay.h"

xDelay::xDelay (int lengthInSamples)
    : length (lengthInSamples > 0 && lengthInSamples < bufferLength ? lengthInSamples : bufferLength)
    , buffer (std::make_unique<float[]> ((size_t) length))
{
    setDelayTime (defaultDelayTime);
}

xDelay::~xDelay() = default;
