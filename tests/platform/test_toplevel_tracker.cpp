// ToplevelTracker: the foreign-toplevel events of a wlroots compositor, fed by hand as the wire
// would hand them over, give the window in front and its title only once each "done" commits them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/wayland/ToplevelTracker.h"

using tw::platform::StatesHoldActivated;
using tw::platform::ToplevelTracker;

namespace {

constexpr std::uint32_t Maximized = 0, Minimized = 1, Activated = 2, Fullscreen = 3;

// One protocol event: 'n' new toplevel, 't' title, 's' states, 'd' done, 'c' closed, 'f' finished.
struct Event {
    char kind;
    ToplevelTracker::Handle handle;
    std::string title = {};
    std::vector<std::uint32_t> states = {};
};

void feed(ToplevelTracker& t, const std::vector<Event>& events) {
    for (const Event& e : events) {
        switch (e.kind) {
        case 'n':
            t.added(e.handle);
            break;
        case 't':
            t.title(e.handle, e.title);
            break;
        case 's':
            t.state(e.handle, e.states.data(), e.states.size() * sizeof(std::uint32_t));
            break;
        case 'd':
            t.done(e.handle);
            break;
        case 'c':
            t.closed(e.handle);
            break;
        case 'f':
            t.finished();
            break;
        }
    }
}

} // namespace

TEST(ToplevelTracker, StateArrays) {
    const std::vector<std::uint32_t> active = {Maximized, Activated};
    EXPECT_TRUE(StatesHoldActivated(active.data(), 8));
    EXPECT_FALSE(StatesHoldActivated(active.data(), 7)); // a partial value is no value
    const std::vector<std::uint32_t> other = {Maximized, Minimized, Fullscreen};
    EXPECT_FALSE(StatesHoldActivated(other.data(), 12));
    EXPECT_FALSE(StatesHoldActivated(nullptr, 0));
    unsigned char unaligned[5] = {}; // a value at an odd address
    std::memcpy(unaligned + 1, &Activated, sizeof Activated);
    EXPECT_TRUE(StatesHoldActivated(unaligned + 1, 4));
}

TEST(ToplevelTracker, WindowInFrontAndItsTitle) {
    struct Case {
        const char* name;
        std::vector<Event> events;
        int frontHandle;       // the handle whose window is in front, 0 for none
        std::string title;     // its committed title
        std::size_t toplevels; // how many are known
    };
    const std::vector<Case> cases = {
        {"nothing before done", {{'n', 1}, {'t', 1, "foot"}, {'s', 1, "", {Activated}}}, 0, "", 1},
        {"done commits", {{'n', 1}, {'t', 1, "foot"}, {'s', 1, "", {Activated}}, {'d', 1}}, 1, "foot", 1},
        {"title change waits for done",
         {{'n', 1}, {'t', 1, "old"}, {'s', 1, "", {Activated}}, {'d', 1}, {'t', 1, "new"}},
         1,
         "old",
         1},
        {"a title alone keeps the state",
         {{'n', 1}, {'s', 1, "", {Activated}}, {'d', 1}, {'t', 1, "new"}, {'d', 1}},
         1,
         "new",
         1},
        {"the latest activated is in front",
         {{'n', 1},
          {'n', 2},
          {'t', 1, "a"},
          {'t', 2, "b"},
          {'s', 1, "", {Activated}},
          {'d', 1},
          {'s', 2, "", {Maximized, Activated}},
          {'d', 2},
          {'s', 1, "", {}},
          {'d', 1}},
         2,
         "b",
         2},
        {"deactivated leaves none",
         {{'n', 1}, {'s', 1, "", {Activated}}, {'d', 1}, {'s', 1, "", {Minimized}}, {'d', 1}},
         0,
         "",
         1},
        {"closed leaves none", {{'n', 1}, {'s', 1, "", {Activated}}, {'d', 1}, {'c', 1}}, 0, "", 0},
        {"events for unknown handles are ignored",
         {{'t', 9, "x"}, {'s', 9, "", {Activated}}, {'d', 9}, {'c', 9}},
         0,
         "",
         0},
        {"finished forgets all", {{'n', 1}, {'n', 2}, {'s', 1, "", {Activated}}, {'d', 1}, {'f', 0}}, 0, "", 0},
        {"UTF-8 titles as given",
         {{'n', 1}, {'t', 1, "caf\u00e9 \u20ac"}, {'s', 1, "", {Activated}}, {'d', 1}},
         1,
         "caf\u00e9 \u20ac",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ToplevelTracker fresh;
        feed(fresh, c.events);
        EXPECT_EQ(fresh.size(), c.toplevels);
        const tw::platform::WindowId front = fresh.activeWindow();
        EXPECT_EQ(front != 0, c.frontHandle != 0);
        EXPECT_EQ(fresh.title(front), c.title);
        EXPECT_EQ(fresh.contains(front), front != 0);
    }
}

TEST(ToplevelTracker, IdsAreNeverReused) {
    ToplevelTracker t;
    feed(t, {{'n', 1}, {'s', 1, "", {Activated}}, {'t', 1, "first"}, {'d', 1}});
    const tw::platform::WindowId first = t.activeWindow();
    // The same handle address comes back for a new toplevel after the first closed.
    feed(t, {{'c', 1}, {'n', 1}, {'s', 1, "", {Activated}}, {'t', 1, "second"}, {'d', 1}});
    EXPECT_NE(t.activeWindow(), first);
    EXPECT_FALSE(t.contains(first));
    EXPECT_EQ(t.title(first), "");
    EXPECT_EQ(t.title(t.activeWindow()), "second");
}
