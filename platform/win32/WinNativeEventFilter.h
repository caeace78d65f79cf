// The Qt side of the Windows hot key and the end of the session.
// Built only with the Qt program on Windows.
//
// WinNativeEventFilter sees every message of the user-interface thread: the main window's WM_HOTKEY
// goes to WinHotKey (its handler runs on the next turn of the event loop, not inside the filter),
// WM_QUERYENDSESSION is answered by WinSessionEnd, which saves (the toolkit's own answer, with its
// commitDataRequest, is then not asked for, so the save runs once), and WM_ENDSESSION goes on to
// the toolkit, which ends the event loop. WinHotKeyBinding keeps the hot key on the main window's
// native window, also when the toolkit gives the window a new one.
//
// In main, on Windows, with form the hidden main window:
//   WinHotKey hotKey(0);
//   WinSessionEnd sessionEnd([&form] { return form.saveAll(); });
//   WinNativeEventFilter filter(&hotKey, &sessionEnd);
//   app.installNativeEventFilter(&filter);
//   TRMForm form(services, &hotKey, &desktop);
//   WinHotKeyBinding binding(hotKey, form); // before FormCreate registers Ctrl+F2
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

class QWidget;

namespace tw::platform {

class QtWallClockAlarm;
class WinHotKey;
class WinSessionEnd;

class WinNativeEventFilter : public QAbstractNativeEventFilter {
public:
    // Any may be null. Install with QCoreApplication::installNativeEventFilter; all must outlive the
    // installed filter. The alarm, when given, is told of WM_TIMECHANGE (the clock or the time zone
    // was set) and of the resume from sleep (WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC).
    WinNativeEventFilter(WinHotKey* hotKey, WinSessionEnd* sessionEnd, QtWallClockAlarm* alarm = nullptr)
        : m_hotKey(hotKey), m_sessionEnd(sessionEnd), m_alarm(alarm) {}
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    WinHotKey* m_hotKey;
    WinSessionEnd* m_sessionEnd;
    QtWallClockAlarm* m_alarm;
};

// Puts key on widget's native window now (which creates it if needed) and again at every
// QEvent::WinIdChange of the widget. It has no parent: the key and the widget must outlive it.
class WinHotKeyBinding : public QObject {
public:
    WinHotKeyBinding(WinHotKey& key, QWidget& widget);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WinHotKey& m_key;
    QWidget& m_widget;
};

} // namespace tw::platform
