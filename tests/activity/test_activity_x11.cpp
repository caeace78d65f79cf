// The activity log on a real X11 desktop: with logging on, windows of another X client activated in
// turn are counted through the X11 back end, a dialog for the window that owns it.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <cmath>
#include <memory>

#include "ActivityFixture.h"
#include "X11TestWindows.h"
#include "activity/ActivityLogWindow.h"
#include "platform/qt/QtBackends.h"
#include "platform/x11/X11Windows.h"

using namespace tw;

namespace {

// Activates a window and waits until the window manager has settled on it: a window mapped just
// before may still take the focus after the request, which is then sent again.
bool ActivateAndSettle(test::X11TestWindows& x, platform::ForeignWindows& windows, std::uint64_t w) {
    QElapsedTimer t;
    t.start();
    int stable = 0;
    x.activate(w);
    while (t.elapsed() < 10000) {
        QTest::qWait(50);
        if (windows.foregroundWindow() != w) {
            stable = 0;
            x.activate(w);
        } else if (++stable == 5) {
            return true;
        }
    }
    return false;
}

} // namespace

class TestActivityX11 : public QObject {
    Q_OBJECT

private slots:
    void windowsActivatedInTurnAreCountedPerWindow() {
        QTemporaryDir dir; // no saved log is read back
        QVERIFY(dir.isValid());
        const QString oldDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
        auto restoreDir = qScopeGuard([&] { QDir::setCurrent(oldDir); });

        test::X11TestWindows x;
        QVERIFY(x.connected());
        test::ActivityServices s;
        platform::QtEventPump pump;
        const std::unique_ptr<platform::ForeignWindows> windows = platform::CreateX11Windows(s.codePage);
        QVERIFY(windows->reachable());
        Services services{s.store, s.clock, s.locale, s.codePage, s.boxes, s.beeper, pump, s.help, *windows};
        TSysLog log(services); // hidden, as at start-up

        const std::uint64_t editor = x.create("Alpha report - Editor", 40, 40);
        const std::uint64_t mail = x.create("Beta, inbox - Mail", 420, 40);
        const std::uint64_t find = x.create("Find", 80, 260, editor);
        QVERIFY(editor && mail && find);
        QVERIFY(ActivateAndSettle(x, *windows, editor));

        // The shell's one-second tick while "Enable Log User Activity" is checked.
        int ticks = 0;
        QTimer timerS;
        timerS.setInterval(1000);
        connect(&timerS, &QTimer::timeout, [&] {
            ++ticks;
            log.armSample();
        });
        log.setActivityLogEnabled(true);
        timerS.start();
        QTest::qWait(3500);
        QVERIFY(ActivateAndSettle(x, *windows, mail));
        QTest::qWait(3000);
        QVERIFY(ActivateAndSettle(x, *windows, find));
        QTest::qWait(2000);
        timerS.stop();
        QTRY_VERIFY(!log.samplingTimer()->isActive());

        const std::vector<DayRoot>& roots = log.log().roots();
        QCOMPARE(roots.size(), std::size_t(1));
        const std::vector<ActivityNode>& entries = roots[0].children;
        QCOMPARE(entries.size(), std::size_t(2));
        long long editorSeconds = -1;
        long long mailSeconds = -1;
        for (const ActivityNode& n : entries) {
            const long long seconds = std::llround(n.entry.Elapsed * 86400.0);
            if (n.entry.Window == editor && n.entry.Title == "Alpha report - Editor")
                editorSeconds = seconds;
            else if (n.entry.Window == mail && n.entry.Title == "Beta, inbox - Mail")
                mailSeconds = seconds;
        }
        qInfo("ticks %d, editor and its dialog %lld s, mail %lld s", ticks, editorSeconds, mailSeconds);
        // About 5.5 s for the editor and its dialog and 3 s for the mail window; the first sample of
        // each entry counts 0.
        QVERIFY(editorSeconds >= 3);
        QVERIFY(mailSeconds >= 1);
        QVERIFY(editorSeconds > mailSeconds);
        QVERIFY(editorSeconds + mailSeconds + 2 <= ticks);
        QCOMPARE(log.treeView()->topLevelItem(0)->childCount(), 2);
    }
};

QTEST_MAIN(TestActivityX11)
#include "test_activity_x11.moc"
