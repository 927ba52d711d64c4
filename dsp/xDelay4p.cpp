#include "xDelay4p.h"

xDelay4p::xDelay4p()
    : buffer (std::make_unique<float[]> ((size_t) (bufferLength + guardSlots)))
{
    updateReadPosition();
}

xDelay4p::~xDelay4p() = default;
