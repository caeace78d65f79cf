// The list of reminders on the offscreen platform: rows and captions, delete and edit by key, menu
// and double-click, a pending edit, the refresh after the monitor moved a reminder, and focus.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "DialogHarness.h"
#include "dialogs/ListRules.h"
#include "dialogs/ReminderEditor.h"
#include "dialogs/ReminderListWindow.h"
#include "engine/Monitor.h"
#include "platform/qt/TrayNotifier.h"
#include "store/Recurrence.h"

using namespace tw;
using tw::test::DialogEnv;
using tw::test::MakeReminder;

namespace {

class NoShow : public Activation {
public:
    void Viz_Rem(ReminderRecord&) override {}
};

} // namespace

class ListTest : public QObject {
    Q_OBJECT

    DialogEnv* env = nullptr;
    Tf_Reminder* editor = nullptr;
    TPagesDlg* list = nullptr;

    // n active reminders on 20 Dec 2026 at 10:00, 10:01, ...; the table kept in descending order.
    void addActive(int n) {
        for (int i = 0; i < n; ++i)
            env->store.InsertActive(MakeReminder(KindPopUp, 2026, 12, 20, 10, i, "r" + std::to_string(i)));
    }
    void addExpired(int n) {
        for (int i = 0; i < n; ++i)
            env->store.AppendExpired(MakeReminder(KindTitle, 2026, 11, 1 + i, 8, 0, "e" + std::to_string(i)));
    }
    QString cell(QTableWidget* g, int row, int col) { return g->item(row - 1, col)->text(); }
    // Makes a row current as a click would, without the dialog's refusal of empty cells.
    void makeCurrent(QTableWidget* g, int row) { g->setCurrentCell(row - 1, 0); }
    QPoint centreOf(QTableWidget* g, int row, int col) { return g->visualItemRect(g->item(row - 1, col)).center(); }

private slots:
    void init() {
        env = new DialogEnv;
        editor = new Tf_Reminder(env->services);
        list = new TPagesDlg(env->services, *editor);
    }
    void cleanup() {
        delete list;
        delete editor;
        delete env;
    }

    void emptyTables() {
        list->Show();
        QVERIFY(list->isVisible());
        QCOMPARE(list->objectName(), QStringLiteral("PagesDlg"));
        QCOMPARE(list->windowTitle(), QStringLiteral("List of Reminders"));
        QCOMPARE(list->PageControl1->tabText(0), QStringLiteral("Active Reminders:  0"));
        QCOMPARE(list->PageControl1->tabText(1), QStringLiteral("Expired Reminders:  0"));
        QVERIFY(list->Timer1->isActive());
        QCOMPARE(list->Timer1->interval(), 500);
        for (QTableWidget* g :
             {static_cast<QTableWidget*>(list->StringGrid1), static_cast<QTableWidget*>(list->StringGrid2)}) {
            QCOMPARE(g->columnCount(), 7);
            QCOMPARE(g->rowCount(), 10); // ten data rows below the header row
            const char* headers[] = {"Date", "Time", "Type", "Beep", "Repeat", "Text of Reminder", " "};
            for (int c = 0; c < 7; ++c)
                QCOMPARE(g->horizontalHeaderItem(c)->text(), QString::fromLatin1(headers[c]));
            QVERIFY(g->columnWidth(NoteColumn) >= 238); // wider where the font needs it
        }
        makeCurrent(list->StringGrid1, 1);
        list->Edit1Click();
        list->Delete1Click();
        QTest::keyClick(list->StringGrid1, Qt::Key_Return);
        QTest::keyClick(list->StringGrid1, Qt::Key_Delete);
        QTest::mouseDClick(list->StringGrid1->viewport(), Qt::LeftButton, {}, centreOf(list->StringGrid1, 1, 0));
        QVERIFY(!editor->isVisible());
        QVERIFY(!env->store.EditInProgress);
        QCOMPARE(list->StringGrid1->rowCount(), 10);
        QTest::keyClick(list, Qt::Key_Escape); // Escape does nothing here
        QVERIFY(list->isVisible());
    }

