#pragma once

#include "xGUIImageSwitch.h"

/** The On-Off switch: its caption dim when off and lit on a plate when on.
    44 × 19 pixels, showing one 19-pixel frame of powerSwitchImage.
    Message thread only. */
class xGUIReverbPower : public xGUIImageSwitch
{
public:
    xGUIReverbPower();
    ~xGUIReverbPower() override;

private:
    JUCE_DECLARE_NON_COPYABLE (xGUIReverbPower)
};
