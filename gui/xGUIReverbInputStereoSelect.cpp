#include "xGUIReverbInputStereoSelect.h"

#include "ImageResources.h"

xGUIReverbInputStereoSelect::xGUIReverbInputStereoSelect()
    : xGUIImageSwitch (images::stereoSwitchImage, images::stereoSwitchImageSize, 10, 10, 10)
{
}

xGUIReverbInputStereoSelect::~xGUIReverbInputStereoSelect() = default;
