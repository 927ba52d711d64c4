#include "AudioFilterEditor.h"

#include "AudioFilterBase.h"

namespace
{
// Often enough for a moving display, rarely enough to cost nothing.
constexpr int hostChangeChecksPerSecond = 30;
}

AudioFilterEditor::AudioFilterEditor (AudioFilterBase* owner)
    : filter (owner)
{
    startTimerHz (hostChangeChecksPerSecond);
}

AudioFilterEditor::~AudioFilterEditor()
{
    if (filter != nullptr)
        filter->editorBeingDeleted (this);
}

void AudioFilterEditor::timerCallback()
{
    if (filter != nullptr)
        filter->announceHostChanges();
}
