// The main window's menus, handlers, start-up and exit, the about box, the help window, the
// commands of a second copy over the single-instance channel and the termination signals, on Qt's
// offscreen platform.
#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <future>
#include <memory>

#include "ShellDoubles.h"
#include "engine/ReminderEngine.h"
#include "platform/Cp1252.h"
#include "platform/InstanceChannel.h"
#include "platform/qt/InstanceChannelNotifier.h"
#include "platform/qt/QtHelpViewer.h"
#include "platform/qt/RecentWindowTracker.h"
#include "resources/icons/Icons.h"
#include "shell/CommandLine.h"
#include "shell/ShellWiring.h"
#include "tests/fakes/CountingBeeper.h"
#include "tests/fakes/FakeAlarm.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeTrayHost.h"
#include "tests/fakes/FakeWindows.h"
#include "tests/fakes/RecordingMessageBoxes.h"
#include "tests/fakes/RecordingPump.h"
#ifdef _WIN32
#include "platform/win32/WinLocale.h"
using SystemLocale = tw::platform::WinLocale;
#else
#include "platform/posix/PosixLocale.h"
#include "platform/posix/TerminationWatcher.h"
using SystemLocale = tw::platform::PosixLocale;
#endif
#include "shell/AboutBox.h"
#include "shell/LauncherWindow.h"
#include "shell/MainWindow.h"
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

// Everything one main window needs, with doubles, and every signal of the window writing into one
// call log. With foreign windows, one titled window is in front.
struct Rig {
    test::OrderedFileSystem files;
    fake::FakeClock clock{{2026, 12, 8, 9, 59, 30, 0}};
    SystemLocale locale;
    platform::Cp1252 codePage;
    fake::RecordingMessageBoxes boxes;
    fake::CountingBeeper beeper;
    fake::RecordingPump pump{&clock};
    tw::fake::RecordingHelp help;
    fake::FakeWindows windows;
    platform::WindowId front = windows.add("Editor");
    Store store{files};
    Services services;
    test::FakeHotKey hotKey;
    test::FakeDesktop desktop;
    fake::FakeAlarm alarm;
    std::vector<std::string> log;
    TRMForm form;

    explicit Rig(bool withWindows = false, platform::TrayHost* trayHost = nullptr)
        : services{store,    clock, locale,
                   codePage, boxes, beeper,
                   pump,     help,  fake::WindowsOrNone(windows, withWindows)},
          form{services, alarm, hotKey, desktop, trayHost} {
        windows.foreground = front;
        auto note = [this](const char* what) { return [this, what] { log.push_back(what); }; };
        QObject::connect(&form, &TRMForm::helpFileNeeded, note("findHelpFile"));
        QObject::connect(&form, &TRMForm::newReminderRequested, note("showEditor"));
        QObject::connect(&form, &TRMForm::listRequested, note("showList"));
        QObject::connect(&form, &TRMForm::viewLogRequested, note("viewLog"));
        QObject::connect(&form, &TRMForm::activitySampleDue, note("sampleTick"));
        QObject::connect(&form, &TRMForm::activityLogToggled,
                         [this](bool on) { log.push_back(on ? "log on" : "log off"); });
    }
    std::vector<std::string> takeLog() { return std::exchange(log, {}); }

    // The main window's parts, found by their names.
    QAction* action(const char* name) { return form.findChild<QAction*>(QLatin1String(name)); }
    QMenu* menu(const char* name) { return form.findChild<QMenu*>(QLatin1String(name)); }
    QTimer* timer(const char* name) { return form.findChild<QTimer*>(QLatin1String(name)); }
    QSystemTrayIcon* tray() { return form.findChild<QSystemTrayIcon*>(QStringLiteral("RxTrayIcon1")); }
    // The tray icon shows the picture of this resource.
    bool trayShows(const char* resource) {
        const QImage shown = tray()->icon().pixmap(16, 16).toImage();
        return !shown.isNull() && shown == LoadIconByName(resource).pixmap(16, 16).toImage();
    }
};

using Log = std::vector<std::string>;

} // namespace

class ShellWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void trayMenuHasEveryItemInOrder() {
        Rig rig;
        QMenu* popupMenu2 = rig.menu("PopupMenu2");
        QStringList names, texts;
        for (QAction* a : popupMenu2->actions()) {
            names << a->objectName();
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        QCOMPARE(names, QStringList({"DisableAll1", "NewReminder1", "ListofReminders1", "", "N3", "Help2", "About2",
                                     "N4", "Hide2", "Exit1"}));
        QCOMPARE(texts, QStringList({"&Disable All", "&New Reminder", "&List of Reminders", "Tools", "-", "&Help",
                                     "&About", "-", "H&ide", "E&xit"}));
        QCOMPARE(popupMenu2->actions().at(3)->menu(), rig.menu("ools1"));
        QCOMPARE(rig.menu("ools1")->actions(), QList<QAction*>({rig.action("StartLog1"), rig.action("ViewLog1")}));
        QCOMPARE(rig.action("StartLog1")->text(), QStringLiteral("Enable Log User Activity"));
        QCOMPARE(rig.action("ViewLog1")->text(), QStringLiteral("View Log"));
        QCOMPARE(popupMenu2->defaultAction(), rig.action("NewReminder1"));
        for (const char* name : {"DisableAll1", "Hide2", "StartLog1"})
            QVERIFY2(rig.action(name)->isCheckable() && !rig.action(name)->isChecked(), name);
        // Pictures on exactly four items.
        QStringList withIcons;
        for (QAction* a : popupMenu2->actions())
            if (!a->icon().isNull() && a->menu() == nullptr)
                withIcons << a->objectName();
        QCOMPARE(withIcons, QStringList({"NewReminder1", "ListofReminders1", "Help2", "About2"}));
        QVERIFY(rig.menu("PopupMenu1")->actions().isEmpty());
        QCOMPARE(rig.tray()->contextMenu(), popupMenu2);
        QCOMPARE(rig.tray()->toolTip(), QStringLiteral("Tellwick"));
        QCOMPARE(rig.timer("Flash_Timer")->interval(), 10000);
        QVERIFY(!rig.timer("Flash_Timer")->isActive());
        QCOMPARE(rig.timer("TimerS")->interval(), 1000);
    }

    void formCreateRunsItsStepsInOrderAndGoesOnAfterAFailedLoad() {
        Rig rig;
        const double day = *EncodeDate(2026, 12, 9);
        rig.files.files["rd.dt"] = imageOf({makeRecord(KindPopUp, day, 0.5, "later")});
        rig.files.files["re.dt"] = {1, 2, 3};
        rig.files.readError["re.dt"] = IoCode::AccessDenied;
        rig.store.RemindersEnabled = false;
        rig.store.TrayIconShown = false;
        rig.action("DisableAll1")->setChecked(true);
        rig.form.FormCreate();
        QCOMPARE(rig.takeLog(), Log({"findHelpFile"}));
        QCOMPARE(rig.hotKey.registrations, 1);
        QVERIFY(rig.hotKey.listener != nullptr);
        QCOMPARE(rig.store.ActiveCount, 1);
        QCOMPARE(rig.boxes.texts(), std::vector<std::string>({"File access denied"}));
        QVERIFY(rig.store.RemindersEnabled);
        QVERIFY(rig.store.TrayIconShown);
        QVERIFY(!rig.action("DisableAll1")->isChecked());
        // The first monitor step runs on the first turn of the event loop; it finds tomorrow's
        // reminder and sleeps until its minute.
        QVERIFY(rig.alarm.due(rig.clock.now()));
        QVERIFY(rig.alarm.fire());
        QCOMPARE(rig.alarm.at, std::optional(platform::LocalTime{2026, 12, 9, 12, 0, 0, 0}));
        QVERIFY(!rig.form.isVisible());
        QVERIFY(rig.files.order.empty());
    }

    void hotKeyTakenElsewhereIsIgnored() {
        Rig rig;
        rig.hotKey.refuse = true;
        rig.form.FormCreate();
        QVERIFY(rig.hotKey.listener == nullptr);
        QVERIFY(rig.boxes.shown.empty());
        rig.form.close();
        QCOMPARE(rig.hotKey.unregistrations, 0);
    }

