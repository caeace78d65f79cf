// ToplevelTracker: the other programs' toplevels as a wlroots compositor announces them through
// zwlr_foreign_toplevel_manager_v1, kept apart from the Wayland wire so that it can be driven by
// hand. Each handle's title and state are double-buffered by the protocol: they take effect at the
// handle's "done" event. Titles are UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "platform/ForeignWindows.h"

namespace tw::platform {

// True when a state event's array (32-bit values in host byte order, as libwayland hands it over)
// holds "activated". Trailing bytes that make no whole value are ignored.
bool StatesHoldActivated(const void* data, std::size_t size);

class ToplevelTracker {
public:
    // A handle is the key the wire gives a toplevel (the proxy's address); window ids are the
    // tracker's own, never 0 and never reused.
    using Handle = std::uintptr_t;

    void added(Handle handle);
    void title(Handle handle, std::string_view utf8);
    void state(Handle handle, const void* data, std::size_t size);
    void done(Handle handle);
    void closed(Handle handle);
    // The manager stopped: every toplevel is forgotten.
    void finished();

    // The toplevel last reported activated, 0 when none is.
    WindowId activeWindow() const { return m_active; }
    bool contains(WindowId w) const;
    // The window's title as of its latest "done"; empty when there is none or no such window.
    std::string title(WindowId w) const;
    std::size_t size() const { return m_toplevels.size(); }

private:
    struct Toplevel {
        WindowId id = 0;
        std::string title;
        std::string pendingTitle;
        bool titlePending = false;
        bool activated = false;
        bool pendingActivated = false;
        bool statePending = false;
    };
    const Toplevel* find(WindowId w) const;

    std::map<Handle, Toplevel> m_toplevels;
    WindowId m_next = 1;
    WindowId m_active = 0;
};

} // namespace tw::platform
