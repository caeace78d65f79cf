// The main window's menus, handlers, start-up and exit, the about box, the help window, the
// activation socket and the termination signals, on Qt's offscreen platform.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstring>
#include <memory>

#include "ShellDoubles.h"
#include "platform/Cp1252.h"
#include "platform/fake/CountingBeeper.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/fake/RecordingPump.h"
#include "platform/qt/QtHelpViewer.h"
#include "platform/qt/RecentWindowTracker.h"
#include "shell/ShellWiring.h"
#ifdef _WIN32
#include "platform/win32/WinLocale.h"
using SystemLocale = tw::platform::win32::WinLocale;
#else
#include "platform/posix/PosixLocale.h"
#include "platform/qt/QtInstanceActivation.h"
#include "shell/TerminationWatcher.h"
using SystemLocale = tw::platform::PosixLocale;
#endif
#include "shell/Unit1.h"
#include "shell/Unit3.h"
#include "store/DayCount.h"
#include "store/IoError.h"

using namespace tw;
using platform::Answer;

namespace {

ReminderRecord makeRecord(int kind, double date, double time, const char* note) {
    ReminderRecord r{};
    r.Kind = kind;
    r.RemDate = date;
    r.RemTime = time;
    SetNote(r, note);
    return r;
}

std::vector<std::uint8_t> imageOf(std::initializer_list<ReminderRecord> records) {
    std::vector<std::uint8_t> bytes;
    for (const ReminderRecord& r : records) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(&r);
        bytes.insert(bytes.end(), p, p + RecordSize);
    }
    return bytes;
}

// Everything one main window needs, with doubles, and every seam writing into one call log.
struct Rig {
    test::OrderedFileSystem files;
    fake::FakeClock clock;
    SystemLocale locale;
    platform::Cp1252 codePage;
    fake::RecordingMessageBoxes boxes;
    fake::CountingBeeper beeper;
    fake::RecordingPump pump;
    tw::fake::RecordingHelp help;
    Store store{files};
    Services services{store, clock, locale, codePage, boxes, beeper, pump, help, nullptr};
    test::FakeHotKey hotKey;
    test::FakeDesktop desktop;
    std::vector<std::string> log;
    test::RecordingTray tray{log};
    bool titleModified = false;
    TRMForm form{services, &hotKey, &desktop};

    explicit Rig(bool withTray = true) {
        ShellSeams seams;
        seams.monRem = [this] { log.push_back("Mon_Rem"); };
        seams.findHelpFile = [this] { log.push_back("findHelpFile"); };
        seams.showEditor = [this] { log.push_back("showEditor"); };
        seams.showList = [this] { log.push_back("showList"); };
        seams.viewLog = [this] { log.push_back("viewLog"); };
        seams.sampleTick = [this] { log.push_back("sampleTick"); };
        seams.setActivityLogEnabled = [this](bool on) { log.push_back(on ? "log on" : "log off"); };
        seams.resetTitleState = [this] { log.push_back("resetTitleState"); };
        seams.titleModified = [this] { return titleModified; };
        seams.restoreTitle = [this] { log.push_back("restoreTitle"); };
        form.setSeams(seams);
        if (withTray)
            form.setTrayLogic(&tray);
        form.setMainIcon(MainIcon());
    }
    std::vector<std::string> takeLog() { return std::exchange(log, {}); }
};

using Log = std::vector<std::string>;

} // namespace

class ShellWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void trayMenuHasEveryItemInOrder() {
        Rig rig;
        TRMForm& f = rig.form;
        QStringList names, texts;
        for (QAction* a : f.PopupMenu2->actions()) {
            names << a->objectName();
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        QCOMPARE(names, QStringList({"DisableAll1", "NewReminder1", "ListofReminders1", "", "N3", "Help2", "About2",
                                     "N4", "Hide2", "Exit1"}));
        QCOMPARE(texts, QStringList({"&Disable All", "&New Reminder", "&List of Reminders", "Tools", "-", "&Help",
                                     "&About", "-", "H&ide", "E&xit"}));
        QCOMPARE(f.PopupMenu2->actions().at(3)->menu(), f.ools1);
        QCOMPARE(f.ools1->actions(), QList<QAction*>({f.StartLog1, f.ViewLog1}));
        QCOMPARE(f.StartLog1->text(), QStringLiteral("Enable Log User Activity"));
        QCOMPARE(f.ViewLog1->text(), QStringLiteral("View Log"));
        QCOMPARE(f.PopupMenu2->defaultAction(), f.NewReminder1);
        for (QAction* a : {f.DisableAll1, f.Hide2, f.StartLog1})
            QVERIFY2(a->isCheckable() && !a->isChecked(), qPrintable(a->objectName()));
        // Pictures on exactly four items.
        QStringList withIcons;
        for (QAction* a : f.PopupMenu2->actions())
            if (!a->icon().isNull() && a->menu() == nullptr)
                withIcons << a->objectName();
        QCOMPARE(withIcons, QStringList({"NewReminder1", "ListofReminders1", "Help2", "About2"}));
        QVERIFY(f.PopupMenu1->actions().isEmpty());
        QCOMPARE(f.RxTrayIcon1->contextMenu(), f.PopupMenu2);
        QCOMPARE(f.RxTrayIcon1->toolTip(), QStringLiteral("Tellwick"));
        QCOMPARE(f.Flash_Timer->interval(), 10000);
        QVERIFY(!f.Flash_Timer->isActive());
        QCOMPARE(f.TimerS->interval(), 1000);
    }

    void formCreateRunsItsStepsInOrderAndGoesOnAfterAFailedLoad() {
        Rig rig;
        const double day = *EncodeDate(2026, 12, 9);
        rig.files.files["rd.dt"] = imageOf({makeRecord(KindPopUp, day, 0.5, "later")});
        rig.files.files["re.dt"] = {1, 2, 3};
        rig.files.readError["re.dt"] = IoCode::AccessDenied;
        rig.store.RemindersEnabled = false;
        rig.store.TrayIconShown = false;
        rig.form.DisableAll1->setChecked(true);
        rig.form.FormCreate();
        QCOMPARE(rig.takeLog(), Log({"findHelpFile", "resetTitleState"}));
        QCOMPARE(rig.hotKey.registrations, 1);
        QVERIFY(rig.form.hotKeyRegistered());
        QCOMPARE(rig.store.ActiveCount, 1);
        QCOMPARE(rig.boxes.texts(), std::vector<std::string>({"File access denied"}));
        QVERIFY(rig.store.RemindersEnabled);
        QVERIFY(rig.store.TrayIconShown);
        QVERIFY(!rig.form.DisableAll1->isChecked());
        QVERIFY(rig.form.Monitor_Timer->isActive());
        QCOMPARE(rig.form.Monitor_Timer->interval(), 1000);
        QVERIFY(!rig.form.isVisible());
        QVERIFY(rig.files.order.empty());
    }

    void hotKeyTakenElsewhereIsIgnored() {
        Rig rig;
        rig.hotKey.refuse = true;
        rig.form.FormCreate();
        QVERIFY(!rig.form.hotKeyRegistered());
        QVERIFY(rig.boxes.shown.empty());
        rig.form.close();
        QCOMPARE(rig.hotKey.unregistrations, 0);
    }

    void monitorTickChecksTheIconBeforeTheMonitorStep() {
        Rig rig;
        rig.form.Monitor_TimerTimer();
        QCOMPARE(rig.takeLog(), Log({"Check_Ikon", "Mon_Rem"}));
    }

    void disableAllTogglesAndTheIconFollowsAtOnce() {
        Rig rig;
        rig.form.FormCreate();
        rig.takeLog();
        rig.form.DisableAll1->trigger();
        QVERIFY(!rig.store.RemindersEnabled);
        QVERIFY(rig.form.DisableAll1->isChecked());
        QCOMPARE(rig.takeLog(), Log({"Check_Ikon"}));
        rig.form.DisableAll1->trigger();
        QVERIFY(rig.store.RemindersEnabled);
        QVERIFY(!rig.form.DisableAll1->isChecked());
        QCOMPARE(rig.takeLog(), Log({"Check_Ikon"}));
    }

