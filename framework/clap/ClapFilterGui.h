#pragma once

#include "AudioFilterBase.h"
#include "ClapExtensions.h"

#include <clap/ext/gui.h>
#include <clap/ext/timer-support.h>

#include <memory>
#include <vector>

class EditorCompWrapper;

/** A filter's editor embedded in a CLAP host's X11 window. The host's main
    thread drives the framework's message loop through the host's timer (and
    the loop's file descriptors, when the host watches them), so the editor
    paints, hears the filter's change broadcasts and runs its timers while
    it is open. The user cannot resize it: its size is the editor's own
    times the scale, the host's (set_scale) or, until the host gives one,
    the desktop's, in the window system's pixels as CLAP counts them on X11.

    Main thread only, as CLAP calls every gui function. */
class ClapFilterGui
{
public:
    ClapFilterGui (AudioFilterBase& filter, const clap_host_t* host);
    ~ClapFilterGui();

    ClapFilterGui (const ClapFilterGui&) = delete;
    ClapFilterGui& operator= (const ClapFilterGui&) = delete;

    /** Called from the plug-in's init, when CLAP first allows it. */
    void findHostExtensions() noexcept;

    /** Embedded X11 only. */
    static bool isApiSupported (const char* api, bool isFloating) noexcept;
    /** Makes the editor window; false when there is no editor, or the host
        offers neither a timer nor fd watching to drive it. */
    bool create (const char* api, bool isFloating);
    void destroy();
    /** Draws the editor at the host's scale from now on, clamped to 1 to
        3; false for a scale that is not a positive number. The host asks
        for the new size afterwards, so no resize request is made. */
    bool setScale (double scale);
    /** The window's size in the host's pixels: what is drawn. */
    bool getSize (uint32_t& width, uint32_t& height) const noexcept;
    bool setParent (const clap_window_t* window);
    bool show();
    bool hide();

    void onTimer (clap_id timer);
    void onFd (int fd);

private:
    void deliverMessages();
    void watchLoopDescriptors();
    void stopWatching();

    AudioFilterBase& filter;
    const clap_host_t* const host;
    const clap_host_gui_t* hostGui = nullptr;
    const clap_host_timer_support_t* hostTimer = nullptr;
    const clap_host_posix_fd_support_t* hostFd = nullptr;

    std::unique_ptr<EditorCompWrapper> window;
    clap_id timer = CLAP_INVALID_ID;
    std::vector<int> watchedFds;
    double requestedScale = 0.0;
    bool settingScale = false;
};
