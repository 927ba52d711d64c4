#include "xPreDelay.h"

void xPreDelay::initTime() noexcept
{
    time = baseTime;
    updateTargets();
}

void xPreDelay::initSpread() noexcept
{
    spread = baseSpread;
    updateTargets();
}
