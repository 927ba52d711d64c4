#include "xGUIReverbPower.h"

#include "ImageResources.h"

xGUIReverbPower::xGUIReverbPower()
    : xGUIImageSwitch (images::powerSwitchImage, images::powerSwitchImageSize, 44, 19, 19,
                       { { images::powerSwitchImage2x, images::powerSwitchImage2xSize },
                         { images::powerSwitchImage3x, images::powerSwitchImage3xSize } })
{
}

xGUIReverbPower::~xGUIReverbPower() = default;
