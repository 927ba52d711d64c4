#include "EditorCompWrapper.h"

#include "AudioFilterBase.h"
#include "AudioFilterEditor.h"

#include <cmath>

namespace
{
constexpr int idleIntervalMs = 20; // host idle rate while the mouse is held
}

EditorCompWrapper::EditorCompWrapper (AudioFilterEditor* editorToOwn)
    : editor (editorToOwn)
{
    setOpaque (true);
    setSize (editor->getWidth(), editor->getHeight());
    addAndMakeVisible (editor.get());
    editor->setTopLeftPosition (0, 0);
    editor->addComponentListener (this);
    startTimer (idleIntervalMs);
}

std::unique_ptr<EditorCompWrapper> EditorCompWrapper::open (AudioFilterBase& filter)
{
    auto* editor = filter.createEditorIfNeeded();
    return editor != nullptr ? std::make_unique<EditorCompWrapper> (editor) : nullptr;
}

EditorCompWrapper::~EditorCompWrapper()
{
    setVisible (false);
    stopTimer();
    editor->removeComponentListener (this);
    removeFromDesktop();
    editor.reset();
}

void EditorCompWrapper::attachToHostWindow (void* nativeParent)
{
    addToDesktop (0, nativeParent);
    // The window now has a screen, whose scale may differ from the one
    // guessed before it existed.
    if (scaled)
        layOut();
    setVisible (true);
}

void EditorCompWrapper::paint (juce::Graphics& g)
{
    if (! scaled)
        return;
    // Only what the editor leaves uncovered: filling under it would cost a
    // pass over every repainted pixel.
    const auto area = editor->getLocalBounds().toFloat().transformedBy (editor->getTransform());
    const auto covered =
        juce::Rectangle<int>::leftTopRightBottom ((int) std::ceil (area.getX()), (int) std::ceil (area.getY()),
                                                  (int) std::floor (area.getRight()),
                                                  (int) std::floor (area.getBottom()));
    if (covered.contains (g.getClipBounds()))
        return;
    g.excludeClipRegion (covered);
    g.fillAll (juce::Colours::black);
}

void EditorCompWrapper::setScale (double scale)
{
    scaled = true;
    requestedScale = scale > 0.0 && std::isfinite (scale) ? scale : 0.0;
    layOut();
}

double EditorCompWrapper::platformScale() const
{
    if (auto* peer = getPeer())
        return peer->getPlatformScaleFactor();
    const auto& desktop = juce::Desktop::getInstance();
    if (auto* display = desktop.getDisplays().getPrimaryDisplay())
        return display->scale / (double) desktop.getGlobalScaleFactor();
    return 1.0;
}

double EditorCompWrapper::getScale() const
{
    // JUCE gives a plug-in's windows no scale of their own; should it one
    // day, that is the desktop's scale too.
    return editor->scaleFor (requestedScale, platformScale());
}

juce::Point<int> EditorCompWrapper::getHostSize() const
{
    return scaled ? hostSize : juce::Point<int> (getWidth(), getHeight());
}

void EditorCompWrapper::layOut()
{
    // The window system enlarges the window by its own scale; the editor's
    // transform makes up the rest, so the two together give the scale asked
    // for. With the desktop's scale alone the transform stays the identity.
    const auto platform = platformScale();
    const auto scale = getScale();
    const auto transformScale = scale / platform;
    editor->setTransform (std::abs (transformScale - 1.0) < 1.0e-6
                              ? juce::AffineTransform()
                              : juce::AffineTransform::scale ((float) transformScale));
    // Halves round up, as a host that multiplies the size itself expects.
    setSize ((int) std::lround (editor->getWidth() * transformScale),
             (int) std::lround (editor->getHeight() * transformScale));

    const juce::Point<int> newHostSize ((int) std::lround (getWidth() * platform),
                                        (int) std::lround (getHeight() * platform));
    if (newHostSize == hostSize)
        return;
    hostSize = newHostSize;
    if (onEditorResized)
        onEditorResized (hostSize.x, hostSize.y);
}

void EditorCompWrapper::componentMovedOrResized (juce::Component&, bool, bool wasResized)
{
    if (! wasResized)
        return;

    if (scaled)
    {
        layOut();
        return;
    }

    setSize (editor->getWidth(), editor->getHeight());
    if (onEditorResized)
        onEditorResized (editor->getWidth(), editor->getHeight());
}

void EditorCompWrapper::timerCallback()
{
    if (insideIdle || ! juce::ModifierKeys::currentModifiers.isAnyMouseButtonDown())
        return;

    insideIdle = true;
    if (onIdleWhileMouseDown)
        onIdleWhileMouseDown();
    insideIdle = false;
}
