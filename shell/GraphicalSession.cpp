// The start-up check for a graphical desktop session (see GraphicalSession.h).
#include "shell/GraphicalSession.h"

#include <cstdio>
#include <cstdlib>

#ifndef _WIN32
#include <xcb/xcb.h>
#endif

namespace tw {

namespace {
bool set(const char* value) {
    return value != nullptr && *value != '\0';
}
} // namespace

std::optional<std::string> MissingGraphicalSession(const std::function<const char*(const char*)>& getenv,
                                                   const std::function<bool()>& canConnectX11) {
    if (set(getenv("QT_QPA_PLATFORM")) || set(getenv("WAYLAND_DISPLAY")))
        return std::nullopt;
    const char* display = getenv("DISPLAY");
    if (!set(display))
        return std::string("Tellwick needs a graphical desktop session: neither DISPLAY nor WAYLAND_DISPLAY is set.");
    if (!canConnectX11())
        return "Tellwick needs a graphical desktop session: cannot connect to the X display \"" + std::string(display) +
               "\".";
    return std::nullopt;
}

bool RequireGraphicalSession() {
#ifdef _WIN32
    return true;
#else
    const auto missing = MissingGraphicalSession([](const char* name) { return std::getenv(name); },
                                                 [] {
                                                     xcb_connection_t* c = xcb_connect(nullptr, nullptr);
                                                     const bool ok = xcb_connection_has_error(c) == 0;
                                                     xcb_disconnect(c);
                                                     return ok;
                                                 });
    if (!missing)
        return true;
    std::fprintf(stderr, "%s\n", missing->c_str());
    return false;
#endif
}

} // namespace tw