    // Each step brings the tray icon up to date, runs the monitor step, and brings the icon up to
    // date again: no tick follows to catch up, so the flash of an icon reminder taken up in a step
    // shows at its end.
    void monitorStepChecksTheIconAroundTheStep() {
        Rig rig;
        rig.clock.set(2026, 12, 8, 9, 59, 59);
        rig.store.InsertActive(makeRecord(KindIcon, *EncodeDate(2026, 12, 8), EncodeTime(10, 0, 0, 0), "Tea"));
        rig.form.Monitor_TimerTimer();
        QVERIFY(rig.tray()->toolTip().contains(QStringLiteral("Active:  1")));
        QCOMPARE(rig.alarm.at, std::optional(platform::LocalTime{2026, 12, 8, 10, 0, 0, 0}));
        rig.clock.set(2026, 12, 8, 10, 0, 0);
        QVERIFY(rig.alarm.fireIfDue(rig.clock.now()));
        QVERIFY(rig.store.IconFlashing);
        QVERIFY(rig.timer("Flash_Timer")->isActive());
        QVERIFY(rig.tray()->toolTip().contains(QStringLiteral("Tea")));
    }

    void disableAllTogglesAndTheIconFollowsAtOnce() {
        Rig rig;
        rig.form.FormCreate();
        rig.form.Monitor_TimerTimer();
        QVERIFY(rig.trayShows("ICO_TRAY"));
        rig.action("DisableAll1")->trigger();
        QVERIFY(!rig.store.RemindersEnabled);
        QVERIFY(rig.action("DisableAll1")->isChecked());
        QVERIFY(rig.trayShows("ICO_TRAYD"));
        rig.action("DisableAll1")->trigger();
        QVERIFY(rig.store.RemindersEnabled);
        QVERIFY(!rig.action("DisableAll1")->isChecked());
        QVERIFY(rig.trayShows("ICO_TRAY"));
    }

    void hideTogglesTheIconAtOnce() {
        Rig rig;
        rig.form.FormCreate();
        QVERIFY(rig.tray()->isVisible());
        rig.action("Hide2")->trigger();
        QVERIFY(!rig.store.TrayIconShown);
        QVERIFY(rig.action("Hide2")->isChecked());
        QVERIFY(!rig.tray()->isVisible());
        rig.action("Hide2")->trigger();
        QVERIFY(rig.store.TrayIconShown);
        QVERIFY(!rig.action("Hide2")->isChecked());
        QVERIFY(rig.tray()->isVisible());
        QVERIFY(rig.tray()->toolTip().startsWith(" Reminders Counter: \n Active:  0"));
    }

    void menuOpeningShowsTheCurrentState() {
        Rig rig;
        rig.store.RemindersEnabled = false;
        rig.store.TrayIconShown = false;
        rig.form.PopupMenu2Popup();
        QVERIFY(rig.action("DisableAll1")->isChecked());
        QVERIFY(rig.action("Hide2")->isChecked());
        QVERIFY(!rig.action("StartLog1")->isChecked());
    }

    void itemsReachTheirWindows() {
        Rig rig;
        rig.action("NewReminder1")->trigger();
        rig.action("ListofReminders1")->trigger();
        rig.action("ViewLog1")->trigger();
        QCOMPARE(rig.takeLog(), Log({"showEditor", "showList", "viewLog"}));
        rig.action("Help2")->trigger();
        QCOMPARE(rig.help.topics, std::vector<std::string>({"main_menu_top_page"}));
    }

    void activityLogToggleDrivesTimerS() {
        Rig rig;
        rig.action("StartLog1")->trigger();
        QVERIFY(rig.timer("TimerS")->isActive());
        QCOMPARE(rig.takeLog(), Log({"log on"}));
        QTRY_COMPARE_WITH_TIMEOUT(rig.log, Log({"sampleTick"}), 2000);
        rig.action("StartLog1")->trigger();
        QVERIFY(!rig.timer("TimerS")->isActive());
        QCOMPARE(rig.takeLog(), Log({"sampleTick", "log off"}));
    }

