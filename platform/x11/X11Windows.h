// Other programs' windows on an X11 desktop, through Qt's own X connection: the active window from
// the window manager, visibility, WM_TRANSIENT_FOR owners, and the titles in _NET_WM_NAME and
// WM_NAME. Every request is checked, so a window that closes meanwhile reads as absent and never
// ends the program. Xlib and xcb types stay in the .cpp file.
#pragma once

#include <memory>

#include "platform/CodePage.h"
#include "platform/ForeignWindows.h"

namespace tw::platform {

// The X11 back end on Qt's display, or NoForeignWindows where there is no X11 display (Wayland,
// offscreen). The code page converts titles to and from the
// ANSI bytes that cross the interface; it must outlive the returned object.
std::unique_ptr<ForeignWindows> CreateX11Windows(const CodePage& codePage);

} // namespace tw::platform
