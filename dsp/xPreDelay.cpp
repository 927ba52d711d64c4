#include "xPreDelay.h"

void xPreDelay::initTime() noexcept
{
    time = 0.006f;
    updateTargets();
}

void xPreDelay::initSpread() noexcept
{
    spread = -0.32f;
    updateTargets();
}
