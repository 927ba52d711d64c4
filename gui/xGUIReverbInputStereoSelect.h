#pragma once

#include "xGUIImageSwitch.h"

/** The stereo input switch: a faint square when off, the square with a
    brighter centre when on. 10 × 10 pixels, showing one 10-pixel frame of
    stereoSwitchImage. Message thread only. */
class xGUIReverbInputStereoSelect : public xGUIImageSwitch
{
public:
    xGUIReverbInputStereoSelect();
    ~xGUIReverbInputStereoSelect() override;

private:
    JUCE_DECLARE_NON_COPYABLE (xGUIReverbInputStereoSelect)
};
