// WaylandWindows: the wire side of the foreign-toplevel client. libwayland's events go straight to
// a ToplevelTracker; the connection's socket is read whenever Qt's event loop sees data on it, and
// once more before each answer, so the sampler always sees the compositor's latest state.
#include "platform/wayland/WaylandWindows.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cstring>
#include <poll.h>
#include <vector>
#include <wayland-client.h>

#include "platform/wayland/ToplevelTracker.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace tw::platform {

namespace {

constexpr std::uint32_t ManagerVersion = 3; // the version this client knows

class WaylandWindows : public ForeignWindows {
public:
    WaylandWindows(const CodePage& codePage, wl_display* display) : m_codePage(codePage), m_display(display) {}

    ~WaylandWindows() override {
        m_notifier.reset();
        for (zwlr_foreign_toplevel_handle_v1* h : m_handles)
            zwlr_foreign_toplevel_handle_v1_destroy(h);
        if (m_manager != nullptr)
            zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
        if (m_registry != nullptr)
            wl_registry_destroy(m_registry);
        wl_display_disconnect(m_display);
    }

    WaylandWindows(const WaylandWindows&) = delete;
    WaylandWindows& operator=(const WaylandWindows&) = delete;

    // Binds the manager and reads the toplevels that exist; false when the compositor offers none.
    bool start() {
        m_registry = wl_display_get_registry(m_display);
        wl_registry_add_listener(m_registry, &RegistryListener, this);
        if (wl_display_roundtrip(m_display) < 0 || m_manager == nullptr)
            return false;
        if (wl_display_roundtrip(m_display) < 0)
            return false;
        m_notifier = std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { readEvents(); });
        return true;
    }

    WindowId foregroundWindow() override {
        readEvents();
        return m_tracker.activeWindow();
    }
    WindowId desktopWindow() override { return 0; }
    bool isVisible(WindowId w) override { return m_tracker.contains(w); }
    WindowId owner(WindowId) override { return 0; }
    WindowId parent(WindowId) override { return 0; }

    int getTitle(WindowId w, char* buffer, int bufferSize) override {
        if (buffer == nullptr || bufferSize <= 0)
            return 0;
        const std::string ansi = m_codePage.fromUtf8(m_tracker.title(w));
        const int n = std::min(static_cast<int>(ansi.size()), bufferSize - 1);
        std::memcpy(buffer, ansi.data(), static_cast<std::size_t>(n));
        buffer[n] = '\0';
        return n;
    }
    int getTitleLength(WindowId w) override { return static_cast<int>(m_codePage.fromUtf8(m_tracker.title(w)).size()); }

    bool setTitle(WindowId, const char*) override { return false; }
    std::unique_ptr<TitleSnapshot> snapshotTitle(WindowId) override { return nullptr; }
    bool restoreTitle(WindowId, const TitleSnapshot&) override { return false; }
    bool canSetTitles() const override { return false; }

private:
    // Reads what has arrived without blocking and dispatches it. A broken connection (the compositor
    // ended) leaves no windows and is not read again.
    void readEvents() {
        if (m_broken)
            return;
        while (wl_display_prepare_read(m_display) != 0)
            wl_display_dispatch_pending(m_display);
        wl_display_flush(m_display);
        pollfd p{wl_display_get_fd(m_display), POLLIN, 0};
        if (poll(&p, 1, 0) > 0)
            wl_display_read_events(m_display);
        else
            wl_display_cancel_read(m_display);
        wl_display_dispatch_pending(m_display);
        if (wl_display_get_error(m_display) != 0) {
            m_broken = true;
            m_tracker.finished();
            if (m_notifier)
                m_notifier->setEnabled(false);
        }
    }

    static WaylandWindows* self(void* data) { return static_cast<WaylandWindows*>(data); }
    static ToplevelTracker::Handle key(zwlr_foreign_toplevel_handle_v1* h) {
        return reinterpret_cast<ToplevelTracker::Handle>(h);
    }

    static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version) {
        WaylandWindows* w = self(data);
        if (w->m_manager != nullptr || std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) != 0)
            return;
        w->m_manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(wl_registry_bind(
            registry, name, &zwlr_foreign_toplevel_manager_v1_interface, std::min(version, ManagerVersion)));
        zwlr_foreign_toplevel_manager_v1_add_listener(w->m_manager, &ManagerListener, w);
    }
    static void globalRemove(void*, wl_registry*, std::uint32_t) {}

    static void toplevel(void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* h) {
        WaylandWindows* w = self(data);
        w->m_handles.push_back(h);
        w->m_tracker.added(key(h));
        zwlr_foreign_toplevel_handle_v1_add_listener(h, &HandleListener, w);
    }
    static void finished(void* data, zwlr_foreign_toplevel_manager_v1* manager) {
        WaylandWindows* w = self(data);
        w->m_tracker.finished();
        zwlr_foreign_toplevel_manager_v1_destroy(manager);
        w->m_manager = nullptr;
    }

    static void title(void* data, zwlr_foreign_toplevel_handle_v1* h, const char* text) {
        self(data)->m_tracker.title(key(h), text != nullptr ? text : "");
    }
    static void appId(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}
    static void outputEnter(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void outputLeave(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void state(void* data, zwlr_foreign_toplevel_handle_v1* h, wl_array* states) {
        self(data)->m_tracker.state(key(h), states != nullptr ? states->data : nullptr,
                                    states != nullptr ? states->size : 0);
    }
    static void done(void* data, zwlr_foreign_toplevel_handle_v1* h) { self(data)->m_tracker.done(key(h)); }
    static void closed(void* data, zwlr_foreign_toplevel_handle_v1* h) {
        WaylandWindows* w = self(data);
        w->m_tracker.closed(key(h));
        std::erase(w->m_handles, h);
        zwlr_foreign_toplevel_handle_v1_destroy(h);
    }
    static void parentOf(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

    static constexpr wl_registry_listener RegistryListener{global, globalRemove};
    static constexpr zwlr_foreign_toplevel_manager_v1_listener ManagerListener{toplevel, finished};
    static constexpr zwlr_foreign_toplevel_handle_v1_listener HandleListener{title, appId, outputEnter, outputLeave,
                                                                             state, done,  closed,      parentOf};

    const CodePage& m_codePage;
    wl_display* m_display;
    wl_registry* m_registry = nullptr;
    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    std::vector<zwlr_foreign_toplevel_handle_v1*> m_handles;
    ToplevelTracker m_tracker;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_broken = false;
};

} // namespace

std::unique_ptr<ForeignWindows> CreateWaylandWindows(const CodePage& codePage) {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return nullptr;
    auto windows = std::make_unique<WaylandWindows>(codePage, display);
    if (!windows->start())
        return nullptr;
    return windows;
}

} // namespace tw::platform
