// The Linux back ends: POSIX files, clock and locale, the Windows-1252 code
// page of the reminder files, the X11 desktop (hot key, panel, other programs' windows) where Qt
// runs on an X11 display, the Wayland ones (the window in front, Ctrl+F2 through the portal) where
// it runs on a Wayland compositor, and SIGTERM and SIGHUP as the end of the session.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

#include "platform/Cp1252.h"
#include "platform/NoBackends.h"
#include "platform/PlatformBackends.h"
#include "platform/posix/PosixClock.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixLocale.h"
#include "platform/posix/PosixTimeZone.h"
#include "platform/posix/TerminationWatcher.h"
#include "platform/qt/QtBackends.h"
#include "platform/qt/QtWallClockAlarm.h"
#include "platform/qt/TimerFdAlarm.h"
#include "platform/wayland/PortalHotKey.h"
#include "platform/wayland/WaylandWindows.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11HotKey.h"
#include "platform/x11/X11Windows.h"

namespace tw::platform {

namespace {

class LinuxStartUp : public PlatformStartUp {
public:
    // SIGTERM and SIGHUP are caught from here on; one that comes during start-up waits until the
    // windows are built, then ends the program with a save.
    LinuxStartUp() { m_termination.setHeld(true); }

    void attachMainWindow(const MainWindowHooks& hooks) override {
        QObject::connect(&m_termination, &TerminationWatcher::terminationRequested, hooks.window,
                         [endSession = hooks.endSession](int) { endSession(); });
    }

    void startUpFinished() override { m_termination.setHeld(false); }

private:
    TerminationWatcher m_termination;
};

} // namespace

CoreBackends MakeCoreBackends() {
    CoreBackends c;
    c.files = std::make_unique<PosixFileSystem>();
    c.clock = std::make_unique<PosixClock>();
    c.locale = std::make_unique<PosixLocale>();
    c.codePage = std::make_unique<Cp1252>();
    c.timeZone = std::make_unique<PosixTimeZone>();
    return c;
}

PlatformBackends MakePlatformBackends() {
    PlatformBackends b;
    b.startUp = std::make_unique<LinuxStartUp>();
    static_cast<CoreBackends&>(b) = MakeCoreBackends();
    // The kernel's wall-clock timer; a timer that looks at the clock each minute where there is none.
    if (auto timerFd = TimerFdAlarm::create())
        b.alarm = std::move(timerFd);
    else
        b.alarm = std::make_unique<QtWallClockAlarm>(*b.clock);
    b.beeper = std::make_unique<QtBeeper>();
    // Other programs' windows and the hot key: through the X11 display (also XWayland, with
    // QT_QPA_PLATFORM=xcb), or on Wayland through the compositor's foreign-toplevel manager and the
    // desktop portal. Whatever the desktop does not offer is one of the null objects.
    if (X11Available()) {
        b.windows = CreateX11Windows(*b.codePage);
        b.hotKey = std::make_unique<X11HotKey>();
        b.desktop = std::make_unique<X11Desktop>();
    } else if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        b.windows = CreateWaylandWindows(*b.codePage);
        b.hotKey = std::make_unique<PortalHotKey>();
    }
    if (!b.windows)
        b.windows = std::make_unique<NoForeignWindows>();
    if (!b.hotKey)
        b.hotKey = std::make_unique<NoHotKey>();
    if (!b.desktop)
        b.desktop = std::make_unique<NoDesktopGeometry>();
    return b;
}

} // namespace tw::platform