    void clicksOnTheTrayIcon() {
        Rig rig;
        // A single click on the icon that does not blink does nothing.
        emit rig.tray()->activated(QSystemTrayIcon::Trigger);
        QVERIFY(rig.log.empty());
        // A double click performs the default item, "&New Reminder".
        emit rig.tray()->activated(QSystemTrayIcon::DoubleClick);
        QCOMPARE(rig.takeLog(), Log({"showEditor"}));
        // With the empty menu attached (a flash of the hidden icon) there is no default item.
        rig.tray()->setContextMenu(rig.menu("PopupMenu1"));
        emit rig.tray()->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(rig.log.empty());
        // A disabled default item is not performed either.
        rig.tray()->setContextMenu(rig.menu("PopupMenu2"));
        rig.action("NewReminder1")->setEnabled(false);
        rig.form.RxTrayIcon1DblClick();
        QVERIFY(rig.log.empty());
        // A click on the blinking icon reaches the engine, which stops the flash from counting on.
        TrayIconStates& tray = rig.form.engine().tray;
        tray.Icon_F();
        tray.Check_Ikon();
        QVERIFY(rig.timer("Flash_Timer")->isActive());
        emit rig.tray()->activated(QSystemTrayIcon::Trigger);
        QVERIFY(!rig.timer("Flash_Timer")->isActive());
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
        rig.tray()->hide();
        QVERIFY(rig.hotKey.listener != nullptr);
        QVERIFY(rig.hotKey.press());
        QVERIFY(rig.menu("PopupMenu2")->isVisible());
        rig.menu("PopupMenu2")->hide();
        // The empty menu of a flash of the hidden icon opens nothing.
        rig.tray()->setContextMenu(rig.menu("PopupMenu1"));
        rig.form.WMHotKey();
        QVERIFY(!rig.menu("PopupMenu1")->isVisible());
        QVERIFY(!rig.menu("PopupMenu2")->isVisible());
    }

    // Before the menu opens, the program's most recently active visible window comes forward.
    void hotKeyBringsTheRecentWindowForwardFirst() {
        Rig rig;
        rig.form.FormCreate();
        QWidget editor;
        editor.show();
        QApplication::setActiveWindow(&editor);
        editor.setFocus();
        QTRY_VERIFY(QApplication::activeWindow() == &editor);
        editor.showMinimized();
        QVERIFY(editor.isMinimized());
        QVERIFY(rig.hotKey.press());
        QVERIFY(!editor.isMinimized());
        QVERIFY(rig.menu("PopupMenu2")->isVisible());
        rig.menu("PopupMenu2")->hide();
    }

