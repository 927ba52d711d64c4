#include "ClapFilterGui.h"

#include "EditorCompWrapper.h"
#include "PluginModule.h"

#include <cmath>
#include <cstring>

namespace
{
// How often the host's timer delivers the editor's messages and repaints:
// about the rate of a display.
constexpr uint32_t messagePeriodMs = 16;

template <typename Extension>
const Extension* hostExtension (const clap_host_t* host, const char* id) noexcept
{
    if (host == nullptr || host->get_extension == nullptr)
        return nullptr;
    return static_cast<const Extension*> (host->get_extension (host, id));
}
} // namespace

ClapFilterGui::ClapFilterGui (AudioFilterBase& f, const clap_host_t* h)
    : filter (f)
    , host (h)
{
}

ClapFilterGui::~ClapFilterGui() { destroy(); }

void ClapFilterGui::findHostExtensions() noexcept
{
    hostGui = hostExtension<clap_host_gui_t> (host, CLAP_EXT_GUI);
    hostTimer = hostExtension<clap_host_timer_support_t> (host, CLAP_EXT_TIMER_SUPPORT);
    hostFd = hostExtension<clap_host_posix_fd_support_t> (host, CLAP_EXT_POSIX_FD_SUPPORT);
    if (hostTimer != nullptr && (hostTimer->register_timer == nullptr || hostTimer->unregister_timer == nullptr))
        hostTimer = nullptr;
    if (hostFd != nullptr && (hostFd->register_fd == nullptr || hostFd->unregister_fd == nullptr))
        hostFd = nullptr;
}

bool ClapFilterGui::isApiSupported (const char* api, bool isFloating) noexcept
{
    return api != nullptr && std::strcmp (api, CLAP_WINDOW_API_X11) == 0 && ! isFloating;
}

bool ClapFilterGui::create (const char* api, bool isFloating)
{
    if (window != nullptr || ! isApiSupported (api, isFloating) || (hostTimer == nullptr && hostFd == nullptr))
        return false;

    window = EditorCompWrapper::open (filter);
    if (window == nullptr)
        return false;
    window->setScale (requestedScale);
    if (hostGui != nullptr && hostGui->request_resize != nullptr)
        window->onEditorResized = [this] (int w, int h)
        {
            if (! settingScale)
                hostGui->request_resize (host, (uint32_t) w, (uint32_t) h);
        };

    // With fd watching alone the loop still runs its timers: the framework's
    // timer thread wakes the message queue's descriptor.
    if (hostTimer != nullptr && ! hostTimer->register_timer (host, messagePeriodMs, &timer))
        timer = CLAP_INVALID_ID;
    return true;
}

void ClapFilterGui::destroy()
{
    stopWatching();
    if (timer != CLAP_INVALID_ID)
    {
        hostTimer->unregister_timer (host, timer);
        timer = CLAP_INVALID_ID;
    }
    window.reset();
}

bool ClapFilterGui::setScale (double scale)
{
    if (! (scale > 0.0) || ! std::isfinite (scale))
        return false;
    requestedScale = scale;
    if (window != nullptr)
    {
        const juce::ScopedValueSetter<bool> quiet (settingScale, true);
        window->setScale (scale);
    }
    return true;
}

bool ClapFilterGui::getSize (uint32_t& width, uint32_t& height) const noexcept
{
    if (window == nullptr)
        return false;
    const auto size = window->getHostSize();
    width = (uint32_t) size.x;
    height = (uint32_t) size.y;
    return true;
}

bool ClapFilterGui::setParent (const clap_window_t* parent)
{
    if (window == nullptr || parent == nullptr || parent->api == nullptr
        || std::strcmp (parent->api, CLAP_WINDOW_API_X11) != 0 || parent->x11 == 0)
        return false;

    window->attachToHostWindow ((void*) parent->x11);
    // The window system's connection exists from here on.
    watchLoopDescriptors();
    return true;
}

bool ClapFilterGui::show()
{
    if (window == nullptr)
        return false;
    window->setVisible (true);
    return true;
}

bool ClapFilterGui::hide()
{
    if (window == nullptr)
        return false;
    window->setVisible (false);
    return true;
}

void ClapFilterGui::watchLoopDescriptors()
{
    if (hostFd == nullptr)
        return;
    for (int fd : PluginModule::messageLoopDescriptors())
        if (std::find (watchedFds.begin(), watchedFds.end(), fd) == watchedFds.end()
            && hostFd->register_fd (host, fd, CLAP_POSIX_FD_READ))
            watchedFds.push_back (fd);
}

void ClapFilterGui::stopWatching()
{
    for (int fd : watchedFds)
        hostFd->unregister_fd (host, fd);
    watchedFds.clear();
}

void ClapFilterGui::deliverMessages() { PluginModule::idleEditors(); }

void ClapFilterGui::onTimer (clap_id id)
{
    if (id == timer && window != nullptr)
        deliverMessages();
}

void ClapFilterGui::onFd (int fd)
{
    if (window != nullptr && std::find (watchedFds.begin(), watchedFds.end(), fd) != watchedFds.end())
        deliverMessages();
}
