#include "xDelay.h"

xDelay::xDelay()
    : buffer (std::make_unique<float[]> ((size_t) bufferLength))
{
}

xDelay::~xDelay() = default;
