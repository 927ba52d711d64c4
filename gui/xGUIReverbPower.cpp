#include "xGUIReverbPower.h"

#include "ImageResources.h"

xGUIReverbPower::xGUIReverbPower()
    : xGUIImageSwitch (images::powerSwitchImage, images::powerSwitchImageSize, 44, 19, 19)
{
}

xGUIReverbPower::~xGUIReverbPower() = default;
