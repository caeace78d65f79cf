// The check, made first thing in main(), that a graphical desktop session can be reached: without
// one Qt aborts with a core dump, so the program says why in one line and ends before it touches
// anything.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tw {

// What the check asks of the machine.
struct SessionProbes {
    std::function<const char*(const char*)> getenv; // an environment variable, nullptr when unset
    std::function<bool()> canConnectX11;            // the X display named by DISPLAY answers
    std::function<bool()> canConnectWayland;        // the compositor named by WAYLAND_DISPLAY answers
    std::function<bool()> hasWaylandPlugin;         // Qt's Wayland platform plugin (qt6-wayland) is installed
};

// Why no graphical session can be used, or nothing when one can. Qt takes Wayland where
// WAYLAND_DISPLAY is set and its plugin is there, else X11. An explicit QT_QPA_PLATFORM is the
// user's choice and is not second-guessed.
std::optional<std::string> MissingGraphicalSession(const SessionProbes& probes);

// Prints the reason to stderr and returns false when there is no usable session.
bool RequireGraphicalSession();

} // namespace tw
