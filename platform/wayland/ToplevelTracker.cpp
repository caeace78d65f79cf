// ToplevelTracker: the double-buffered title and activated state of each announced toplevel.
#include "platform/wayland/ToplevelTracker.h"

#include <cstring>

namespace tw::platform {

namespace {
constexpr std::uint32_t StateActivated = 2; // zwlr_foreign_toplevel_handle_v1.state.activated
}

bool StatesHoldActivated(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t at = 0; bytes != nullptr && at + sizeof(std::uint32_t) <= size; at += sizeof(std::uint32_t)) {
        std::uint32_t value = 0;
        std::memcpy(&value, bytes + at, sizeof value);
        if (value == StateActivated)
            return true;
    }
    return false;
}

void ToplevelTracker::added(Handle handle) {
    Toplevel t;
    t.id = m_next++;
    m_toplevels[handle] = t;
}

void ToplevelTracker::title(Handle handle, std::string_view utf8) {
    const auto it = m_toplevels.find(handle);
    if (it == m_toplevels.end())
        return;
    it->second.pendingTitle.assign(utf8);
    it->second.titlePending = true;
}

void ToplevelTracker::state(Handle handle, const void* data, std::size_t size) {
    const auto it = m_toplevels.find(handle);
    if (it == m_toplevels.end())
        return;
    it->second.pendingActivated = StatesHoldActivated(data, size);
    it->second.statePending = true;
}

void ToplevelTracker::done(Handle handle) {
    const auto it = m_toplevels.find(handle);
    if (it == m_toplevels.end())
        return;
    Toplevel& t = it->second;
    if (t.titlePending)
        t.title = std::move(t.pendingTitle);
    if (t.statePending)
        t.activated = t.pendingActivated;
    t.pendingTitle.clear();
    t.titlePending = t.statePending = false;
    // One toplevel is in front: the latest to report itself activated.
    if (t.activated)
        m_active = t.id;
    else if (m_active == t.id)
        m_active = 0;
}

void ToplevelTracker::closed(Handle handle) {
    const auto it = m_toplevels.find(handle);
    if (it == m_toplevels.end())
        return;
    if (m_active == it->second.id)
        m_active = 0;
    m_toplevels.erase(it);
}

void ToplevelTracker::finished() {
    m_toplevels.clear();
    m_active = 0;
}

const ToplevelTracker::Toplevel* ToplevelTracker::find(WindowId w) const {
    if (w == 0)
        return nullptr;
    for (const auto& [handle, t] : m_toplevels)
        if (t.id == w)
            return &t;
    return nullptr;
}

bool ToplevelTracker::contains(WindowId w) const {
    return find(w) != nullptr;
}

std::string ToplevelTracker::title(WindowId w) const {
    const Toplevel* t = find(w);
    return t != nullptr ? t->title : std::string();
}

} // namespace tw::platform
