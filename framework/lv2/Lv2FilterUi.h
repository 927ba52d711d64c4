#pragma once

#include "AudioFilterBase.h"
#include "FilterInstance.h"
#include "PluginDescription.h"

#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <memory>

class EditorCompWrapper;

/** A plug-in's X11 UI in an LV2 module: its UI descriptor and the plug-in's
    description, whose unit conversions carry values between the control
    ports and the editor's filter. The descriptor comes first, so that the
    layer finds the rest from the descriptor the host hands back to
    instantiate. */
struct Lv2UiDescription
{
    LV2UI_Descriptor descriptor;
    const PluginDescription& plugin;
};

/** Fills a description whose descriptor presents the filter's editor as an
    X11 UI under the plug-in's LV2 UI URI. */
Lv2UiDescription makeLv2UiDescription (const PluginDescription& plugin) noexcept;

/** The filter's editor inside the host's X11 window, driven through port
    events only: the UI keeps a filter of its own as a proxy of the
    plug-in's parameter values. A port event sets the proxy's value (the
    editor follows through the proxy's change broadcast); an edit in the
    editor goes to the host through its write function, as a control port
    value, and reaches the plug-in as the host passes port values on.

    The editor is drawn at the host's ui:scaleFactor, given as an option at
    instantiation or later through the options interface, and at the
    desktop's scale while the host gives none; the host hears every size
    through ui:resize, in the window system's pixels.

    The host's GUI thread, which makes every UI call, serves as the
    framework's message thread; the host's idle calls deliver its messages. */
class Lv2FilterUi : private AudioFilterHost
{
public:
    /** scale: the host's ui:scaleFactor, 0 when it gave none. */
    Lv2FilterUi (const Lv2UiDescription& description, LV2UI_Write_Function writeFunction, LV2UI_Controller controller,
                 void* parentWindow, const LV2UI_Resize* resize, double scale);
    ~Lv2FilterUi() override;

    Lv2FilterUi (const Lv2FilterUi&) = delete;
    Lv2FilterUi& operator= (const Lv2FilterUi&) = delete;

    /** The X11 window id of the editor's window. */
    LV2UI_Widget getWidget() const noexcept;

    void portEvent (uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer);
    /** Delivers the framework's messages; returns 0 (the UI never asks to
        be closed). */
    int idle();

    /** Draws the editor at scale (clamped to 1 to 3) and tells the host the
        new size. */
    void setScale (double scale);
    double getScale() const;

    /** The URIDs the scale option is recognised by, 0 without urid:map. */
    LV2_URID scaleFactorKey = 0;
    LV2_URID floatType = 0;
    /** Where the options interface's get call puts the scale it reports;
        the host reads it before its next call to the UI. */
    float reportedScale = 0.0f;

private:
    void setParameterFromEditor (AudioFilterBase& filter, int index, float value) override;

    const Lv2UiDescription& description;
    LV2UI_Write_Function writeFunction;
    LV2UI_Controller controller;
    FilterInstance filter;
    std::unique_ptr<EditorCompWrapper> window;
};
