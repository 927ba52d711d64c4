#include "xGUIReverbInputSelect.h"

#include "ImageResources.h"

xGUIReverbInputSelect::xGUIReverbInputSelect()
    : xGUIImageSwitch (images::inputSwitchImage, images::inputSwitchImageSize, 22, 19, 19,
                       { { images::inputSwitchImage2x, images::inputSwitchImage2xSize },
                         { images::inputSwitchImage3x, images::inputSwitchImage3xSize } })
{
}

xGUIReverbInputSelect::~xGUIReverbInputSelect() = default;
