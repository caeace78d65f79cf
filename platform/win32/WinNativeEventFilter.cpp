#include "platform/win32/WinNativeEventFilter.h"

#include <QByteArray>
#include <windows.h>

#include "platform/win32/WinDesktop.h"

namespace tw::platform::win32 {

bool WinNativeEventFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) {
    if (eventType != "windows_generic_MSG" || !message)
        return false;
    const MSG* msg = static_cast<const MSG*>(message);
    if (m_hotKey && m_hotKey->handleMessage(reinterpret_cast<std::uintptr_t>(msg->hwnd), msg->message, msg->wParam)) {
        if (result)
            *result = 0;
        return true;
    }
    // The session messages go on to Qt as well, which answers the query and ends the event loop.
    if (m_sessionEnd && (msg->message == WM_QUERYENDSESSION || msg->message == WM_ENDSESSION))
        m_sessionEnd->handleMessage(msg->message, msg->wParam);
    return false;
}

} // namespace tw::platform::win32
