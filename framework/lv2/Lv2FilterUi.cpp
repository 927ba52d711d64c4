#include "Lv2FilterUi.h"

#include "EditorCompWrapper.h"
#include "VstModule.h"

#include <cstring>
#include <stdexcept>

namespace
{
constexpr uint32_t floatProtocol = 0; // a port event's format 0: one float

Lv2FilterUi* uiOf (LV2UI_Handle handle) noexcept
{
    return static_cast<Lv2FilterUi*> (handle);
}

const void* findFeature (const LV2_Feature* const* features, const char* uri) noexcept
{
    for (auto* const* f = features; f != nullptr && *f != nullptr; ++f)
        if (std::strcmp ((*f)->URI, uri) == 0)
            return (*f)->data;
    return nullptr;
}

LV2UI_Handle instantiateCallback (const LV2UI_Descriptor* descriptor, const char*, const char*,
                                  LV2UI_Write_Function writeFunction, LV2UI_Controller controller,
                                  LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    // Without the host's window there is nowhere to put the editor.
    auto* parent = const_cast<void*> (findFeature (features, LV2_UI__parent));
    if (parent == nullptr || widget == nullptr)
        return nullptr;

    try
    {
        // The descriptor is the first member of the description.
        const auto& description = *reinterpret_cast<const Lv2UiDescription*> (descriptor);
        auto* resize = static_cast<const LV2UI_Resize*> (findFeature (features, LV2_UI__resize));
        auto* ui = new Lv2FilterUi (description, writeFunction, controller, parent, resize);
        *widget = ui->getWidget();
        return ui;
    }
    catch (...)
    {
        return nullptr;
    }
}

void cleanupCallback (LV2UI_Handle h) { delete uiOf (h); }

void portEventCallback (LV2UI_Handle h, uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer)
{
    uiOf (h)->portEvent (port, bufferSize, format, buffer);
}

int idleCallback (LV2UI_Handle h) { return uiOf (h)->idle(); }

const LV2UI_Idle_Interface idleInterface { idleCallback };

const void* extensionDataCallback (const char* uri)
{
    return std::strcmp (uri, LV2_UI__idleInterface) == 0 ? &idleInterface : nullptr;
}
}

Lv2UiDescription makeLv2UiDescription (const char* uri, Lv2UiDescription::FilterFactory makeFilter,
                                       Lv2UiDescription::PortToFilter portToFilter,
                                       Lv2UiDescription::FilterToPort filterToPort) noexcept
{
    return { { uri, instantiateCallback, cleanupCallback, portEventCallback, extensionDataCallback },
             makeFilter,
             portToFilter,
             filterToPort };
}

//==============================================================================
Lv2FilterUi::Lv2FilterUi (const Lv2UiDescription& d, LV2UI_Write_Function write, LV2UI_Controller c,
                          void* parentWindow, const LV2UI_Resize* resize)
    : description (d), writeFunction (write), controller (c)
{
    VstModule::instanceCreated();
    filter = d.makeFilter();
    filter->setHost (this);

    auto* editor = filter->createEditorIfNeeded();
    if (editor == nullptr)
    {
        filter.reset();
        VstModule::instanceDeleted();
        throw std::runtime_error ("no editor");
    }

    window = std::make_unique<EditorCompWrapper> (editor);
    if (resize != nullptr && resize->ui_resize != nullptr)
    {
        resize->ui_resize (resize->handle, window->getWidth(), window->getHeight());
        window->onEditorResized = [resize] (int w, int h) { resize->ui_resize (resize->handle, w, h); };
    }
    window->attachToHostWindow (parentWindow);
}

Lv2FilterUi::~Lv2FilterUi()
{
    if (window != nullptr)
    {
        window->setVisible (false);
        window.reset(); // deletes the editor, which makes the filter forget it
    }
    filter->setHost (nullptr);
    filter.reset();
    VstModule::instanceDeleted();
}

LV2UI_Widget Lv2FilterUi::getWidget() const noexcept
{
    return window != nullptr ? window->getWindowHandle() : nullptr;
}

void Lv2FilterUi::portEvent (uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer)
{
    if (format != floatProtocol || bufferSize != sizeof (float) || buffer == nullptr
        || port >= (uint32_t) filter->parameterCount())
        return;

    float value;
    std::memcpy (&value, buffer, sizeof (float));
    filter->setParameterValue ((int) port, description.portToFilter ((int) port, value));
}

int Lv2FilterUi::idle()
{
    if (VstModule::deliverPendingMessages())
        for (int i = juce::ComponentPeer::getNumPeers(); --i >= 0;)
            if (auto* peer = juce::ComponentPeer::getPeer (i))
                peer->performAnyPendingRepaintsNow();
    return 0;
}

void Lv2FilterUi::setParameterFromEditor (AudioFilterBase& f, int index, float value)
{
    f.setParameterValue (index, value);
    if (writeFunction != nullptr && index >= 0 && index < f.parameterCount())
    {
        const float portValue = description.filterToPort (index, value);
        writeFunction (controller, (uint32_t) index, sizeof (float), floatProtocol, &portValue);
    }
}
