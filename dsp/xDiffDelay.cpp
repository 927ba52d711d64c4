#include "xDiffDelay.h"

xDiffDelay::xDiffDelay()
    : delay (std::make_unique<xDelay>()),
      shelf (std::make_unique<xShelf>())
{
}

xDiffDelay::~xDiffDelay()
{
    delay.reset();
    shelf.reset();
}
