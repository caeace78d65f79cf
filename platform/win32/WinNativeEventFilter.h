// The Qt side of the Windows hot key and session end: a native event filter that hands the main
// window's WM_HOTKEY to WinHotKey and WM_QUERYENDSESSION / WM_ENDSESSION to WinSessionEnd.
// Built only with the Qt program on Windows.
#pragma once

#include <QAbstractNativeEventFilter>

namespace tw::platform::win32 {

class WinHotKey;
class WinSessionEnd;

class WinNativeEventFilter : public QAbstractNativeEventFilter {
public:
    // Either may be null. Install with QCoreApplication::installNativeEventFilter.
    WinNativeEventFilter(WinHotKey* hotKey, WinSessionEnd* sessionEnd) : m_hotKey(hotKey), m_sessionEnd(sessionEnd) {}
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    WinHotKey* m_hotKey;
    WinSessionEnd* m_sessionEnd;
};

} // namespace tw::platform::win32
