// QtTrayHost: the notification area's presence from Qt, with change events where the platform
// plugin gives them.
#include "platform/qt/QtTrayHost.h"

#include <QGuiApplication>
#include <QSystemTrayIcon>

namespace tw::platform {

QtTrayHost::QtTrayHost(QObject* parent) : QObject(parent) {
    // Asking once also makes Qt's xcb plugin start following the tray selection's owner.
    m_last = present();
    // The xcb plugin's signal for a new or vanished tray selection owner (_NET_SYSTEM_TRAY_S<n>).
    // QPlatformNativeInterface derives from QObject alone; its header is private to Qt.
    auto* native = reinterpret_cast<QObject*>(QGuiApplication::platformNativeInterface());
    if (native != nullptr && native->metaObject()->indexOfSignal("systemTrayWindowChanged(QScreen*)") >= 0) {
        connect(native, SIGNAL(systemTrayWindowChanged(QScreen*)), this, SLOT(changed()));
        m_eventDriven = true;
        return;
    }
    if (QGuiApplication::platformName() == QLatin1String("windows"))
        return;
    m_poll.setInterval(PollMs);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        if (present() != m_last)
            changed();
    });
    m_poll.start();
}

bool QtTrayHost::present() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayHost::changed() {
    m_last = present();
    if (m_listener)
        m_listener->trayHostChanged();
}

} // namespace tw::platform
