#include "EditorCompWrapper.h"

#include "AudioFilterEditor.h"

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

EditorCompWrapper::~EditorCompWrapper()
{
    stopTimer();
    editor->removeComponentListener (this);
    removeFromDesktop();
    editor.reset();
}

void EditorCompWrapper::attachToHostWindow (void* nativeParent)
{
    addToDesktop (0, nativeParent);
    setVisible (true);
}

void EditorCompWrapper::componentMovedOrResized (juce::Component&, bool, bool wasResized)
{
    if (! wasResized)
        return;

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
