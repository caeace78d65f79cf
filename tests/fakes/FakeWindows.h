// Other programs' windows in memory: tests create windows with a title, an owner or a parent, bring
// one to the front, and read back every title that was written.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/ForeignWindows.h"
#include "platform/NoBackends.h"

namespace tw::fake {

class FakeWindows : public platform::ForeignWindows {
public:
    struct Window {
        std::string title; // ANSI bytes
        bool visible = true;
        platform::WindowId owner = 0;
        platform::WindowId parent = 0;
        bool failWrites = false;
    };

    static constexpr platform::WindowId Desktop = 1;

    std::map<platform::WindowId, Window> windows;
    platform::WindowId foreground = 0;
    // Every title written through setTitle or restoreTitle, in order, per window.
    std::map<platform::WindowId, std::vector<std::string>> written;

    platform::WindowId add(std::string title, platform::WindowId owner = 0, platform::WindowId parent = 0) {
        const platform::WindowId id = m_next++;
        windows[id] = Window{std::move(title), true, owner, parent, false};
        return id;
    }
    void close(platform::WindowId w) { windows.erase(w); }

    platform::WindowId foregroundWindow() override { return foreground; }
    platform::WindowId desktopWindow() override { return Desktop; }
    bool isVisible(platform::WindowId w) override {
        const Window* win = find(w);
        return win && win->visible;
    }
    platform::WindowId owner(platform::WindowId w) override {
        const Window* win = find(w);
        return win ? win->owner : 0;
    }
    platform::WindowId parent(platform::WindowId w) override {
        const Window* win = find(w);
        if (!win)
            return 0;
        if (win->parent)
            return win->parent;
        return win->owner ? win->owner : Desktop;
    }
    int getTitle(platform::WindowId w, char* buffer, int bufferSize) override {
        const Window* win = find(w);
        if (bufferSize <= 0)
            return 0;
        if (!win) {
            buffer[0] = 0;
            return 0;
        }
        const int n = std::min<int>(static_cast<int>(win->title.size()), bufferSize - 1);
        std::memcpy(buffer, win->title.data(), static_cast<std::size_t>(n));
        buffer[n] = 0;
        return n;
    }
    int getTitleLength(platform::WindowId w) override {
        const Window* win = find(w);
        return win ? static_cast<int>(win->title.size()) : 0;
    }
    bool setTitle(platform::WindowId w, const char* ansiTitle) override {
        Window* win = find(w);
        if (!win || win->failWrites)
            return false;
        win->title = ansiTitle;
        written[w].push_back(win->title);
        return true;
    }

    class Snapshot : public platform::TitleSnapshot {
    public:
        explicit Snapshot(std::string t) : title(std::move(t)) {}
        std::string title;
    };
    std::unique_ptr<platform::TitleSnapshot> snapshotTitle(platform::WindowId w) override {
        const Window* win = find(w);
        if (!win)
            return nullptr;
        return std::make_unique<Snapshot>(win->title);
    }
    bool restoreTitle(platform::WindowId w, const platform::TitleSnapshot& s) override {
        Window* win = find(w);
        if (!win)
            return false;
        win->title = static_cast<const Snapshot&>(s).title;
        written[w].push_back(win->title);
        return true;
    }

private:
    Window* find(platform::WindowId w) {
        auto it = windows.find(w);
        return it == windows.end() ? nullptr : &it->second;
    }
    platform::WindowId m_next = 100;
};

// The windows of a test's services: the fake ones, or NoForeignWindows as on a desktop without access.
inline platform::ForeignWindows& WindowsOrNone(FakeWindows& windows, bool withWindows) {
    static platform::NoForeignWindows none;
    return withWindows ? static_cast<platform::ForeignWindows&>(windows) : none;
}

} // namespace tw::fake
