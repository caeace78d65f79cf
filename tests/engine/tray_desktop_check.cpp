// The engine on a real desktop: the tray icon docks in the notification area, blinks for an icon
// reminder, and a click on the blinking icon opens the pop-up. Run on a private desktop by ctest;
// "--show-popup" and "--show-icons" only show the pop-up or the pictures enlarged, for screenshots.
#include <QApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "EngineHarness.h"
#include "dialogs/ReminderPopup.h"
#include "platform/qt/TrayIcon.h"
#include "resources/icons/Icons.h"

using namespace tw;
using namespace tw::test;

namespace {

int fail(const char* what) {
    std::fprintf(stderr, "tray check: %s\n", what);
    return 1;
}

// Runs the event loop until done() holds or ms pass.
bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

int showIcons() {
    auto* w = new QWidget;
    w->setWindowTitle("Tellwick pictures");
    auto* grid = new QGridLayout(w);
    const char* names[] = {"ICO_TRAY", "ICO_TRAYR",  "ICO_TRAYD",  "MAINICON", "ICO_F4",   "ICO_F3",   "ICO_F2",
                           "ICO_F1",   "ICO_FOLDER", "ICO_WINDOW", "ICO_NEW",  "ICO_LIST", "ICO_HELP", "ICO_ABOUT"};
    int col = 0;
    for (const char* n : names) {
        const QIcon icon = LoadIconByName(n);
        auto* big = new QLabel;
        big->setPixmap(icon.pixmap(16, 16).scaled(96, 96, Qt::KeepAspectRatio, Qt::FastTransformation));
        auto* native = new QLabel;
        native->setPixmap(icon.pixmap(64, 64));
        auto* s16 = new QLabel;
        s16->setPixmap(icon.pixmap(16, 16));
        grid->addWidget(new QLabel(n), 0, col);
        grid->addWidget(big, 1, col);
        grid->addWidget(native, 2, col);
        grid->addWidget(s16, 3, col);
        ++col;
    }
    w->setStyleSheet("background: #d4d0c8");
    w->show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList args = QApplication::arguments();
    if (args.contains("--show-icons"))
        return showIcons();

    EngineBench core(false);
    QMenu mainMenu;
    mainMenu.addAction("&New Reminder");
    QMenu emptyMenu;
    platform::QtTrayIcon trayIcon(&mainMenu, &emptyMenu);
    platform::QtOneShotTimer flashTimer;
    fake::FakeAlarm alarm; // the ticks below run the steps
    // The program's wiring on the real tray icon; the bench lends its services.
    ReminderEngine engine(core.services, trayIcon, flashTimer, alarm);
    TRem_Pop pop(core.services, engine.handBack);
    engine.attachPopUp(pop.logic());
    QTimer ticks;
    ticks.setInterval(250); // the test clock moves one second per tick
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        core.clock.advanceMs(1000);
        engine.Monitor_TimerTimer();
    });

    core.clock.set(2026, 12, 7, 8, 59, 58);
    if (args.contains("--show-popup")) {
        core.add(MakeReminder(KindPopUp, false, 2026, 12, 7, 9, 0,
                              "Team meeting in room 4.\r\nBring the printed budget and the new floor plans."));
        ticks.start();
        return QApplication::exec();
    }

    core.add(MakeReminder(KindIcon, false, 2026, 12, 7, 9, 0, "Water the plants"));
    trayIcon.systemTrayIcon().show();
    ticks.start();
    if (!waitFor([&] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000))
        return fail("no notification area");
    if (!waitFor([&] { return !trayIcon.systemTrayIcon().geometry().isEmpty(); }, 10000))
        return fail("the icon did not dock");
    if (!waitFor([&] { return trayIcon.animated() && trayIcon.frameChanges() >= 8; }, 10000))
        return fail("the icon did not blink");
    if (!trayIcon.systemTrayIcon().toolTip().contains("Water the plants"))
        return fail("the tooltip does not show the reminder");

    const QPoint at = trayIcon.systemTrayIcon().geometry().center();
    std::printf("tray check: icon docked at %d,%d, %d frames so far\n", at.x(), at.y(), trayIcon.frameChanges());
    QProcess xdotool;
    xdotool.start("xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
    if (!xdotool.waitForFinished(10000) || xdotool.exitCode() != 0) {
        xdotool.kill();
        xdotool.waitForFinished();
        return fail("xdotool failed");
    }
    if (!waitFor([&] { return pop.isVisible(); }, 10000))
        return fail("the click did not open the pop-up");
    if (!pop.Panel1->text().startsWith("Reminder stated on: "))
        return fail("the pop-up does not show the icon reminder");
    if (!pop.Memo1->toPlainText().contains("Water the plants"))
        return fail("the pop-up does not show the note");
    if (core.beeper.beeps != 0)
        return fail("a silent reminder beeped");

    pop.Button1->click();
    if (!waitFor([&] { return !trayIcon.animated() && core.store.MonitorState == MonitorIdle; }, 10000))
        return fail("the flash did not end after Dismiss");
    if (flashTimer.isActive())
        return fail("Flash_Timer still runs after Dismiss");
    if (!waitFor([&] { return trayIcon.systemTrayIcon().isVisible(); }, 5000))
        return fail("the still icon is gone");
    std::printf("tray check: passed\n");
    return 0;
}