    void hideWithoutEngineTrayTogglesTheIcon() {
        Rig rig(false);
        rig.form.FormCreate();
        QVERIFY(rig.form.RxTrayIcon1->isVisible());
        rig.form.Hide2->trigger();
        QVERIFY(!rig.store.TrayIconShown);
        QVERIFY(rig.form.Hide2->isChecked());
        QVERIFY(!rig.form.RxTrayIcon1->isVisible());
        rig.form.Hide2->trigger();
        QVERIFY(rig.store.TrayIconShown);
        QVERIFY(!rig.form.Hide2->isChecked());
        QVERIFY(rig.form.RxTrayIcon1->isVisible());
        QVERIFY(rig.form.RxTrayIcon1->toolTip().startsWith(" Reminders Counter: \n\r Active:  0"));
    }

    void hideWithEngineTrayCallsItsToggleThenTheIconCheck() {
        Rig rig;
        rig.form.Hide2->trigger();
        QCOMPARE(rig.takeLog(), Log({"Icon_Tray_Hide", "Check_Ikon"}));
    }

    void menuOpeningShowsTheCurrentState() {
        Rig rig;
        rig.store.RemindersEnabled = false;
        rig.store.TrayIconShown = false;
        rig.form.PopupMenu2Popup();
        QVERIFY(rig.form.DisableAll1->isChecked());
        QVERIFY(rig.form.Hide2->isChecked());
        QVERIFY(!rig.form.StartLog1->isChecked());
    }

    void itemsReachTheirWindows() {
        Rig rig;
        rig.form.NewReminder1->trigger();
        rig.form.ListofReminders1->trigger();
        rig.form.ViewLog1->trigger();
        QCOMPARE(rig.takeLog(), Log({"showEditor", "showList", "viewLog"}));
        rig.form.Help2->trigger();
        QCOMPARE(rig.help.topics, std::vector<std::string>({"main_menu_top_page"}));
    }

    void activityLogToggleDrivesTimerS() {
        Rig rig;
        rig.form.StartLog1->trigger();
        QVERIFY(rig.form.TimerS->isActive());
        QCOMPARE(rig.takeLog(), Log({"log on"}));
        QTRY_COMPARE_WITH_TIMEOUT(rig.log, Log({"sampleTick"}), 2000);
        rig.form.StartLog1->trigger();
        QVERIFY(!rig.form.TimerS->isActive());
        QCOMPARE(rig.takeLog(), Log({"sampleTick", "log off"}));
    }

    void clicksOnTheTrayIcon() {
        Rig rig;
        emit rig.form.RxTrayIcon1->activated(QSystemTrayIcon::Trigger);
        QCOMPARE(rig.takeLog(), Log({"RxTrayIcon1Click"}));
        // A double click performs the default item, "&New Reminder".
        emit rig.form.RxTrayIcon1->activated(QSystemTrayIcon::DoubleClick);
        QCOMPARE(rig.takeLog(), Log({"showEditor"}));
        // With the empty menu attached (a flash of the hidden icon) there is no default item.
        rig.form.RxTrayIcon1->setContextMenu(rig.form.PopupMenu1);
        emit rig.form.RxTrayIcon1->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(rig.log.empty());
        // A disabled default item is not performed either.
        rig.form.RxTrayIcon1->setContextMenu(rig.form.PopupMenu2);
        rig.form.NewReminder1->setEnabled(false);
        rig.form.RxTrayIcon1DblClick();
        QVERIFY(rig.log.empty());
    }

    void hotKeyMenuPositionFollowsThePanel() {
        Rig rig;
        rig.desktop.panel = platform::Rect{0, 768, 1280, 800}; // bottom
        QCOMPARE(rig.form.hotKeyMenuPosition(), (platform::Point{1216, 768}));
        rig.desktop.panel = platform::Rect{0, 0, 1280, 32}; // top
        QCOMPARE(rig.form.hotKeyMenuPosition(), (platform::Point{1216, 0}));
        rig.desktop.panel = platform::Rect{1240, 0, 1280, 800}; // a vertical panel on the right
        QCOMPARE(rig.form.hotKeyMenuPosition(), (platform::Point{1216, 0}));
        rig.desktop.panel.reset();
        rig.desktop.area = platform::Rect{0, 32, 1280, 800}; // work area below a top panel
        QCOMPARE(rig.form.hotKeyMenuPosition(), (platform::Point{1216, 766}));
    }

