#include "xGUIReverbInputSelect.h"

#include "ImageResources.h"

xGUIReverbInputSelect::xGUIReverbInputSelect()
    : xGUIImageSwitch (images::inputSwitchImage, images::inputSwitchImageSize, 22, 19, 19)
{
}

xGUIReverbInputSelect::~xGUIReverbInputSelect() = default;
