// The "Missed reminders" notice through the desktop's notification service: a stand-in service
// on a private session bus (the test runs under dbus-run-session) receives the notice, and its
// "default" action comes back as the click.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QSystemTrayIcon>
#include <QTest>
#include <QVariantMap>

#include "platform/qt/TrayNotifier.h"
#include "tests/fakes/CountingListener.h"

using tw::platform::TrayNotifier;

class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList summaries;
    QStringList bodies;
    QStringList actions;
    bool markup = false;

public slots:
    QStringList GetCapabilities() {
        return markup ? QStringList{QStringLiteral("body"), QStringLiteral("body-markup")}
                      : QStringList{QStringLiteral("body")};
    }
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& acts, const QVariantMap&, int) {
        summaries << summary;
        bodies << body;
        actions = acts;
        return 7;
    }

signals:
    void ActionInvoked(uint id, const QString& actionKey);
};

class TrayNotifierTest : public QObject {
    Q_OBJECT

private slots:
    void noticeGoesToTheServiceAndItsClickComesBack() {
        // Only on the private bus of the run under dbus-run-session, never on a desktop's own bus.
        if (!qEnvironmentVariableIsSet("TELLWICK_TEST_PRIVATE_BUS"))
            QSKIP("runs under dbus-run-session only (test_tray_notifier_bus)");
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.isConnected());
        FakeNotifications server;
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));

        QSystemTrayIcon tray; // never shown: the service does not need the icon
        TrayNotifier notifier(tray);
        tw::fake::CountingListener listener;
        const int& clicks = listener.noticeClicks;
        notifier.setListener(&listener);
        notifier.notify("Missed reminders", "1 reminder passed while it could not be shown\n08/Dec/26 09:05 A & B");
        QCOMPARE(notifier.lastRoute(), TrayNotifier::Route::Service);
        QTRY_COMPARE(server.summaries.size(), 1);
        QCOMPARE(server.summaries[0], QStringLiteral("Missed reminders"));
        QCOMPARE(server.bodies[0],
                 QStringLiteral("1 reminder passed while it could not be shown\n08/Dec/26 09:05 A & B"));
        QVERIFY(server.actions.contains(QStringLiteral("default")));

        QTest::qWait(100);                                        // the notice's number arrives with the reply
        emit server.ActionInvoked(99, QStringLiteral("default")); // another program's notice
        emit server.ActionInvoked(7, QStringLiteral("default"));
        QTRY_COMPARE(clicks, 1);
        QTest::qWait(100);
        QCOMPARE(clicks, 1);

        bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
    }
};

QTEST_MAIN(TrayNotifierTest)
#include "test_tray_notifier.moc"
