#pragma once

#include "xAllPassDiffuser.h"
#include "xDelay4p.h"

/** All-pass diffuser on an interpolated delay line, so its delay can take
    fractional values and glide under modulation: a line of t samples gives a
    loop of t + 1 samples. Used by the late field. */
class xDiffDelay4p final : public xAllPassDiffuser<xDelay4p>
{
};
