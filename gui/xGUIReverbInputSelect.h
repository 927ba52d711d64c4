#pragma once

#include "xGUIImageSwitch.h"

/** A left or right input switch: nothing over the background's mark when
    off, faint brackets around it when on. 22 × 19 pixels, showing one
    19-pixel frame of inputSwitchImage (both instances share the cached
    strip). Message thread only. */
class xGUIReverbInputSelect : public xGUIImageSwitch
{
public:
    xGUIReverbInputSelect();
    ~xGUIReverbInputSelect() override;

private:
    JUCE_DECLARE_NON_COPYABLE (xGUIReverbInputSelect)
};
