// The start-up check for a graphical session: which environments let Qt start, and the one line
// given where none would (Qt would abort instead).
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "shell/GraphicalSession.h"

namespace {

struct Case {
    const char* name;
    std::map<std::string, std::string> env;
    bool x11 = false;     // the X display answers
    bool wayland = false; // the compositor answers
    bool plugin = false;  // Qt's Wayland plugin is installed
    const char* says;     // nullptr: the session can be used; else a part of the message
};

} // namespace

TEST(GraphicalSession, WhenQtCanStart) {
    const Case cases[] = {
        {"explicit platform", {{"QT_QPA_PLATFORM", "offscreen"}}, false, false, false, nullptr},
        {"wayland with its plugin", {{"WAYLAND_DISPLAY", "wayland-0"}}, false, true, true, nullptr},
        {"wayland without the plugin falls back on X",
         {{"WAYLAND_DISPLAY", "w"}, {"DISPLAY", ":0"}},
         true,
         true,
         false,
         nullptr},
        {"x11", {{"DISPLAY", ":0"}}, true, false, false, nullptr},
        {"nothing set", {}, true, true, true, "neither DISPLAY nor WAYLAND_DISPLAY is set"},
        {"wayland without the plugin, no X", {{"WAYLAND_DISPLAY", "w"}}, false, true, false, "package qt6-wayland"},
        {"dead wayland socket, no X",
         {{"WAYLAND_DISPLAY", "/run/w"}},
         false,
         false,
         true,
         "cannot connect to the Wayland display \"/run/w\", and DISPLAY is not set"},
        {"dead wayland and dead X",
         {{"WAYLAND_DISPLAY", "w"}, {"DISPLAY", ":5"}},
         false,
         false,
         true,
         "cannot connect to the Wayland display \"w\", and cannot connect to the X display \":5\""},
        {"dead X", {{"DISPLAY", ":5"}}, false, true, true, "cannot connect to the X display \":5\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tw::SessionProbes probes;
        probes.getenv = [&](const char* n) {
            const auto it = c.env.find(n);
            return it != c.env.end() ? it->second.c_str() : nullptr;
        };
        probes.canConnectX11 = [&] { return c.x11; };
        probes.canConnectWayland = [&] { return c.wayland; };
        probes.hasWaylandPlugin = [&] { return c.plugin; };
        const auto missing = tw::MissingGraphicalSession(probes);
        if (c.says == nullptr) {
            EXPECT_FALSE(missing) << *missing;
        } else {
            ASSERT_TRUE(missing);
            EXPECT_NE(missing->find(c.says), std::string::npos) << *missing;
            EXPECT_EQ(missing->rfind("Tellwick needs a graphical desktop session: ", 0), 0u);
            EXPECT_EQ(missing->find('\n'), std::string::npos);
        }
    }
}
