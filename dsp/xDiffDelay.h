#pragma once

#include "xAllPassDiffuser.h"
#include "xDelay.h"

/** All-pass diffuser on a whole-sample delay line: a line of D samples gives
    a loop of D + 1 samples. Used by the early field. */
class xDiffDelay final : public xAllPassDiffuser<xDelay>
{
};
