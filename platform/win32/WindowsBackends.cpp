// The Windows back ends: kernel32 and user32 for files, clock, locale, code page, beep, other
// programs' windows and the taskbar; Ctrl+F2 and the end of the
// session through Qt's native event filter on the main window.
#include <QCoreApplication>
#include <QWidget>

#include "platform/PlatformBackends.h"
#include "platform/qt/QtWallClockAlarm.h"
#include "platform/win32/WinBeeper.h"
#include "platform/win32/WinClock.h"
#include "platform/win32/WinCodePage.h"
#include "platform/win32/WinDesktop.h"
#include "platform/win32/WinFileSystem.h"
#include "platform/win32/WinForeignWindows.h"
#include "platform/win32/WinLocale.h"
#include "platform/win32/WinNativeEventFilter.h"
#include "platform/win32/WinTimeZone.h"

namespace tw::platform {

namespace {

class WindowsStartUp : public PlatformStartUp {
public:
    WindowsStartUp(WinHotKey& hotKey, QtWallClockAlarm& alarm) : m_hotKey(hotKey), m_alarm(alarm) {}
    ~WindowsStartUp() override {
        if (m_filter && QCoreApplication::instance() != nullptr)
            QCoreApplication::instance()->removeNativeEventFilter(m_filter.get());
    }

    // WM_HOTKEY goes to the main window's handle, which Qt may create anew; the end of the session
    // saves as "E&xit" does; a change of the clock or of the time zone, and the resume from sleep,
    // wake the monitor's alarm.
    void attachMainWindow(const MainWindowHooks& hooks) override {
        m_binding = std::make_unique<WinHotKeyBinding>(m_hotKey, *hooks.window);
        m_sessionEnd = std::make_unique<WinSessionEnd>(hooks.saveAll);
        m_filter = std::make_unique<WinNativeEventFilter>(&m_hotKey, m_sessionEnd.get(), &m_alarm);
        QCoreApplication::instance()->installNativeEventFilter(m_filter.get());
    }

    void startUpFinished() override {}

private:
    WinHotKey& m_hotKey;
    QtWallClockAlarm& m_alarm;
    std::unique_ptr<WinHotKeyBinding> m_binding;
    std::unique_ptr<WinSessionEnd> m_sessionEnd;
    std::unique_ptr<WinNativeEventFilter> m_filter;
};

} // namespace

CoreBackends MakeCoreBackends() {
    CoreBackends c;
    c.files = std::make_unique<WinFileSystem>();
    c.clock = std::make_unique<WinClock>();
    c.locale = std::make_unique<WinLocale>();
    c.codePage = std::make_unique<WinCodePage>();
    c.timeZone = std::make_unique<WinTimeZone>();
    return c;
}

PlatformBackends MakePlatformBackends() {
    PlatformBackends b;
    auto hotKey = std::make_unique<WinHotKey>(0);
    static_cast<CoreBackends&>(b) = MakeCoreBackends();
    auto alarm = std::make_unique<QtWallClockAlarm>(*b.clock);
    b.startUp = std::make_unique<WindowsStartUp>(*hotKey, *alarm);
    b.alarm = std::move(alarm);
    b.hotKey = std::move(hotKey);
    b.beeper = std::make_unique<WinBeeper>();
    b.windows = std::make_unique<WinForeignWindows>();
    b.desktop = std::make_unique<WinDesktopGeometry>();
    return b;
}

} // namespace tw::platform