    void exitWithNoOrCancelKeepsEverything() {
        for (const Answer a : {Answer::No, Answer::Cancel}) {
            Rig rig;
            rig.form.FormCreate();
            QSignalSpy ended(&rig.form, &TRMForm::programEnded);
            rig.boxes.setNextAnswer(a);
            rig.action("Exit1")->trigger();
            QCOMPARE(rig.boxes.shown.size(), std::size_t(1));
            QCOMPARE(rig.boxes.shown[0].kind, fake::RecordingMessageBoxes::Shown::Confirm);
            QCOMPARE(rig.boxes.shown[0].text, std::string("Do you really want to close this program?"));
            QVERIFY(rig.files.order.empty());
            QVERIFY(!rig.form.ended());
            QCOMPARE(ended.count(), 0);
            QVERIFY(rig.alarm.armed());
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
        rig.takeLog();
        QSignalSpy ended(&rig.form, &TRMForm::programEnded);
        rig.boxes.setNextAnswer(Answer::Yes);
        rig.action("Exit1")->trigger();
        QCOMPARE(rig.files.order, std::vector<std::string>({"rd.dt", "re.dt"}));
        QVERIFY(rig.files.files["rd.dt"] == active);
        QVERIFY(rig.files.files["re.dt"] == expired);
        QCOMPARE(rig.help.quits, 1);
        QCOMPARE(rig.hotKey.unregistrations, 1);
        QCOMPARE(ended.count(), 1);
        QVERIFY(rig.form.ended());
        QVERIFY(!rig.alarm.armed());
        rig.store.NotifyChanged(); // nothing wakes the monitor of an ended program
        QVERIFY(!rig.alarm.armed());
        // A second Exit (a stale menu) does nothing.
        rig.form.m_Exit1Click();
        QCOMPARE(rig.boxes.shown.size(), std::size_t(1));
    }

    // Closing the program while a title reminder runs in another window's title gives that window
    // its own title back, whichever way the program ends.
    void closeDuringATitleDisplayRestoresTheTitle() {
        Rig rig(true);
        rig.form.FormCreate();
        rig.store.InsertActive(makeRecord(KindTitle, *EncodeDate(2026, 12, 8), EncodeTime(10, 0, 0, 0), "Call"));
        rig.clock.set(2026, 12, 8, 10, 0, 0);
        bool closed = false;
        rig.pump.onProcess = [&] {
            if (!closed && rig.pump.processed == 300) {
                QVERIFY(rig.windows.windows[rig.front].title != "Editor");
                closed = true;
                rig.form.close();
            }
        };
        rig.form.Monitor_TimerTimer();
        QVERIFY(closed);
        QCOMPARE(rig.windows.windows[rig.front].title, std::string("Editor"));
        QCOMPARE(rig.help.quits, 1);
    }

    void exitWriteErrorsAreShownAndTheProgramStays() {
        {
            Rig rig;
            rig.form.FormCreate();
            rig.files.writeError["rd.dt"] = IoCode::AccessDenied;
            rig.boxes.setNextAnswer(Answer::Yes);
            rig.action("Exit1")->trigger();
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
            rig.action("Exit1")->trigger();
            QCOMPARE(rig.files.order, std::vector<std::string>({"rd.dt"}));
            QCOMPARE(rig.boxes.texts().back(), std::string("Disk full"));
            QVERIFY(!rig.form.ended());
        }
    }

    void exitGivesTheEditorsReminderBackFirst() {
        Rig rig;
        rig.form.FormCreate();
        const double day = *EncodeDate(2026, 12, 10);
        rig.store.AppendActive(makeRecord(KindPopUp, day, 0.5, "being edited"));
        rig.store.BeginEdit(TableId::Active, 0);
        rig.boxes.setNextAnswer(Answer::Yes);
        rig.action("Exit1")->trigger();
        QVERIFY(rig.form.ended());
        QVERIFY(rig.files.files["rd.dt"] == imageOf({makeRecord(KindPopUp, day, 0.5, "being edited")}));
    }

    void aFailedExitLeavesTheEditorsReminderWithTheEditor() {
        Rig rig;
        rig.form.FormCreate();
        rig.store.AppendActive(makeRecord(KindPopUp, *EncodeDate(2026, 12, 10), 0.5, "being edited"));
        rig.store.BeginEdit(TableId::Active, 0);
        rig.files.writeError["rd.dt"] = IoCode::AccessDenied;
        rig.boxes.setNextAnswer(Answer::Yes);
        rig.action("Exit1")->trigger();
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
    // holds its reminder, and its OK stores it once. The save writes the files as they would be
    // with the edit given back; the live tables are not touched, so the open list sees no change.
    void aSessionSaveDuringAnEditKeepsTheEdit() {
        Rig rig;
        rig.form.FormCreate();
        const ReminderRecord edited = makeRecord(KindPopUp, *EncodeDate(2026, 12, 10), 0.5, "being edited");
        const ReminderRecord other = makeRecord(KindPopUp, *EncodeDate(2026, 12, 11), 0.5, "other");
        rig.store.AppendActive(other);
        rig.store.AppendActive(edited);
        rig.store.BeginEdit(TableId::Active, 1);
        rig.store.TablesChanged = false;
        QVERIFY(rig.form.saveAll());
        QVERIFY(rig.files.files["rd.dt"] == imageOf({other, edited}));
        QVERIFY(rig.store.EditInProgress);
        QCOMPARE(rig.store.EditorMode, EditorEdit);
        QCOMPARE(rig.store.ActiveCount, 1);
        QVERIFY(!rig.store.TablesChanged);
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
        rig.takeLog();
        QSignalSpy ended(&rig.form, &TRMForm::programEnded);
        rig.form.close();
        QVERIFY(rig.files.order.empty());
        QCOMPARE(rig.help.quits, 1);
        QCOMPARE(ended.count(), 1);
    }

    void aboutBox() {
        Rig rig;
        TAboutBox box(MainIcon(), rig.help);
        QObject::connect(&rig.form, &TRMForm::aboutRequested, &box, &TAboutBox::bringUp);
        QCOMPARE(box.windowTitle(), QStringLiteral("About"));
        QVERIFY(box.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(box.ProductName->text(), QStringLiteral("Tellwick"));
        QCOMPARE(box.Comments->text(),
                 QStringLiteral("Use reminders of different types \nto plan events of different importance."));
        QVERIFY(box.OKButton->isDefault());
        rig.action("About2")->trigger();
        QVERIFY(box.isVisible());
        QVERIFY(!box.isModal());
        const WId shownAs = box.winId();
        QTest::keyClick(box.OKButton, Qt::Key_F1);
        QCOMPARE(rig.help.topics, std::vector<std::string>({"main_menu_top_page"}));
        QVERIFY(box.isVisible());
        QTest::mouseClick(box.OKButton, Qt::LeftButton);
        QVERIFY(!box.isVisible());
        rig.form.About1Click();
        QVERIFY(box.isVisible());
        QTest::keyClick(&box, Qt::Key_Escape);

        QVERIFY(!box.isVisible());
        // The close box only hides it: the desktop (and the activity log) keeps seeing one window.
        rig.form.About1Click();
        box.close();
        QVERIFY(!box.isVisible());
        rig.form.About1Click();
        QVERIFY(box.isVisible());
        QCOMPARE(box.winId(), shownAs);
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

    // Commands of a second copy over the real channel: each verb reaches the main window through
    // its one method and is answered once carried out; --add stores and saves "rd.dt" and answers
    // with its line, or refuses with the reason; --quit saves both files before its answer.
    // Unknown verbs, and an argument for a verb that takes none, change nothing.
    void secondCopysCommandsReachTheMainWindow() {
        Rig rig;
        rig.form.FormCreate();
        rig.takeLog();
        rig.store.AppendActive(makeRecord(KindTitle, *EncodeDate(2026, 12, 11), 0.5, "kept"));
        rig.store.SaveActive();
        const std::string id = "/TMP/CHANNEL-TEST/TELLWICK.OneInstance.";
        const auto channel = platform::MakeInstanceChannel();
        QVERIFY(channel->listen(id));
        platform::InstanceChannelNotifier notifier(
            *channel, [&rig](const platform::InstanceMessage& m) { return CarryOut(rig.form, m); });
        notifier.start();
        const auto sender = platform::MakeInstanceChannel();
        std::string text;
        auto send = [&](const char* verb, const char* argument) {
            auto answer = std::async(std::launch::async, [&] {
                return sender->send(id, {verb, argument}, 5000, &text);
            });
            while (answer.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
                QCoreApplication::processEvents();
            return answer.get();
        };
        using platform::SendResult;
        const struct {
            const char* verb;
            const char* argument;
            SendResult result;
            Log log;
            std::string text = {};
            int records = 1; // in "rd.dt" as saved last
        } cases[] = {
            {"activate", "", SendResult::Done, {}},
            {"new", "", SendResult::Done, {"showEditor"}},
            {"list", "", SendResult::Done, {"showList"}},
            {"menu", "", SendResult::Done, {}}, // no tray on offscreen: into reach only
            {"bogus", "", SendResult::Ignored, {}},
            {"new", "text", SendResult::Ignored, {}},
            {"add", "", SendResult::Ignored, {}},
            {"add", "in 2 h tea", SendResult::Done, {}, "08/Dec/26 11:59 Once tea", 2},
            {"add", "tomorrow tea", SendResult::Refused, {}, "No time of day", 2},
            {"add", "9am tea", SendResult::Done, {}, "09/Dec/26 09:00 Once tea", 3},
            {"quit", "", SendResult::Done, {}, {}, 3},
            {"list", "", SendResult::Failed, {}, {}, 3}, // the program has ended
            {"add", "9am tea", SendResult::Failed, {}, {}, 3},
        };
        for (const auto& c : cases) {
            rig.files.order.clear();
            QCOMPARE(send(c.verb, c.argument), c.result);
            QCOMPARE(rig.takeLog(), c.log);
            QCOMPARE(text, c.text);
            QCOMPARE(rig.files.files["rd.dt"].size(), c.records * RecordSize);
            if (std::strcmp(c.verb, "add") == 0)
                QCOMPARE(rig.files.order, std::vector<std::string>(c.result == SendResult::Done, "rd.dt"));
            if (std::strcmp(c.verb, "quit") == 0) {
                QVERIFY(rig.form.ended());
                QVERIFY(rig.boxes.shown.empty());
                QCOMPARE(rig.files.order, std::vector<std::string>({"rd.dt", "re.dt"}));
            }
        }
        channel->close();
        QCOMPARE(sender->send(id, {"activate", ""}, 500), SendResult::NotRunning);
    }

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

    // Without a notification area the window "Tellwick" comes up after the start-up wait and holds
    // the tray menu's commands; with one from the start nothing changes.
    void launcherWhereNoTrayHostIs() {
        fake::FakeTrayHost there(true);
        Rig withTray(false, &there);
        withTray.form.FormCreate();
        QVERIFY(!withTray.timer("TrayWait_Timer")->isActive());
        withTray.form.reach();
        QVERIFY(withTray.form.launcher() == nullptr);

        fake::FakeTrayHost host(false);
        Rig rig(false, &host);
        QWidget about;
        QObject::connect(&rig.form, &TRMForm::aboutRequested, &about, &QWidget::show);
        rig.form.FormCreate();
        rig.takeLog();
        QTimer* wait = rig.timer("TrayWait_Timer");
        QVERIFY(wait->isActive());
        QCOMPARE(wait->interval(), 3000);
        QVERIFY(rig.form.launcher() == nullptr);
        wait->start(0);
        QTRY_VERIFY(rig.form.launcher() != nullptr && rig.form.launcher()->isVisible());
        LauncherWindow& w = *rig.form.launcher();
        QCOMPARE(w.windowTitle(), QStringLiteral("Tellwick"));
        QVERIFY(w.Info->text().contains(QStringLiteral("no tray icons")));
        QVERIFY(w.Info->text().contains(QStringLiteral("tellwick --new")));
        QVERIFY(w.Tools->menu() == rig.menu("ools1"));
        QVERIFY(w.findChild<QAbstractButton*>(QStringLiteral("Hide2")) == nullptr);

        // Each control: its text with a mnemonic of its own, its screen-reader name, and what it does.
        struct Control {
            QAbstractButton* button;
            const char* text;
            std::function<bool()> didItsJob;
        };
        const Control controls[] = {
            {w.DisableAll, "&Disable All", [&] { return !rig.store.RemindersEnabled; }},
            {w.NewReminder, "&New Reminder", [&] { return rig.takeLog() == Log({"showEditor"}); }},
            {w.ListOfReminders, "&List of Reminders", [&] { return rig.takeLog() == Log({"showList"}); }},
            {w.Tools, "&Tools", nullptr},
            {w.Help, "&Help", [&] { return rig.help.topics == std::vector<std::string>({"main_menu_top_page"}); }},
            {w.About, "&About", [&] { return about.isVisible(); }},
            {w.Exit, "E&xit", [&] { return rig.boxes.texts().size() == 1 && !rig.form.ended(); }},
        };
        QSet<QKeySequence> mnemonics;
        for (const Control& c : controls) {
            QCOMPARE(c.button->text(), QString::fromLatin1(c.text));
            mnemonics.insert(QKeySequence::mnemonic(c.button->text()));
            QCOMPARE(QAccessible::queryAccessibleInterface(c.button)->text(QAccessible::Name),
                     QString::fromLatin1(c.text).remove(QLatin1Char('&')));
            if (c.didItsJob) {
                c.button->click();
                QVERIFY2(c.didItsJob(), c.text);
            }
        }
        QCOMPARE(mnemonics.size(), 7);
        QVERIFY(!mnemonics.contains(QKeySequence()));
        // "Disable All" is in step with the tray menu's item both ways.
        QVERIFY(rig.action("DisableAll1")->isChecked() && w.DisableAll->isChecked());
        rig.action("DisableAll1")->trigger();
        QVERIFY(!w.DisableAll->isChecked() && rig.store.RemindersEnabled);

        // The keyboard: Alt and a mnemonic, Enter for the default "New Reminder", Escape hides.
        QApplication::setActiveWindow(&w);
        QTRY_VERIFY(w.isActiveWindow());
        QTest::keyClick(&w, Qt::Key_L, Qt::AltModifier);
        QTRY_COMPARE(rig.log, Log({"showList"})); // a mnemonic clicks after a short animation
        rig.takeLog();
        QTest::keyClick(&w, Qt::Key_Return);
        QCOMPARE(rig.takeLog(), Log({"showEditor"}));
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        // A second start brings it back; so does the close box hide it only.
        rig.form.reach();
        QVERIFY(w.isVisible());
        QVERIFY(!w.close());
        QVERIFY(!w.isVisible());
        QVERIFY(rig.form.launcher() == &w);

        // A tray host that comes later: a second start brings the recent window forward instead.
        host.set(true);
        rig.form.reach();
        QVERIFY(!w.isVisible());
        // The host goes away: the window comes up; not when the icon was hidden on purpose.
        host.set(false);
        QVERIFY(w.isVisible());
        w.hide();
        host.set(true);
        rig.action("Hide2")->trigger();
        host.set(false);
        QVERIFY(!w.isVisible());
        // The end of the program hides it.
        rig.form.showLauncher();
        rig.form.close();
        QVERIFY(!w.isVisible());
    }

#ifndef _WIN32
    void terminationSignalsArriveAsEvents() {
        platform::TerminationWatcher watcher;
        QVERIFY(watcher.isActive());
        QSignalSpy spy(&watcher, &platform::TerminationWatcher::terminationRequested);
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
