// PortalHotKey: the GlobalShortcuts portal's CreateSession, BindShortcuts, Activated and Close.
#include "platform/wayland/PortalHotKey.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>

namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString ShortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString SessionInterface = QStringLiteral("org.freedesktop.portal.Session");

// One entry of BindShortcuts' a(sa{sv}): the shortcut's id and its properties.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

// The portal's object paths carry the caller's unique bus name without ':' and with '_' for '.'.
QString SenderPart(const QDBusConnection& bus) {
    QString sender = bus.baseService();
    sender.remove(0, sender.startsWith(QLatin1Char(':')) ? 1 : 0);
    return sender.replace(QLatin1Char('.'), QLatin1Char('_'));
}

// A session handle in a Response: a string by the interface's text, an object path in some portals.
QString HandleText(const QVariant& value) {
    if (value.canConvert<QDBusObjectPath>() && value.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace tw::platform {

PortalHotKey::PortalHotKey(const QDBusConnection& bus) : m_bus(bus) {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
}

PortalHotKey::~PortalHotKey() {
    unregisterHotKey();
}

bool PortalHotKey::registerHotKey(HotKeyListener& listener) {
    unregisterHotKey();
    QDBusConnectionInterface* daemon = m_bus.isConnected() ? m_bus.interface() : nullptr;
    if (daemon == nullptr)
        return false;
    if (!daemon->isServiceRegistered(PortalService).value() &&
        !daemon->activatableServiceNames().value().contains(PortalService))
        return false;
    m_listener = &listener;
    m_step = Step::CreatingSession;
    request(QStringLiteral("CreateSession"), {},
            {{QStringLiteral("session_handle_token"), QStringLiteral("tellwick%1").arg(++m_tokens)}});
    return true;
}

void PortalHotKey::unregisterHotKey() {
    stopListening();
    if (!m_sessionPath.isEmpty())
        m_bus.send(
            QDBusMessage::createMethodCall(PortalService, m_sessionPath, SessionInterface, QStringLiteral("Close")));
    m_bus.disconnect(PortalService, PortalPath, ShortcutsInterface, QStringLiteral("Activated"), this,
                     SLOT(activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    m_sessionPath.clear();
    m_listener = nullptr;
    m_step = Step::Idle;
}

void PortalHotKey::request(const QString& method, QVariantList arguments, QVariantMap options) {
    // The Response may come before the call's reply: listen on the path the portal will use first.
    const QString token = QStringLiteral("tellwick%1").arg(++m_tokens);
    options.insert(QStringLiteral("handle_token"), token);
    const QString expected = PortalPath + QStringLiteral("/request/") + SenderPart(m_bus) + QLatin1Char('/') + token;
    listenForResponse(expected);
    QDBusMessage call = QDBusMessage::createMethodCall(PortalService, PortalPath, ShortcutsInterface, method);
    arguments.append(options);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, expected] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
        if (reply.isError())
            fail(reply.error().message());
        else if (m_requestPath == expected && reply.value().path() != expected) // an older portal chose the path
            listenForResponse(reply.value().path());
    });
}

void PortalHotKey::listenForResponse(const QString& path) {
    stopListening();
    m_requestPath = path;
    m_bus.connect(PortalService, m_requestPath, RequestInterface, QStringLiteral("Response"), this,
                  SLOT(response(uint, QVariantMap)));
}

void PortalHotKey::stopListening() {
    if (m_requestPath.isEmpty())
        return;
    m_bus.disconnect(PortalService, m_requestPath, RequestInterface, QStringLiteral("Response"), this,
                     SLOT(response(uint, QVariantMap)));
    m_requestPath.clear();
}

void PortalHotKey::response(uint code, const QVariantMap& results) {
    stopListening();
    if (code != 0) {
        fail(QStringLiteral("the desktop declined (response %1)").arg(code));
        return;
    }
    if (m_step == Step::CreatingSession) {
        m_sessionPath = HandleText(results.value(QStringLiteral("session_handle")));
        if (m_sessionPath.isEmpty()) {
            fail(QStringLiteral("no session handle"));
            return;
        }
        m_bus.connect(PortalService, PortalPath, ShortcutsInterface, QStringLiteral("Activated"), this,
                      SLOT(activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
        const PortalShortcut shortcut{QString::fromLatin1(ShortcutId),
                                      {{QStringLiteral("description"), QStringLiteral("Open Tellwick's menu")},
                                       {QStringLiteral("preferred_trigger"), QStringLiteral("CTRL+F2")}}};
        m_step = Step::Binding;
        request(QStringLiteral("BindShortcuts"),
                {QVariant::fromValue(QDBusObjectPath(m_sessionPath)),
                 QVariant::fromValue(QList<PortalShortcut>{shortcut}), QString()},
                {});
    } else if (m_step == Step::Binding) {
        m_step = Step::Bound;
    }
}

void PortalHotKey::activated(const QDBusObjectPath& session, const QString& shortcut, qulonglong, const QVariantMap&) {
    if (m_step != Step::Bound || session.path() != m_sessionPath || shortcut != QLatin1String(ShortcutId) ||
        m_listener == nullptr)
        return;
    // Outside the signal's dispatch: the listener opens a menu.
    QTimer::singleShot(0, this, [this] {
        if (m_listener != nullptr)
            m_listener->hotKeyPressed();
    });
}

void PortalHotKey::fail(const QString& why) {
    stopListening();
    m_step = Step::Failed;
    qInfo("Ctrl+F2 is not available through the desktop portal: %s", qUtf8Printable(why));
}

} // namespace tw::platform
