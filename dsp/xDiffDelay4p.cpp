#include "xDiffDelay4p.h"

xDiffDelay4p::xDiffDelay4p()
    : delay (std::make_unique<xDelay4p>()),
      shelf (std::make_unique<xShelf>())
{
}

xDiffDelay4p::~xDiffDelay4p()
{
    delay.reset();
    shelf.reset();
}
