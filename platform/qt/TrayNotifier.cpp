// The desktop's notifications over D-Bus (not on Windows, where the balloon is the desktop's own),
// and the tray balloon.
#include "platform/qt/TrayNotifier.h"

#ifndef _WIN32
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QFileInfo>
#include <QVariantMap>
#endif

namespace tw::platform {

namespace {
constexpr int ShownMs = 15000;
#ifndef _WIN32
const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
#endif
} // namespace

TrayNotifier::TrayNotifier(QSystemTrayIcon& tray, QObject* parent) : QObject(parent), m_tray(tray) {
    connect(&m_tray, &QSystemTrayIcon::messageClicked, this, [this] {
        if (m_listener)
            m_listener->noticeClicked();
    });
}

void TrayNotifier::notify(const std::string& title, const std::string& text) {
    const QString t = QString::fromStdString(title);
    const QString body = QString::fromStdString(text);
    if (m_useService && sendToService(t, body)) {
        m_lastRoute = Route::Service;
        return;
    }
    if (!m_tray.isVisible()) {
        m_lastRoute = Route::None;
        return;
    }
    m_tray.showMessage(t, body, QSystemTrayIcon::Information, ShownMs);
    m_lastRoute = Route::Balloon;
}

bool TrayNotifier::sendToService(const QString& title, const QString& text) {
#ifdef _WIN32
    (void)title;
    (void)text;
    return false;
#else
    // Without a session bus address (or the user bus socket) there is no bus to ask: connecting
    // anyway would have libdbus try to start one.
    const QString userBus = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/bus");
    if (!qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS") &&
        (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") || !QFileInfo::exists(userBus)))
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(Service).value())
        return false;
    if (!m_listening) {
        m_listening = bus.connect(Service, Path, Service, QStringLiteral("ActionInvoked"), this,
                                  SLOT(onActionInvoked(uint, QString)));
    }
    if (!m_capabilitiesRead) {
        const QDBusReply<QStringList> caps =
            bus.call(QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("GetCapabilities")),
                     QDBus::Block, 2000);
        m_markup = caps.isValid() && caps.value().contains(QStringLiteral("body-markup"));
        m_capabilitiesRead = caps.isValid();
    }
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("Notify"));
    // A server that reads markup would take "<" and "&" in a note for tags.
    const QString body = m_markup ? text.toHtmlEscaped() : text;
    // "default" is the action of a click on the notice itself. The previous notice, if still up,
    // is replaced.
    call << QStringLiteral("Tellwick") << m_lastId << QStringLiteral("tellwick") << title << body
         << QStringList{QStringLiteral("default"), QStringLiteral("Open the list")} << QVariantMap{} << ShownMs;
    // Not waited for: the reply brings only the notice's number, for its click.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isValid())
            m_lastId = reply.value();
        w->deleteLater();
    });
    return true;
#endif
}

void TrayNotifier::onActionInvoked(uint id, const QString& action) {
    if (id == m_lastId && action == QLatin1String("default") && m_listener)
        m_listener->noticeClicked();
}

} // namespace tw::platform
