#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

class AudioFilterBase;
class AudioFilterEditor;

/** The window that holds a filter's editor inside the host's plug-in window.
    It owns the editor, takes the editor's size, reports size changes to the
    adapter, and keeps the host idling while a mouse button is held (some
    hosts stop their own idle calls during a drag). Message thread only.

    Unless setScale is called the editor is shown at its own size, as the
    VST 2 adapter has always shown it. After setScale the editor keeps its
    own coordinates and is drawn through a transform at the scale the host
    asked for (or the desktop's), so its text, lines and pictures are drawn
    at that scale, mouse positions map back exactly, and sizes are reported
    in the window system's pixels: what the host is told is what is drawn. */
class EditorCompWrapper : public juce::Component, private juce::ComponentListener, private juce::Timer
{
public:
    /** Called with the window's new width and height: the editor's own
        size until setScale, then the size in window-system pixels. */
    std::function<void (int, int)> onEditorResized;
    /** Called at most every 20 ms while a mouse button is down. */
    std::function<void()> onIdleWhileMouseDown;

    explicit EditorCompWrapper (AudioFilterEditor* editorToOwn);
    /** Hides the window before it goes, and deletes the editor, which makes
        the filter forget it. */
    ~EditorCompWrapper() override;

    /** A window around the filter's editor, made now if it is not open; null
        when the filter has no editor. */
    static std::unique_ptr<EditorCompWrapper> open (AudioFilterBase& filter);

    /** Shows the wrapper as a child of the host's native window (an X11
        window id on Linux). */
    void attachToHostWindow (void* nativeParent);

    AudioFilterEditor* getEditor() const noexcept { return editor.get(); }

    /** Shows the editor at scale times its own size, limited by the
        editor's scaleFor; 0 or less follows the desktop's scale. The
        window's size becomes round (editor size × scale) window-system
        pixels; onEditorResized hears it if it changed. */
    void setScale (double scale);
    /** The scale the editor is drawn at: the host's, or the desktop's. */
    double getScale() const;
    /** The window's size in window-system pixels: what the host is told. */
    juce::Point<int> getHostSize() const;

    /** Nothing of its own shows at the editor's size; at a scale whose size
        is not whole pixels, the part row or column the editor leaves is
        filled black. */
    void paint (juce::Graphics&) override;

private:
    void componentMovedOrResized (juce::Component&, bool wasMoved, bool wasResized) override;
    void timerCallback() override;
    /** The desktop's scale for this window: window-system pixels per
        component pixel. */
    double platformScale() const;
    /** Sizes the window and the editor's transform for the scale; tells
        onEditorResized when the host size changed. */
    void layOut();

    std::unique_ptr<AudioFilterEditor> editor;
    bool insideIdle = false;
    bool scaled = false;
    double requestedScale = 0.0; // 0: none from the host
    juce::Point<int> hostSize;

    JUCE_DECLARE_NON_COPYABLE (EditorCompWrapper)
};