    void hotKeyOpensTheCurrentMenuEvenWithTheIconHidden() {
        Rig rig;
        rig.form.FormCreate();
        rig.store.TrayIconShown = false;
        rig.form.RxTrayIcon1->hide();
        QVERIFY(rig.hotKey.pressed);
        rig.hotKey.pressed();
        QVERIFY(rig.form.PopupMenu2->isVisible());
        rig.form.PopupMenu2->hide();
        // The empty menu of a flash of the hidden icon opens nothing.
        rig.form.RxTrayIcon1->setContextMenu(rig.form.PopupMenu1);
        rig.form.WMHotKey();
        QVERIFY(!rig.form.PopupMenu1->isVisible());
        QVERIFY(!rig.form.PopupMenu2->isVisible());
    }

    void exitWithNoOrCancelKeepsEverything() {
        for (const Answer a : {Answer::No, Answer::Cancel}) {
            Rig rig;
            rig.form.FormCreate();
            QSignalSpy ended(&rig.form, &TRMForm::programEnded);
            rig.boxes.setNextAnswer(a);
            rig.form.Exit1->trigger();
            QCOMPARE(rig.boxes.shown.size(), std::size_t(1));
            QCOMPARE(rig.boxes.shown[0].kind, fake::RecordingMessageBoxes::Shown::Confirm);
            QCOMPARE(rig.boxes.shown[0].text, std::string("Do you really want to close this program?"));
            QVERIFY(rig.files.order.empty());
            QVERIFY(!rig.form.ended());
            QCOMPARE(ended.count(), 0);
            QVERIFY(rig.form.Monitor_Timer->isActive());
        }
    }

    void exitWithYesSavesBothFilesInOrderThenEnds() {
        Rig rig;
        const double day = *EncodeDate(2026, 12, 9);
        const std::vector<std::uint8_t> active =
            imageOf({makeRecord(KindPopUp, day, 0.75, "b"), makeRecord(KindTitle, day, 0.5, "a")});
        const std::vector<std::uint8_t> expired = imageOf({makeRecord(KindIcon, day - 3, 0.25, "old")});
        rig.files.files["rd.dt"] = active;
        rig.files.files["re.dt"] = expired;
        rig.form.FormCreate();
        rig.titleModified = true;
        rig.takeLog();
        QSignalSpy ended(&rig.form, &TRMForm::programEnded);
        rig.boxes.setNextAnswer(Answer::Yes);
        rig.form.Exit1->trigger();
        QCOMPARE(rig.files.order, std::vector<std::string>({"rd.dt", "re.dt"}));
        QVERIFY(rig.files.files["rd.dt"] == active);
        QVERIFY(rig.files.files["re.dt"] == expired);
        QCOMPARE(rig.takeLog(), Log({"restoreTitle"}));
        QCOMPARE(rig.help.quits, 1);
        QCOMPARE(rig.hotKey.unregistrations, 1);
        QCOMPARE(ended.count(), 1);
        QVERIFY(rig.form.ended());
        QVERIFY(!rig.form.Monitor_Timer->isActive());
        // A second Exit (a stale menu) does nothing.
        rig.form.m_Exit1Click();
        QCOMPARE(rig.boxes.shown.size(), std::size_t(1));
    }

    void exitWriteErrorsAreShownAndTheProgramStays() {
        {
            Rig rig;
            rig.form.FormCreate();
            rig.files.writeError["rd.dt"] = IoCode::AccessDenied;
            rig.boxes.setNextAnswer(Answer::Yes);
            rig.form.Exit1->trigger();
            QVERIFY(rig.files.order.empty()); // "re.dt" is not written after "rd.dt" failed
            QCOMPARE(rig.boxes.texts().back(), std::string("File access denied"));
            QVERIFY(!rig.form.ended());
            QCOMPARE(rig.help.quits, 0);
        }
        {
            Rig rig;
            rig.form.FormCreate();
            rig.files.writeError["re.dt"] = IoCode::DiskFull;
            rig.boxes.setNextAnswer(Answer::Yes);
            rig.form.Exit1->trigger();
            QCOMPARE(rig.files.order, std::vector<std::string>({"rd.dt"}));
            QCOMPARE(rig.boxes.texts().back(), std::string("Disk full"));
            QVERIFY(!rig.form.ended());
        }
    }

