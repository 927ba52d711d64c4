#include "xGUIReverbInputStereoSelect.h"

#include "ImageResources.h"

xGUIReverbInputStereoSelect::xGUIReverbInputStereoSelect()
    : xGUIImageSwitch (images::stereoSwitchImage, images::stereoSwitchImageSize, 10, 10, 10,
                       { { images::stereoSwitchImage2x, images::stereoSwitchImage2xSize },
                         { images::stereoSwitchImage3x, images::stereoSwitchImage3xSize } })
{
}

xGUIReverbInputStereoSelect::~xGUIReverbInputStereoSelect() = default;
