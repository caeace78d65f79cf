// PortalHotKey: Ctrl+F2 through the desktop portal's GlobalShortcuts interface
// (org.freedesktop.portal.GlobalShortcuts), for Wayland sessions where no program may grab keys.
// It opens a portal session, binds one shortcut with Ctrl+F2 as the preferred trigger (the
// desktop may ask the user, or let them choose another), and runs the handler at each Activated
// signal for that shortcut. Every step is asynchronous; the event loop carries it on.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include "platform/Desktop.h"

class QDBusObjectPath;
class QDBusPendingCallWatcher;

namespace tw::platform {

class PortalHotKey : public QObject, public GlobalHotKey {
    Q_OBJECT
public:
    static constexpr const char* ShortcutId = "open-menu";

    explicit PortalHotKey(const QDBusConnection& bus = QDBusConnection::sessionBus());
    ~PortalHotKey() override;

    // False when the bus has no portal service; true once the request is on its way.
    bool registerHotKey(HotKeyListener& listener) override;
    // Closes the portal session: the shortcut is given back.
    void unregisterHotKey() override;
    // The portal confirmed the binding.
    bool isBound() const { return m_step == Step::Bound; }
    // The portal refused a step (no GlobalShortcuts interface, or the user declined): no Ctrl+F2.
    bool hasFailed() const { return m_step == Step::Failed; }

private slots:
    void response(uint code, const QVariantMap& results);
    void activated(const QDBusObjectPath& session, const QString& shortcut, qulonglong timestamp,
                   const QVariantMap& options);

private:
    enum class Step { Idle, CreatingSession, Binding, Bound, Failed };

    // Sends a portal request whose answer comes as a Response signal on a request object.
    void request(const QString& method, QVariantList arguments, QVariantMap options);
    void listenForResponse(const QString& path);
    void stopListening();
    void fail(const QString& why);

    QDBusConnection m_bus;
    HotKeyListener* m_listener = nullptr;
    Step m_step = Step::Idle;
    QString m_requestPath;
    QString m_sessionPath;
    int m_tokens = 0;
};

} // namespace tw::platform
