// The Linux back ends: POSIX files, clock, locale and single-instance locks, the Windows-1252 code
// page of the reminder files, the X11 desktop (hot key, panel, other programs' windows) where Qt
// runs on an X11 display, and SIGTERM and SIGHUP as the end of the session.
#include <QCoreApplication>

#include "platform/Cp1252.h"
#include "platform/PlatformBackends.h"
#include "platform/SingleInstance.h"
#include "platform/posix/PosixClock.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixInstanceGuard.h"
#include "platform/posix/PosixLocale.h"
#include "platform/posix/PosixTimeZone.h"
#include "platform/posix/TerminationWatcher.h"
#include "platform/qt/QtBackends.h"
#include "platform/qt/QtInstanceActivation.h"
#include "platform/qt/QtWallClockAlarm.h"
#include "platform/qt/TimerFdAlarm.h"
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
    ~LinuxStartUp() override { m_activation.close(); }

    bool becomeOnlyCopy(std::function<void()> bringForward) override {
        const std::string identifier = InstanceIdentifier(QCoreApplication::applicationFilePath().toStdString());
        if (!m_guard.acquire(identifier)) {
            m_guard.activateFirstCopy(identifier);
            return false;
        }
        m_activation.listen(identifier);
        QObject::connect(&m_activation, &ActivationServer::activationRequested, &m_activation,
                         [bringForward = std::move(bringForward)] { bringForward(); });
        return true;
    }

    void attachMainWindow(const MainWindowHooks& hooks) override {
        QObject::connect(&m_termination, &TerminationWatcher::terminationRequested, hooks.window,
                         [endSession = hooks.endSession](int) { endSession(); });
    }

    void startUpFinished() override { m_termination.setHeld(false); }

private:
    TerminationWatcher m_termination;
    PosixInstanceGuard m_guard{[](const std::string& id) { RequestActivation(id); }};
    ActivationServer m_activation;
};

} // namespace

PlatformBackends MakePlatformBackends() {
    PlatformBackends b;
    b.startUp = std::make_unique<LinuxStartUp>();
    b.files = std::make_unique<PosixFileSystem>();
    b.clock = std::make_unique<PosixClock>();
    b.locale = std::make_unique<PosixLocale>();
    b.codePage = std::make_unique<Cp1252>();
    b.timeZone = std::make_unique<PosixTimeZone>();
    // The kernel's wall-clock timer; a timer that looks at the clock each minute where there is none.
    if (auto timerFd = TimerFdAlarm::create())
        b.alarm = std::move(timerFd);
    else
        b.alarm = std::make_unique<QtWallClockAlarm>(*b.clock);
    b.beeper = std::make_unique<QtBeeper>();
    // Other programs' windows and the hot key need an X11 display (also XWayland).
    b.windows = CreateX11Windows(*b.codePage);
    if (X11Available()) {
        b.hotKey = std::make_unique<X11HotKey>();
        b.desktop = std::make_unique<X11Desktop>();
    }
    return b;
}

} // namespace tw::platform
