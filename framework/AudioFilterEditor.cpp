#include "AudioFilterEditor.h"

#include "AudioFilterBase.h"

AudioFilterEditor::AudioFilterEditor (AudioFilterBase* owner)
    : filter (owner)
{
}

AudioFilterEditor::~AudioFilterEditor()
{
    if (filter != nullptr)
        filter->editorBeingDeleted (this);
}
