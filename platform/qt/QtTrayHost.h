// QtTrayHost: the tray host as Qt sees it (QSystemTrayIcon::isSystemTrayAvailable). On X11 Qt's xcb
// platform follows the owner of the notification area's selection and announces each change, so
// nothing is polled there; Windows always has a notification area; elsewhere (Wayland, offscreen)
// Qt is asked again every PollMs.
#pragma once

#include <QObject>
#include <QTimer>

#include "platform/TrayHost.h"

namespace tw::platform {

class QtTrayHost : public QObject, public TrayHost {
    Q_OBJECT
public:
    static constexpr int PollMs = 5000;

    explicit QtTrayHost(QObject* parent = nullptr);
    bool present() override;
    void setListener(TrayHostListener* listener) override { m_listener = listener; }
    // Changes come as events from the windowing system (no polling).
    bool eventDriven() const { return m_eventDriven; }

private slots:
    void changed();

private:
    QTimer m_poll;
    bool m_eventDriven = false;
    bool m_last = false;
    TrayHostListener* m_listener = nullptr;
};

} // namespace tw::platform
