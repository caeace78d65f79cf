// WinNativeEventFilter and WinHotKeyBinding: Qt's native event filter for WM_HOTKEY and the end of
// the session, and the binding of the hot key to the main window's handle.
#include "platform/win32/WinNativeEventFilter.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <windows.h>

#include "platform/qt/QtWallClockAlarm.h"
#include "platform/win32/WinDesktop.h"

namespace tw::platform {

bool WinNativeEventFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) {
    // The window procedure's messages and the event dispatcher's posted ones (WM_HOTKEY is posted).
    if ((eventType != "windows_generic_MSG" && eventType != "windows_dispatcher_MSG") || !message)
        return false;
    const MSG* msg = static_cast<const MSG*>(message);
    const auto window = reinterpret_cast<std::uintptr_t>(msg->hwnd);

    if (m_hotKey && m_hotKey->isHotKeyMessage(window, msg->message, msg->wParam)) {
        // The handler opens a menu: it runs from the event loop, not from inside this filter. The
        // key is asked again then, so a press that arrives after unregistering does nothing.
        WinHotKey* key = m_hotKey;
        const UINT id = msg->message;
        const WPARAM wParam = msg->wParam;
        QTimer::singleShot(0, QCoreApplication::instance(),
                           [key, window, id, wParam] { key->handleMessage(window, id, wParam); });
        if (result)
            *result = 0;
        return true;
    }

    // Broadcast to every top-level window, the hidden main window too; the toolkit sees them as well.
    if (m_alarm &&
        (msg->message == WM_TIMECHANGE || (msg->message == WM_POWERBROADCAST && msg->wParam == PBT_APMRESUMEAUTOMATIC)))
        m_alarm->clockChanged();

    if (m_sessionEnd && (msg->message == WM_QUERYENDSESSION || msg->message == WM_ENDSESSION)) {
        const std::optional<bool> answer = m_sessionEnd->handleMessage(msg->message, msg->wParam);
        if (answer) {
            // TRUE lets the session end; FALSE keeps it going because the files are not saved.
            if (result)
                *result = *answer ? TRUE : FALSE;
            return true;
        }
    }
    return false;
}

WinHotKeyBinding::WinHotKeyBinding(WinHotKey& key, QWidget& widget) : m_key(key), m_widget(widget) {
    m_key.setWindow(static_cast<std::uintptr_t>(m_widget.winId()));
    m_widget.installEventFilter(this);
}

bool WinHotKeyBinding::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_widget && event->type() == QEvent::WinIdChange)
        m_key.setWindow(static_cast<std::uintptr_t>(m_widget.internalWinId()));
    return QObject::eventFilter(watched, event);
}

} // namespace tw::platform
