// The start-up check for a graphical desktop session (see GraphicalSession.h).
#include "shell/GraphicalSession.h"

#include <cstdio>
#include <cstdlib>

#ifndef _WIN32
#include <QDir>
#include <QLibraryInfo>
#include <QStringList>
#include <wayland-client.h>
#include <xcb/xcb.h>
#endif

namespace tw {

namespace {
bool set(const char* value) {
    return value != nullptr && *value != '\0';
}
} // namespace

std::optional<std::string> MissingGraphicalSession(const SessionProbes& probes) {
    if (set(probes.getenv("QT_QPA_PLATFORM")))
        return std::nullopt;
    const char* wayland = probes.getenv("WAYLAND_DISPLAY");
    const char* display = probes.getenv("DISPLAY");
    std::optional<std::string> waylandProblem;
    if (set(wayland)) {
        if (!probes.canConnectWayland())
            waylandProblem = "cannot connect to the Wayland display \"" + std::string(wayland) + "\"";
        else if (!probes.hasWaylandPlugin())
            waylandProblem = "Qt's Wayland platform plugin is missing (package qt6-wayland)";
        else
            return std::nullopt;
    }
    // Without Wayland Qt takes the X display.
    if (!set(display)) {
        if (waylandProblem)
            return "Tellwick needs a graphical desktop session: " + *waylandProblem + ", and DISPLAY is not set.";
        return std::string("Tellwick needs a graphical desktop session: neither DISPLAY nor WAYLAND_DISPLAY is set.");
    }
    if (!probes.canConnectX11())
        return "Tellwick needs a graphical desktop session: " + (waylandProblem ? *waylandProblem + ", and " : "") +
               "cannot connect to the X display \"" + std::string(display) + "\".";
    return std::nullopt;
}

bool RequireGraphicalSession() {
#ifdef _WIN32
    return true;
#else
    SessionProbes probes;
    probes.getenv = [](const char* name) { return std::getenv(name); };
    probes.canConnectX11 = [] {
        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        const bool ok = xcb_connection_has_error(c) == 0;
        xcb_disconnect(c);
        return ok;
    };
    probes.canConnectWayland = [] {
        // A socket handed over by the compositor (WAYLAND_SOCKET) can be used once only: leave it to Qt.
        if (set(std::getenv("WAYLAND_SOCKET")))
            return true;
        wl_display* d = wl_display_connect(nullptr);
        if (d != nullptr)
            wl_display_disconnect(d);
        return d != nullptr;
    };
    probes.hasWaylandPlugin = [] {
        // Where Qt looks for platform plugins: its own folder and QT_PLUGIN_PATH.
        QStringList roots = {QLibraryInfo::path(QLibraryInfo::PluginsPath)};
        roots += qEnvironmentVariable("QT_PLUGIN_PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
        for (const QString& root : roots)
            if (!QDir(root + QStringLiteral("/platforms"))
                     .entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files)
                     .isEmpty())
                return true;
        return false;
    };
    const auto missing = MissingGraphicalSession(probes);
    if (!missing)
        return true;
    std::fprintf(stderr, "%s\n", missing->c_str());
    return false;
#endif
}

} // namespace tw