    void exitGivesTheEditorsReminderBackFirst() {
        Rig rig;
        rig.form.FormCreate();
        const double day = *EncodeDate(2026, 12, 10);
        rig.store.EditBuffer = makeRecord(KindPopUp, day, 0.5, "being edited");
        rig.store.EditInProgress = true;
        rig.store.EditorMode = EditorEdit;
        rig.boxes.setNextAnswer(Answer::Yes);
        rig.form.Exit1->trigger();
        QVERIFY(rig.form.ended());
        QVERIFY(rig.files.files["rd.dt"] == imageOf({makeRecord(KindPopUp, day, 0.5, "being edited")}));
    }

    void aFailedExitLeavesTheEditorsReminderWithTheEditor() {
        Rig rig;
        rig.form.FormCreate();
        rig.store.EditBuffer = makeRecord(KindPopUp, *EncodeDate(2026, 12, 10), 0.5, "being edited");
        rig.store.EditInProgress = true;
        rig.store.EditorMode = EditorEdit;
        rig.files.writeError["rd.dt"] = IoCode::AccessDenied;
        rig.boxes.setNextAnswer(Answer::Yes);
        rig.form.Exit1->trigger();
        QVERIFY(!rig.form.ended());
        QVERIFY(rig.store.EditInProgress);
        QCOMPARE(rig.store.EditorMode, EditorEdit);
        QCOMPARE(rig.store.ActiveCount, 0);
    }

    void sessionEndSavesWithoutAsking() {
        Rig rig;
        rig.form.FormCreate();
        rig.store.AppendActive(makeRecord(KindTitle, *EncodeDate(2026, 12, 11), 0.5, "new"));
        rig.form.endSession();
        QVERIFY(rig.boxes.shown.empty());
        QCOMPARE(rig.files.order, std::vector<std::string>({"rd.dt", "re.dt"}));
        QCOMPARE(rig.files.files["rd.dt"].size(), RecordSize);
        QVERIFY(rig.form.ended());
    }

    // A session end that is called off after its save lets the program carry on: the editor still
    // holds its reminder, and its OK stores it once.
    void aSessionSaveDuringAnEditKeepsTheEdit() {
        Rig rig;
        rig.form.FormCreate();
        const ReminderRecord edited = makeRecord(KindPopUp, *EncodeDate(2026, 12, 10), 0.5, "being edited");
        rig.store.EditBuffer = edited;
        rig.store.EditInProgress = true;
        rig.store.EditorMode = EditorEdit;
        QVERIFY(rig.form.saveAll());
        QVERIFY(rig.files.files["rd.dt"] == imageOf({edited}));
        QVERIFY(rig.store.EditInProgress);
        QCOMPARE(rig.store.EditorMode, EditorEdit);
        QCOMPARE(rig.store.ActiveCount, 0);
        QVERIFY(!rig.form.ended());
    }

    void sessionEndWithAWriteErrorStays() {
        Rig rig;
        rig.form.FormCreate();
        rig.files.writeError["rd.dt"] = IoCode::AccessDenied;
        rig.form.endSession();
        QCOMPARE(rig.boxes.texts(), std::vector<std::string>({"File access denied"}));
        QVERIFY(!rig.form.ended());
    }

    void closeByAnotherWaySavesNothing() {
        Rig rig;
        rig.form.FormCreate();
        rig.titleModified = true;
        rig.takeLog();
        QSignalSpy ended(&rig.form, &TRMForm::programEnded);
        rig.form.close();
        QVERIFY(rig.files.order.empty());
        QCOMPARE(rig.takeLog(), Log({"restoreTitle"}));
        QCOMPARE(rig.help.quits, 1);
        QCOMPARE(ended.count(), 1);
    }

