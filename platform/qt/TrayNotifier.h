// The "Missed reminders" notice on Qt: the desktop's notification service
// (org.freedesktop.Notifications on the session bus) where one is running, the tray icon's balloon
// (QSystemTrayIcon::showMessage) otherwise. Neither takes the focus. A click on either tells the
// listener.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>

#include "platform/Notifier.h"

namespace tw::platform {

class TrayNotifier : public QObject, public Notifier {
    Q_OBJECT
public:
    explicit TrayNotifier(QSystemTrayIcon& tray, QObject* parent = nullptr);

    void notify(const std::string& title, const std::string& text) override;
    void setListener(NoticeListener* listener) override { m_listener = listener; }

    // False: always the balloon (tests, and desktops whose service should not be used).
    void setUseNotificationService(bool on) { m_useService = on; }
    // How the last notice went out (for tests).
    enum class Route { None, Service, Balloon };
    Route lastRoute() const { return m_lastRoute; }

private slots:
    void onActionInvoked(uint id, const QString& action);

private:
    bool sendToService(const QString& title, const QString& text);

    QSystemTrayIcon& m_tray;
    NoticeListener* m_listener = nullptr;
    bool m_useService = true;
    bool m_listening = false;
    bool m_capabilitiesRead = false;
    bool m_markup = false;
    uint m_lastId = 0;
    Route m_lastRoute = Route::None;
};

} // namespace tw::platform