    void fifteenActiveFromNextDueToLatest() {
        addActive(15);
        addExpired(2);
        list->Show();
        QCOMPARE(list->PageControl1->tabText(0), QStringLiteral("Active Reminders:  15"));
        QCOMPARE(list->PageControl1->tabText(1), QStringLiteral("Expired Reminders:  2"));
        QTableWidget* g = list->StringGrid1;
        QCOMPARE(g->rowCount(), 15);
        QCOMPARE(cell(g, 1, 1), QStringLiteral("10:00"));
        QCOMPARE(cell(g, 1, NoteColumn), QStringLiteral("r0"));
        QCOMPARE(cell(g, 15, 1), QStringLiteral("10:14"));
        QCOMPARE(cell(g, 1, 0), QStringLiteral("20/Dec/26"));
        QCOMPARE(cell(g, 1, 2), QStringLiteral("PopUp"));
        QCOMPARE(cell(g, 1, 3), QStringLiteral("Mute"));
        QCOMPARE(cell(g, 1, ParkColumn), QString());
        // The expired grid shows the most recently expired first.
        QCOMPARE(cell(list->StringGrid2, 1, NoteColumn), QStringLiteral("e1"));
        QCOMPARE(cell(list->StringGrid2, 2, NoteColumn), QStringLiteral("e0"));
        QCOMPARE(cell(list->StringGrid2, 3, NoteColumn), QString());
        QCOMPARE(list->StringGrid2->rowCount(), 10);
    }

    void columnTexts() {
        env->store.InsertActive(MakeReminder(77, 2026, 12, 31, 23, 59, "a\r\nb", 1));
        ReminderRecord weekly = MakeReminder(KindPopUp, 2027, 1, 5, 9, 0, "w");
        WriteRule(weekly, RuleAt(Repeat::EveryWeek, weekly.RemDate, weekly.RemTime));
        env->store.InsertActive(weekly);
        env->store.AppendExpired(MakeReminder(KindPopUp, 2026, 12, 1, 9, 0, "gone"));
        list->Show();
        QCOMPARE(cell(list->StringGrid1, 1, RepeatColumn), QStringLiteral("Once"));
        QCOMPARE(cell(list->StringGrid1, 2, RepeatColumn), QStringLiteral("Every week"));
        QCOMPARE(cell(list->StringGrid2, 1, RepeatColumn), QStringLiteral("Once"));
        QCOMPARE(list->StringGrid1->horizontalHeaderItem(RepeatColumn)->text(), QStringLiteral("Repeat"));
        QCOMPARE(cell(list->StringGrid1, 1, 2), QString());
        QCOMPARE(cell(list->StringGrid1, 1, 3), QStringLiteral("Beep"));
        QCOMPARE(cell(list->StringGrid1, 1, NoteColumn), QStringLiteral("a  b"));
        QCOMPARE(cell(list->StringGrid1, 1, 1), QStringLiteral("23:59"));
    }

    void deleteKeyKeepsTheOrderAndWritesNoFile() {
        addActive(4);
        list->Show();
        QVERIFY(QTest::qWaitForWindowActive(list));
        QVERIFY(list->StringGrid1->hasFocus());
        QTest::keyClick(list->StringGrid1, Qt::Key_Down); // row 2: 10:01
        QCOMPARE(list->StringGrid1->currentRow(), 1);
        QTest::keyClick(list->StringGrid1, Qt::Key_Delete);
        QCOMPARE(env->store.ActiveCount, 3);
        QCOMPARE(NoteText(env->store.ActiveTable[0]), std::string("r3"));
        QCOMPARE(NoteText(env->store.ActiveTable[1]), std::string("r2"));
        QCOMPARE(NoteText(env->store.ActiveTable[2]), std::string("r0"));
        QCOMPARE(cell(list->StringGrid1, 2, NoteColumn), QStringLiteral("r2"));
        QCOMPARE(cell(list->StringGrid1, 4, NoteColumn), QString());
        QVERIFY(env->store.TablesChanged);
        QCOMPARE(env->files.writeCount("rd.dt"), 0);
    }

    void deletingTheOnlyReminderEmptiesTheGridAndTheCaptionFollows() {
        addExpired(1);
        list->Show();
        list->PageControl1->setCurrentIndex(1);
        makeCurrent(list->StringGrid2, 1);
        list->RxPopupMenu2->actions().at(1)->trigger(); // "Delete"
        QCOMPARE(env->store.ExpiredCount, 0);
        QCOMPARE(list->StringGrid2->rowCount(), 10);
        QCOMPARE(cell(list->StringGrid2, 1, NoteColumn), QString());
        QTRY_COMPARE_WITH_TIMEOUT(list->PageControl1->tabText(1), QStringLiteral("Expired Reminders:  0"), 600);
        QVERIFY(!env->store.TablesChanged);
    }

