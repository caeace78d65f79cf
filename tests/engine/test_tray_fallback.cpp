// TrayFallback: when the window "Tellwick" stands in for a missing notification area, driven with a
// fake tray host and a fake start-up timer.
#include <gtest/gtest.h>

#include <string>

#include "engine/TrayFallback.h"
#include "tests/fakes/FakeTimer.h"
#include "tests/fakes/FakeTrayHost.h"

namespace tw {
namespace {

// Steps: '+' a tray host starts, '-' it goes away, '=' a notice without a change, 'w' the start-up
// wait is over (if it still runs), 'h' the icon is hidden with "Hide".
struct Case {
    const char* name;
    bool hostAtStart;
    const char* steps;
    int shows;         // how often the window came up
    bool stillWaiting; // the start-up wait runs at the end
};

TEST(TrayFallback, WindowComesWhereNoTrayHostShowsTheIcon) {
    const Case cases[] = {
        {"host from the start: nothing ever", true, "w=", 0, false},
        {"no host: window once the wait is over", false, "w", 1, false},
        {"no host yet: still waiting", false, "", 0, true},
        {"host comes during the wait: no window", false, "+w", 0, false},
        {"host comes during the wait and goes: window at once", false, "+-", 1, false},
        {"host comes during the wait and goes: one window only", false, "+-w", 1, false},
        {"host crashes later", true, "-", 1, false},
        {"same notice twice counts once", true, "--=", 1, false},
        {"icon hidden on purpose: a lost host is not missed", true, "h-", 0, false},
        {"no host at start even with the icon hidden", false, "hw", 1, false},
        {"host comes later, goes again", false, "w+-", 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::FakeTrayHost host(c.hostAtStart);
        fake::FakeTimer wait;
        struct Owner : TrayFallbackOwner {
            bool iconWanted = true;
            int shows = 0;
            bool trayIconWanted() const override { return iconWanted; }
            void showWindowInstead() override { ++shows; }
        } owner;
        bool& iconWanted = owner.iconWanted;
        const int& shows = owner.shows;
        TrayFallback fallback(host, wait, owner);
        fallback.start();
        EXPECT_EQ(fallback.hostPresent(), c.hostAtStart);
        EXPECT_EQ(wait.lastMs, c.hostAtStart ? 0 : TrayFallback::StartWaitMs);
        bool there = c.hostAtStart;
        for (const char* s = c.steps; *s != '\0'; ++s) {
            switch (*s) {
            case '+':
                host.set(there = true);
                break;
            case '-':
                host.set(there = false);
                break;
            case '=':
                host.set(there);
                break;
            case 'w':
                wait.fire();
                break;
            case 'h':
                iconWanted = false;
                break;
            }
        }
        EXPECT_EQ(shows, c.shows);
        EXPECT_EQ(fallback.waiting(), c.stillWaiting);
        EXPECT_EQ(fallback.hostPresent(), there);
    }
}

} // namespace
} // namespace tw
