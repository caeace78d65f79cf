// PortalHotKey against a stand-in GlobalShortcuts portal on a private session bus (the test runs
// under dbus-run-session): the session and the binding it asks for, Activated for its own shortcut
// only, the session closed on unregistering, and a portal that refuses.
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QtTest>

#include "platform/wayland/PortalHotKey.h"
#include "tests/fakes/CountingListener.h"

using tw::platform::PortalHotKey;

namespace {

const QString Desktop = QStringLiteral("/org/freedesktop/portal/desktop");

// The portal's side: answers CreateSession and BindShortcuts with their Response signals and
// records what it was asked.
class StandInPortal : public QDBusVirtualObject {
public:
    QStringList calls;
    QString sessionPath;
    QString boundSession;
    QStringList shortcutIds;
    QVariantMap shortcutProperties;
    bool refuseCreate = false; // as a portal without the GlobalShortcuts interface
    uint bindResponse = 0;     // 1: the user cancelled

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& m, const QDBusConnection& c) override {
        calls << (m.member() == QLatin1String("Close") ? QStringLiteral("Close ") + m.path() : m.member());
        const QString sender = m.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
        if (m.arguments().isEmpty()) // Session.Close
            return true;
        const QVariantMap options = qdbus_cast<QVariantMap>(m.arguments().constLast());
        const QString request = Desktop + QStringLiteral("/request/") + sender + QLatin1Char('/') +
                                options.value(QStringLiteral("handle_token")).toString();
        if (m.member() == QLatin1String("CreateSession")) {
            if (refuseCreate) {
                c.send(m.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method")));
                return true;
            }
            sessionPath = Desktop + QStringLiteral("/session/") + sender + QLatin1Char('/') +
                          options.value(QStringLiteral("session_handle_token")).toString();
            c.send(m.createReply(QVariant::fromValue(QDBusObjectPath(request))));
            respond(c, request, 0, {{QStringLiteral("session_handle"), sessionPath}});
        } else if (m.member() == QLatin1String("BindShortcuts")) {
            boundSession = qdbus_cast<QDBusObjectPath>(m.arguments().at(0)).path();
            const QDBusArgument list = m.arguments().at(1).value<QDBusArgument>();
            list.beginArray();
            while (!list.atEnd()) {
                QString id;
                list.beginStructure();
                list >> id >> shortcutProperties;
                list.endStructure();
                shortcutIds << id;
            }
            list.endArray();
            c.send(m.createReply(QVariant::fromValue(QDBusObjectPath(request))));
            respond(c, request, bindResponse, {});
        }
        return true;
    }

    static void respond(const QDBusConnection& c, const QString& request, uint code, const QVariantMap& results) {
        QDBusMessage response =
            QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"), "Response");
        response << code << results;
        c.send(response);
    }
};

} // namespace

class TestPortalHotKey : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Only on the private bus of the run under dbus-run-session, never on a desktop's own bus.
        if (qEnvironmentVariable("TELLWICK_TEST_PRIVATE_BUS") != QLatin1String("1"))
            QSKIP("runs under dbus-run-session only (test_portal_hot_key_bus)");
        QVERIFY(QDBusConnection::sessionBus().isConnected());
    }

    void bindsActivatesAndCloses() {
        QDBusConnection portalBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "stand-in-portal");
        StandInPortal portal;
        QVERIFY(portalBus.registerVirtualObject(Desktop, &portal, QDBusConnection::SubPath));
        QVERIFY(portalBus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));

        PortalHotKey hotKey(QDBusConnection::sessionBus());
        tw::fake::CountingListener pressed;
        QVERIFY(hotKey.registerHotKey(pressed));
        QTRY_VERIFY(hotKey.isBound());
        QCOMPARE(portal.calls, QStringList({"CreateSession", "BindShortcuts"}));
        QCOMPARE(portal.boundSession, portal.sessionPath);
        QCOMPARE(portal.shortcutIds, QStringList{PortalHotKey::ShortcutId});
        QCOMPARE(portal.shortcutProperties.value("preferred_trigger").toString(), QStringLiteral("CTRL+F2"));
        QVERIFY(!portal.shortcutProperties.value("description").toString().isEmpty());

        // Activated for another session or another shortcut is not ours; only the last one counts.
        auto activate = [&](const QString& session, const QString& id) {
            QDBusMessage m = QDBusMessage::createSignal(Desktop, "org.freedesktop.portal.GlobalShortcuts", "Activated");
            m << QVariant::fromValue(QDBusObjectPath(session)) << id << qulonglong(1) << QVariantMap();
            portalBus.send(m);
        };
        activate(Desktop + "/session/other/x", PortalHotKey::ShortcutId);
        activate(portal.sessionPath, "another-shortcut");
        activate(portal.sessionPath, PortalHotKey::ShortcutId);
        QTRY_COMPARE(pressed.hotKeyPresses, 1);
        QTest::qWait(50);
        QCOMPARE(pressed.hotKeyPresses, 1);

        hotKey.unregisterHotKey();
        QTRY_VERIFY(portal.calls.contains("Close " + portal.sessionPath));
        activate(portal.sessionPath, PortalHotKey::ShortcutId);
        QTest::qWait(100);
        QCOMPARE(pressed.hotKeyPresses, 1);

        // A portal that refuses: without the interface, or with the user declining the binding.
        for (const bool refuseCreate : {true, false}) {
            portal.refuseCreate = refuseCreate;
            portal.bindResponse = 1;
            QVERIFY(hotKey.registerHotKey(pressed));
            QTRY_VERIFY(hotKey.hasFailed());
            QVERIFY(!hotKey.isBound());
        }
        hotKey.unregisterHotKey();

        // No portal on the bus: nothing to register with.
        QVERIFY(portalBus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop")));
        QVERIFY(!hotKey.registerHotKey(pressed));
        portalBus.unregisterObject(Desktop, QDBusConnection::UnregisterTree);
        QDBusConnection::disconnectFromBus("stand-in-portal");
    }
};

QTEST_MAIN(TestPortalHotKey)
#include "test_portal_hot_key.moc"
