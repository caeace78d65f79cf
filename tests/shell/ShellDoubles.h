// Test doubles for the shell's tests: help, hot key, desktop, tray logic, and a file system that
// records the order of its writes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Help.h"
#include "platform/fake/FakeFileSystem.h"
#include "platform/fake/RecordingHelp.h"
#include "shell/Unit1.h"

namespace tw::test {

class FakeHotKey : public platform::GlobalHotKey {
public:
    bool refuse = false;
    int registrations = 0;
    int unregistrations = 0;
    std::function<void()> pressed;
    bool registerHotKey(std::function<void()> onPressed) override {
        ++registrations;
        if (refuse)
            return false;
        pressed = std::move(onPressed);
        return true;
    }
    void unregisterHotKey() override {
        ++unregistrations;
        pressed = nullptr;
    }
};

class FakeDesktop : public platform::DesktopGeometry {
public:
    std::optional<platform::Rect> panel;
    platform::Rect area{0, 0, 1280, 768};
    std::optional<platform::Rect> trayPanelRect() override { return panel; }
    platform::Rect workArea() override { return area; }
};

// Records the calls, in order, into a log shared with the seams.
class RecordingTray : public TrayLogic {
public:
    explicit RecordingTray(std::vector<std::string>& log) : m_log(log) {}
    void Check_Ikon() override { m_log.push_back("Check_Ikon"); }
    void Icon_Tray_Hide() override { m_log.push_back("Icon_Tray_Hide"); }
    void RxTrayIcon1Click() override { m_log.push_back("RxTrayIcon1Click"); }
    void Flash_TimerTimer() override { m_log.push_back("Flash_TimerTimer"); }

private:
    std::vector<std::string>& m_log;
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
