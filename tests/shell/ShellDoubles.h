// Test doubles for the shell's tests: hot key, desktop, and a file system that records the order
// of its writes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Help.h"
#include "shell/MainWindow.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/RecordingHelp.h"

namespace tw::test {

class FakeHotKey : public platform::GlobalHotKey {
public:
    bool refuse = false;
    int registrations = 0;
    int unregistrations = 0;
    platform::HotKeyListener* listener = nullptr;
    bool registerHotKey(platform::HotKeyListener& l) override {
        ++registrations;
        if (refuse)
            return false;
        listener = &l;
        return true;
    }
    void unregisterHotKey() override {
        ++unregistrations;
        listener = nullptr;
    }
    // A press of Ctrl+F2; false when nobody is registered.
    bool press() {
        if (listener == nullptr)
            return false;
        listener->hotKeyPressed();
        return true;
    }
};

class FakeDesktop : public platform::DesktopGeometry {
public:
    std::optional<platform::Rect> panel;
    platform::Rect area{0, 0, 1280, 768};
    std::optional<platform::Rect> trayPanelRect() override { return panel; }
    platform::Rect workArea() override { return area; }
};

// Remembers which file each successful write went to, in order.
class OrderedFileSystem : public fake::FakeFileSystem {
public:
    std::vector<std::string> order;
    int replaceFile(const std::string& path, const std::vector<std::uint8_t>& data) override {
        const int r = FakeFileSystem::replaceFile(path, data);
        if (r == 0)
            order.push_back(path);
        return r;
    }
};

} // namespace tw::test
