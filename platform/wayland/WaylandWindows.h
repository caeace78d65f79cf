// Other programs' windows on a Wayland compositor that offers zwlr_foreign_toplevel_manager_v1
// (sway, Hyprland, labwc, river, Wayfire): the activated toplevel and its title, for the activity
// sampler. The client has its own connection to the compositor, apart from Qt's, read from Qt's
// event loop. Titles of other programs cannot be changed on Wayland: canSetTitles() is false.
#pragma once

#include <memory>

#include "platform/CodePage.h"
#include "platform/ForeignWindows.h"

namespace tw::platform {

// The back end on the compositor named by WAYLAND_DISPLAY, or null when there is no compositor or
// it offers no foreign-toplevel manager (GNOME, KDE Plasma). The code page converts titles to the
// ANSI bytes that cross the interface; it must outlive the returned object. Needs a Qt event loop.
std::unique_ptr<ForeignWindows> CreateWaylandWindows(const CodePage& codePage);

} // namespace tw::platform
