#include "xShelf.h"

xShelf::xShelf()
    : high (std::make_unique<xBiLin1pHS>()),
      low (std::make_unique<xBiLin1pLS>())
{
}

xShelf::~xShelf()
{
    high.reset();
    low.reset();
}
