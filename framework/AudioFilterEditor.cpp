#include "AudioFilterEditor.h"

#include "AudioFilterBase.h"
#include "DesktopScale.h"

#include <cmath>

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

double AudioFilterEditor::scaleFor (double hostScale, double windowSystemScale) const
{
    const bool fromHost = hostScale > 0.0 && std::isfinite (hostScale);
    const auto scale = fromHost ? hostScale : windowSystemScale > 1.0 ? windowSystemScale : DesktopScale::read();
    return juce::jlimit (1.0, juce::jmax (1.0, largestScale()), scale);
}
