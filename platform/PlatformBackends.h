// The back ends of this platform in one struct, built by one function that each platform defines
// in a source file of its own (platform/x11/LinuxBackends.cpp, platform/win32/WindowsBackends.cpp).
// CMake compiles the one that fits, so the program's start-up makes no platform choice itself.
#pragma once

#include <functional>
#include <memory>

#include "platform/Beeper.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/ForeignWindows.h"
#include "platform/LocalTimeZone.h"
#include "platform/Locale.h"
#include "platform/WallClockAlarm.h"

class QWidget;

namespace tw::platform {

// What the platform needs from the program's main window once it is built.
struct MainWindowHooks {
    QWidget* window = nullptr;        // the hidden main window
    std::function<bool()> saveAll;    // saves both files as "E&xit" does, without asking; false on failure
    std::function<void()> endSession; // saves and ends the program, as at the end of the session
};

// The platform's steps of the start-up, in the order the start-up takes them.
class PlatformStartUp {
public:
    virtual ~PlatformStartUp() = default;
    // Before the main window's FormCreate: the hot key's messages and the end of the session.
    virtual void attachMainWindow(const MainWindowHooks& hooks) = 0;
    // Every window is built: a request to end that came meanwhile is handled now.
    virtual void startUpFinished() = 0;
};

// The back ends that need neither a window nor an application object: enough to read and write the
// reminder files (--add with no copy running).
struct CoreBackends {
    std::unique_ptr<FileSystem> files;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<LocalTimeZone> timeZone;
    std::unique_ptr<Locale> locale;
    std::unique_ptr<CodePage> codePage;
};
CoreBackends MakeCoreBackends();

// The core's back ends (timeZone: which local minutes exist, for repeating reminders) and those of
// the desktop.
struct PlatformBackends : CoreBackends {
    std::unique_ptr<WallClockAlarm> alarm; // wakes the monitor at its next minute
    std::unique_ptr<Beeper> beeper;
    // The No* back ends of NoBackends.h where the desktop does not offer these: title
    // reminders are then shown as pop-ups, and there is no Ctrl+F2.
    std::unique_ptr<ForeignWindows> windows;
    std::unique_ptr<GlobalHotKey> hotKey;
    std::unique_ptr<DesktopGeometry> desktop;
    // Last, so that it goes first: it may refer to the back ends above.
    std::unique_ptr<PlatformStartUp> startUp;
};

// This platform's back ends; call once, right after the QApplication is made.
PlatformBackends MakePlatformBackends();

} // namespace tw::platform
