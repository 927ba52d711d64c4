#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

class AudioFilterEditor;

/** The window that holds a filter's editor inside the host's plug-in window.
    It owns the editor, takes the editor's size, reports size changes to the
    adapter, and keeps the host idling while a mouse button is held (some
    hosts stop their own idle calls during a drag). Message thread only. */
class EditorCompWrapper : public juce::Component,
                          private juce::ComponentListener,
                          private juce::Timer
{
public:
    /** Called with the editor's new width and height in pixels. */
    std::function<void (int, int)> onEditorResized;
    /** Called at most every 20 ms while a mouse button is down. */
    std::function<void()> onIdleWhileMouseDown;

    explicit EditorCompWrapper (AudioFilterEditor* editorToOwn);
    ~EditorCompWrapper() override;

    /** Shows the wrapper as a child of the host's native window (an X11
        window id on Linux). */
    void attachToHostWindow (void* nativeParent);

    AudioFilterEditor* getEditor() const noexcept { return editor.get(); }

    void paint (juce::Graphics&) override {}

private:
    void componentMovedOrResized (juce::Component&, bool wasMoved, bool wasResized) override;
    void timerCallback() override;

    std::unique_ptr<AudioFilterEditor> editor;
    bool insideIdle = false;

    JUCE_DECLARE_NON_COPYABLE (EditorCompWrapper)
};