    void aboutBox() {
        Rig rig;
        TAboutBox box(MainIcon());
        rig.form.setAboutBox(&box);
        QCOMPARE(box.windowTitle(), QStringLiteral("About"));
        QVERIFY(box.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(box.ProductName->text(), QStringLiteral("Tellwick"));
        QCOMPARE(box.Comments->text(),
                 QStringLiteral("Use reminders of different types \nto plan events of different importance."));
        QVERIFY(box.OKButton->isDefault());
        QCOMPARE(TAboutBox::HelpContext, 10);
        rig.form.About2->trigger();
        QVERIFY(box.isVisible());
        QVERIFY(!box.isModal());
        QTest::mouseClick(box.OKButton, Qt::LeftButton);
        QVERIFY(!box.isVisible());
        rig.form.About1Click();
        QVERIFY(box.isVisible());
        QTest::keyClick(&box, Qt::Key_Escape);
        QVERIFY(!box.isVisible());
    }

    void helpWithoutAFileSaysSo() {
        fake::RecordingMessageBoxes boxes;
        platform::QtHelpViewer help(boxes);
        QTemporaryDir dir;
        help.setHelpFile(platform::FindHelpFile(dir.path()));
        QVERIFY(help.helpFile().isEmpty());
        help.showTopic("main_menu_top_page");
        QCOMPARE(boxes.texts(), std::vector<std::string>({platform::HelpMissingText}));
        QVERIFY(help.window() == nullptr);
        help.quit();
    }

    void helpOpensAtTheTopicAndQuitClosesIt() {
        fake::RecordingMessageBoxes boxes;
        platform::QtHelpViewer help(boxes);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("Help"));
        QVERIFY(QFile::copy(QStringLiteral(TELLWICK_HELP_FILE), dir.filePath("Help/tellwick.html")));
        help.setHelpFile(platform::FindHelpFile(dir.path()));
        QCOMPARE(help.helpFile(), dir.filePath("Help/tellwick.html"));
        help.showTopic("new reminder menu");
        QVERIFY(boxes.shown.empty());
        QVERIFY(help.window() != nullptr && help.window()->isVisible());
        QCOMPARE(help.window()->source().fragment(), QStringLiteral("new reminder menu"));
        QVERIFY(help.window()->toPlainText().contains("New and changed reminders"));
        help.showTopic("tools menu");
        QVERIFY(help.window()->isVisible());
        help.quit();
        QVERIFY(!help.window()->isVisible());
    }

    void helpFileHasAnAnchorForEveryTopic() {
        QFile f(QStringLiteral(TELLWICK_HELP_FILE));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        for (const char* topic :
             {"main_menu_top_page", "new reminder menu", "list of reminders menu", "tools menu", "SHM_contents0016"})
            QVERIFY2(html.contains(QStringLiteral("<a name=\"%1\">").arg(QLatin1String(topic))), topic);
    }

#ifndef _WIN32
    void secondCopyReachesTheFirstThroughTheSocket() {
        const std::string id = "/TMP/SOCKET-TEST/TELLWICK.OneInstance.";
        // A socket file left by a copy that was killed is cleared.
        QFile stale(platform::ActivationSocketPath(id));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        platform::ActivationServer server;
        QVERIFY(server.listen(id));
        QSignalSpy spy(&server, &platform::ActivationServer::activationRequested);
        QVERIFY(platform::RequestActivation(id));
        QVERIFY(spy.wait(2000));
        QCOMPARE(spy.count(), 1);
        server.close();
        QVERIFY(!platform::RequestActivation(id, 200));
    }
#endif

    void recentWindowIsBroughtForward() {
        platform::RecentWindowTracker tracker;
        QVERIFY(!tracker.bringForward());
        QWidget w;
        w.show();
        QApplication::setActiveWindow(&w);
        w.setFocus();
        QTRY_VERIFY(tracker.recentWindow() == &w);
        w.showMinimized();
        QVERIFY(tracker.bringForward());
        QVERIFY(!w.isMinimized());
        w.hide();
        QVERIFY(tracker.recentWindow() == nullptr);
    }

#ifndef _WIN32
    void terminationSignalsArriveAsEvents() {
        TerminationWatcher watcher;
        QVERIFY(watcher.isActive());
        QSignalSpy spy(&watcher, &TerminationWatcher::terminationRequested);
        std::raise(SIGTERM);
        std::raise(SIGHUP);
        QTRY_COMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toInt(), SIGTERM);
        QCOMPARE(spy.at(1).at(0).toInt(), SIGHUP);
    }
#endif
};

QTEST_MAIN(ShellWindowsTest)
#include "test_shell_windows.moc"
