#pragma once

// The test host's side of an editor in a real X11 window: the dlopen host of
// the module tests plus the host window of lumidor-host.
#include "TestHost.h"
#include "X11HostWindow.h"

/** Gives the plug-in's editor idle time in the window, for about ms. */
inline void idleEditor (X11HostWindow& window, AEffect* e, int ms)
{
    window.idle ([e] { dispatch (e, effEditIdle); }, ms);
}