    void deleteAndEditOnAnEmptyRowDoNothing() {
        addActive(2);
        list->Show();
        makeCurrent(list->StringGrid1, 5);
        list->Delete1Click();
        list->Edit1Click();
        QCOMPARE(env->store.ActiveCount, 2);
        QVERIFY(!env->store.EditInProgress);
        QVERIFY(!editor->isVisible());
    }

    void enterOnAnExpiredRowEditsItAndOkMakesItActive() {
        addExpired(3);
        list->Show();
        QVERIFY(QTest::qWaitForWindowActive(list));
        list->PageControl1->setCurrentIndex(1);
        list->StringGrid2->setFocus(Qt::TabFocusReason);
        QCOMPARE(list->StringGrid2->currentRow(), 0); // entering selects row 1
        QTest::keyClick(list->StringGrid2, Qt::Key_Return);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->windowTitle(), QStringLiteral("Edit Reminder"));
        QCOMPARE(editor->Memo1->toPlainText(), QStringLiteral("e2"));
        QVERIFY(env->store.EditInProgress);
        QCOMPARE(env->store.ExpiredCount, 2);
        editor->b_OKClick();
        QCOMPARE(env->store.ActiveCount, 1);
        QCOMPARE(NoteText(env->store.ActiveTable[0]), std::string("e2"));
        QCOMPARE(env->store.ActiveTable[0].Kind, KindTitle);
        QVERIFY(!env->store.EditInProgress);
        QTRY_COMPARE_WITH_TIMEOUT(list->PageControl1->tabText(0), QStringLiteral("Active Reminders:  1"), 600);
    }

    void doubleClickEditsAndASecondEditWaits() {
        addActive(3);
        list->Show();
        QVERIFY(QTest::qWaitForWindowActive(list));
        QWidget* vp = list->StringGrid1->viewport();
        QTest::mouseClick(vp, Qt::LeftButton, {}, centreOf(list->StringGrid1, 2, NoteColumn));
        QTest::mouseDClick(vp, Qt::LeftButton, {}, centreOf(list->StringGrid1, 2, NoteColumn));
        QVERIFY(env->store.EditInProgress);
        QCOMPARE(NoteText(env->store.EditBuffer), std::string("r1"));
        QCOMPARE(env->store.ActiveCount, 2);
        // While the edit is pending a second Edit changes nothing; Delete still works.
        makeCurrent(list->StringGrid1, 1);
        list->Edit1Click();
        QCOMPARE(env->store.ActiveCount, 2);
        QCOMPARE(NoteText(env->store.EditBuffer), std::string("r1"));
        // Cancel gives it back.
        editor->b_CancelClick();
        QCOMPARE(env->store.ActiveCount, 3);
        QCOMPARE(NoteText(env->store.ActiveTable[1]), std::string("r1"));
    }

    void editOverwritesAnOpenNewReminder() {
        addActive(1);
        editor->show();
        QTest::keyClicks(editor->Memo1, "half typed");
        list->Show();
        makeCurrent(list->StringGrid1, 1);
        list->Edit1Click();
        QCOMPARE(editor->Memo1->toPlainText(), QStringLiteral("r0"));
        QCOMPARE(env->store.EditorMode, EditorEdit);
    }

    void emptyCellsCannotBeSelected() {
        addActive(2);
        env->store.InsertActive(MakeReminder(5, 2026, 12, 19, 10, 0, "odd kind")); // next due: row 1
        list->Show();
        QVERIFY(QTest::qWaitForWindowActive(list));
        QTableWidget* g = list->StringGrid1;
        QWidget* vp = g->viewport();
        QTest::mouseClick(vp, Qt::LeftButton, {}, centreOf(g, 2, NoteColumn));
        QCOMPARE(g->currentRow(), 1);
        QTest::mouseClick(vp, Qt::LeftButton, {}, centreOf(g, 7, 1)); // an empty row
        QCOMPARE(g->currentRow(), 1);
        QTest::mouseClick(vp, Qt::LeftButton, {}, centreOf(g, 1, 2)); // the empty Type cell
        QCOMPARE(g->currentRow(), 1);
        QTest::keyClick(g, Qt::Key_Down);
        QTest::keyClick(g, Qt::Key_Down); // below the last reminder: refused
        QCOMPARE(g->currentRow(), 2);
        // A double click anywhere, an empty cell too, edits the current row.
        QTest::mouseDClick(vp, Qt::LeftButton, {}, centreOf(g, 8, 0));
        QVERIFY(env->store.EditInProgress);
        QCOMPARE(editor->Memo1->toPlainText(), QStringLiteral("r1"));
    }

    void focusSelectsRowOneAndLeavingParksTheSelection() {
        addActive(3);
        list->Show();
        QVERIFY(QTest::qWaitForWindowActive(list));
        QTableWidget* g = list->StringGrid1;
        QVERIFY(g->hasFocus());
        QCOMPARE(g->selectionBehavior(), QAbstractItemView::SelectRows);
        QList<QTableWidgetSelectionRange> ranges = g->selectedRanges();
        QCOMPARE(ranges.size(), 1);
        QCOMPARE(ranges[0].topRow(), 0);
        QCOMPARE(ranges[0].leftColumn(), 0);
        QCOMPARE(ranges[0].rightColumn(), NoteColumn);
        QCOMPARE(list->GridSelection, (std::array<std::int32_t, 4>{0, 1, NoteColumn, 1}));

        list->Button1->setFocus(Qt::TabFocusReason);
        QVERIFY(!g->hasFocus());
        for (const QTableWidgetSelectionRange& r : g->selectedRanges())
            QVERIFY(r.leftColumn() == ParkColumn && r.rightColumn() == ParkColumn); // no highlighted row
        QCOMPARE(g->currentRow(), 0);
        QCOMPARE(g->selectionBehavior(), QAbstractItemView::SelectItems);
        QCOMPARE(g->horizontalScrollBar()->value(), 0);
        QCOMPARE(list->GridSelection, (std::array<std::int32_t, 4>{ParkColumn, 1, ParkColumn, 1}));
    }

    void contextMenuKeepsTheRowItActsOn() {
        addActive(3);
        list->Show();
        QVERIFY(QTest::qWaitForWindowActive(list));
        QTableWidget* g = list->StringGrid1;
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, centreOf(g, 3, 0));
        list->RxPopupMenu1->popup(g->viewport()->mapToGlobal(QPoint(5, 5)));
        QTRY_VERIFY(list->RxPopupMenu1->isVisible());
        // Keys on the open menu are the menu's: F1 is not the window's help, Escape closes only the menu.
        for (Qt::Key key : {Qt::Key_F1, Qt::Key_Escape})
            QTest::keyClick(list->RxPopupMenu1->windowHandle(), key);
        QVERIFY(!list->RxPopupMenu1->isVisible());
        QVERIFY(list->isVisible());
        QVERIFY(env->help.topics.empty());
        QCOMPARE(g->currentRow(), 2); // the menu did not count as leaving the grid
        list->Delete1->trigger();
        QCOMPARE(env->store.ActiveCount, 2);
        QCOMPARE(NoteText(env->store.ActiveTable[0]), std::string("r1"));
    }

    void clickOnTheMissedNoticeOpensTheExpiredPage() {
        addExpired(2);
        QSystemTrayIcon tray;
        platform::TrayNotifier notifier(tray);
        notifier.setUseNotificationService(false); // no desktop here: the tray's balloon
        struct OpensExpired : platform::NoticeListener {
            TPagesDlg* window = nullptr;
            void noticeClicked() override { window->ShowExpired(); }
        } opensExpired;
        opensExpired.window = list;
        notifier.setListener(&opensExpired);
        notifier.notify("Missed reminders", "2 reminders passed while they could not be shown");
        QCOMPARE(notifier.lastRoute(), platform::TrayNotifier::Route::None); // no balloon without the icon
        tray.show();
        notifier.notify("Missed reminders", "2 reminders passed while they could not be shown");
        QCOMPARE(notifier.lastRoute(), platform::TrayNotifier::Route::Balloon);
        QVERIFY(!list->isVisible());
        emit tray.messageClicked();
        QVERIFY(list->isVisible());
        QCOMPARE(list->PageControl1->currentIndex(), 1);
        QCOMPARE(cell(list->StringGrid2, 1, NoteColumn), QStringLiteral("e1"));
        // Open on the active page already: the click turns it to the expired page.
        list->PageControl1->setCurrentIndex(0);
        emit tray.messageClicked();
        QCOMPARE(list->PageControl1->currentIndex(), 1);
    }

    void refreshAfterTheMonitorMovesAReminder() {
        env->store.InsertActive(MakeReminder(KindPopUp, 2026, 12, 8, 8, 0, "missed"));
        addActive(1);
        list->Show();
        QCOMPARE(list->PageControl1->tabText(0), QStringLiteral("Active Reminders:  2"));
        env->store.TablesChanged = false;
        NoShow display;
        HandBack handBack(env->store);
        Monitor monitor(env->store, env->clock, env->boxes, display, handBack);
        monitor.Mon_Rem(); // 09:00: the 08:00 reminder is overdue and goes to the expired table
        QCOMPARE(env->store.ExpiredCount, 1);
        QTRY_COMPARE_WITH_TIMEOUT(list->PageControl1->tabText(1), QStringLiteral("Expired Reminders:  1"), 600);
        QCOMPARE(list->PageControl1->tabText(0), QStringLiteral("Active Reminders:  1"));
        QCOMPARE(cell(list->StringGrid2, 1, NoteColumn), QStringLiteral("missed"));
    }

    void deleteAndEditOfARowTheMonitorChangedRefreshFirst() {
        env->store.InsertActive(MakeReminder(KindPopUp, 2026, 12, 8, 8, 0, "missed"));
        addActive(1);
        list->Show();
        QVERIFY(QTest::qWaitForWindowActive(list));
        QCOMPARE(cell(list->StringGrid1, 1, NoteColumn), QStringLiteral("missed"));
        NoShow display;
        HandBack handBack(env->store);
        Monitor monitor(env->store, env->clock, env->boxes, display, handBack);
        monitor.Mon_Rem(); // row 1 now maps to "r0", but the grid still shows "missed"
        QTest::keyClick(list->StringGrid1, Qt::Key_Delete);
        QCOMPARE(env->store.ActiveCount, 1); // "r0" was not deleted unseen
        QCOMPARE(cell(list->StringGrid1, 1, NoteColumn), QStringLiteral("r0"));
        QCOMPARE(list->PageControl1->tabText(1), QStringLiteral("Expired Reminders:  1"));

        env->store.InsertActive(MakeReminder(KindTitle, 2026, 12, 9, 7, 0, "added")); // new row 1, not shown
        QTest::keyClick(list->StringGrid1, Qt::Key_Return);
        QVERIFY(!env->store.EditInProgress);
        QVERIFY(!editor->isVisible());
        QCOMPARE(cell(list->StringGrid1, 1, NoteColumn), QStringLiteral("added"));
        QTest::keyClick(list->StringGrid1, Qt::Key_Return); // now it is shown: edited
        QVERIFY(env->store.EditInProgress);
        QCOMPARE(NoteText(env->store.EditBuffer), std::string("added"));

        list->hide(); // hidden without a close: the refresh must not show it again
        env->store.TablesChanged = true;
        QTest::qWait(600);
        QVERIFY(!list->isVisible());
        QVERIFY(!list->Timer1->isActive());
    }

    void noRefreshWhileClosed() {
        list->Show();
        const WId shownAs = list->winId();
        QTest::mouseClick(list->Button1, Qt::LeftButton);
        QVERIFY(!list->isVisible());
        QVERIFY(!list->Timer1->isActive());
        addActive(1);
        QTest::qWait(600);
        QVERIFY(env->store.TablesChanged); // left for the next show
        list->Show();
        QCOMPARE(cell(list->StringGrid1, 1, NoteColumn), QStringLiteral("r0"));
        list->close();
        QVERIFY(!list->isVisible());
        QVERIFY(!list->Timer1->isActive());
        // OK and the close box only hide it: reopened, it is the same window to the desktop (the
        // activity log counts it as one).
        list->Show();
        QCOMPARE(list->winId(), shownAs);
    }

    void helpButtonAndF1() {
        list->Show();
        QTest::mouseClick(list->HelpBtn, Qt::LeftButton);
        QTest::keyClick(list->StringGrid1, Qt::Key_F1);
        QCOMPARE(env->help.topics, (std::vector<std::string>{"list of reminders menu", "list of reminders menu"}));
        QCOMPARE(list->HelpBtn->text(), QStringLiteral("&Help"));
    }
};

QTEST_MAIN(ListTest)
#include "test_reminder_list_window.moc"
