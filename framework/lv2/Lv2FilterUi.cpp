#include "Lv2FilterUi.h"

#include "EditorCompWrapper.h"
#include "PluginModule.h"

#include <lv2/atom/atom.h>

#include <cstring>
#include <stdexcept>

namespace
{
constexpr uint32_t floatProtocol = 0; // a port event's format 0: one float

Lv2FilterUi* uiOf (LV2UI_Handle handle) noexcept { return static_cast<Lv2FilterUi*> (handle); }

const void* findFeature (const LV2_Feature* const* features, const char* uri) noexcept
{
    for (auto* const* f = features; f != nullptr && *f != nullptr; ++f)
        if (std::strcmp ((*f)->URI, uri) == 0)
            return (*f)->data;
    return nullptr;
}

/** A float option under key, or 0 when the options hold none. */
float findFloatOption (const LV2_Options_Option* options, LV2_URID key, LV2_URID floatType) noexcept
{
    if (key == 0)
        return 0.0f;
    for (auto* o = options; o != nullptr && o->key != 0; ++o)
        if (o->key == key && o->type == floatType && o->size == sizeof (float) && o->value != nullptr)
        {
            float value;
            std::memcpy (&value, o->value, sizeof (float));
            return value;
        }
    return 0.0f;
}

LV2UI_Handle instantiateCallback (const LV2UI_Descriptor* descriptor, const char*, const char*,
                                  LV2UI_Write_Function writeFunction, LV2UI_Controller controller, LV2UI_Widget* widget,
                                  const LV2_Feature* const* features)
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

        // The host's scale comes as an option; its key is known only
        // through the host's URID map.
        LV2_URID scaleKey = 0, floatType = 0;
        if (auto* map = static_cast<const LV2_URID_Map*> (findFeature (features, LV2_URID__map));
            map != nullptr && map->map != nullptr)
        {
            scaleKey = map->map (map->handle, LV2_UI__scaleFactor);
            floatType = map->map (map->handle, LV2_ATOM__Float);
        }
        auto* options = static_cast<const LV2_Options_Option*> (findFeature (features, LV2_OPTIONS__options));
        const double scale = findFloatOption (options, scaleKey, floatType);

        auto* ui = new Lv2FilterUi (description, writeFunction, controller, parent, resize, scale);
        ui->scaleFactorKey = scaleKey;
        ui->floatType = floatType;
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

uint32_t getOptionsCallback (LV2_Handle h, LV2_Options_Option* options)
{
    auto& ui = *uiOf (h);
    uint32_t status = LV2_OPTIONS_SUCCESS;
    for (auto* o = options; o != nullptr && o->key != 0; ++o)
    {
        if (o->key == ui.scaleFactorKey && ui.scaleFactorKey != 0)
        {
            ui.reportedScale = (float) ui.getScale();
            o->size = sizeof (float);
            o->type = ui.floatType;
            o->value = &ui.reportedScale;
        }
        else
            status |= LV2_OPTIONS_ERR_UNKNOWN;
    }
    return status;
}

uint32_t setOptionsCallback (LV2_Handle h, const LV2_Options_Option* options)
{
    auto& ui = *uiOf (h);
    uint32_t status = LV2_OPTIONS_SUCCESS;
    for (auto* o = options; o != nullptr && o->key != 0; ++o)
    {
        if (o->key != ui.scaleFactorKey || ui.scaleFactorKey == 0)
            status |= LV2_OPTIONS_ERR_UNKNOWN;
        else if (o->type != ui.floatType || o->size != sizeof (float) || o->value == nullptr)
            status |= LV2_OPTIONS_ERR_BAD_VALUE;
        else
        {
            float value;
            std::memcpy (&value, o->value, sizeof (float));
            if (value > 0.0f)
                ui.setScale (value);
            else
                status |= LV2_OPTIONS_ERR_BAD_VALUE;
        }
    }
    return status;
}

const LV2_Options_Interface optionsInterface { getOptionsCallback, setOptionsCallback };

const void* extensionDataCallback (const char* uri)
{
    if (std::strcmp (uri, LV2_UI__idleInterface) == 0)
        return &idleInterface;
    if (std::strcmp (uri, LV2_OPTIONS__interface) == 0)
        return &optionsInterface;
    return nullptr;
}
}

Lv2UiDescription makeLv2UiDescription (const PluginDescription& plugin) noexcept
{
    return { { plugin.identity.lv2UiUri, instantiateCallback, cleanupCallback, portEventCallback,
               extensionDataCallback },
             plugin };
}

//==============================================================================
Lv2FilterUi::Lv2FilterUi (const Lv2UiDescription& d, LV2UI_Write_Function write, LV2UI_Controller c, void* parentWindow,
                          const LV2UI_Resize* resize, double scale)
    : description (d)
    , writeFunction (write)
    , controller (c)
    , filter (d.plugin.makeFilter, this)
{
    window = EditorCompWrapper::open (*filter);
    if (window == nullptr)
        throw std::runtime_error ("no editor");

    window->setScale (scale);
    if (resize != nullptr && resize->ui_resize != nullptr)
    {
        const auto size = window->getHostSize();
        resize->ui_resize (resize->handle, size.x, size.y);
        window->onEditorResized = [resize] (int w, int h)
        {
            resize->ui_resize (resize->handle, w, h);
        };
    }
    window->attachToHostWindow (parentWindow);
}

void Lv2FilterUi::setScale (double scale) { window->setScale (scale); }

double Lv2FilterUi::getScale() const { return window->getScale(); }

Lv2FilterUi::~Lv2FilterUi() = default;

LV2UI_Widget Lv2FilterUi::getWidget() const noexcept { return window != nullptr ? window->getWindowHandle() : nullptr; }

void Lv2FilterUi::portEvent (uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer)
{
    if (format != floatProtocol || bufferSize != sizeof (float) || buffer == nullptr
        || port >= (uint32_t) filter->parameterCount())
        return;

    float value;
    std::memcpy (&value, buffer, sizeof (float));
    filter->setParameterValue ((int) port, description.plugin.fromUnit ((int) port, value));
}

int Lv2FilterUi::idle()
{
    PluginModule::idleEditors();
    return 0;
}

void Lv2FilterUi::setParameterFromEditor (AudioFilterBase& f, int index, float value)
{
    f.setParameterValue (index, value);
    if (writeFunction != nullptr && index >= 0 && index < f.parameterCount())
    {
        const float portValue = description.plugin.toUnit (index, value);
        writeFunction (controller, (uint32_t) index, sizeof (float), floatProtocol, &portValue);
    }
}
