// The reminder editor on the offscreen platform: the records OK and Add store, the pickers' held
// values, the note's limit, edit mode, Cancel, close and Escape, and the full-table cases.
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

#include "DialogHarness.h"
#include "dialogs/ReminderEditor.h"
#include "platform/NoBackends.h"
#include "store/Recurrence.h"
#include "tests/fakes/FakeWindows.h"

using namespace tw;
using tw::test::DialogEnv;
using tw::test::MakeReminder;

namespace {

constexpr const char* Capacity = "Count of reminder must be less 901";

void FillActive(Store& s, int n) {
    for (int i = 0; i < n; ++i)
        s.ActiveTable[i] = MakeReminder(KindPopUp, 2027, 1, 1, 10, 0, "x" + std::to_string(i));
    s.ActiveCount = n;
}

} // namespace

class EditorTest : public QObject {
    Q_OBJECT

    DialogEnv* env = nullptr;
    Tf_Reminder* editor = nullptr;
    // What the list's Edit does: the reminder leaves its table, then the editor shows it.
    void startEdit(const ReminderRecord& r) {
        Store& s = env->store;
        s.ExpiredTable[s.ExpiredCount++] = r; // no file is written here
        s.BeginEdit(TableId::Expired, s.ExpiredCount - 1);
        editor->ShowEdit();
    }
    void setBox(QCheckBox* box, bool on) {
        if (box->isChecked() != on)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        QCOMPARE(box->isChecked(), on);
    }
    double openedAt() const { return ToDayCount(env->clock.now()); }
    // The record OK stores for an untouched new reminder with this note: a pop-up, no sound, at the
    // moment the editor opened.
    ReminderRecord defaultPopUp(const char* note) const {
        ReminderRecord r{};
        r.Kind = KindPopUp;
        r.RemDate = openedAt();
        r.RemTime = openedAt();
        SetNote(r, note);
        return r;
    }

private slots:
    void init() {
        env = new DialogEnv;
        editor = new Tf_Reminder(env->services);
    }
    void cleanup() {
        delete editor;
        delete env;
    }

    // The title-bar choice's tooltip: where the desktop keeps other programs' titles to itself
    // (Wayland, or no window access at all) it says such reminders are pop-ups.
    void titleTooltipFollowsTheDesktop() {
        struct ReadOnlyWindows : fake::FakeWindows {
            bool canSetTitles() const override { return false; }
        };
        fake::FakeWindows writable;
        ReadOnlyWindows readOnly;
        platform::NoForeignWindows none;
        const QList<std::pair<platform::ForeignWindows*, QString>> cases = {
            {&writable, "Reminder this type will come up for title of active program."},
            {&readOnly, "pop-ups"},
            {&none, "pop-ups"}};
        for (const auto& [windows, expected] : cases) {
            const Services& s = env->services;
            Services services{s.store, s.clock, s.locale, s.codePage, s.boxes, s.beeper, s.pump, s.help, *windows};
            Tf_Reminder e(services);
            QVERIFY2(e.findChild<QCheckBox*>("Title")->toolTip().contains(expected), qPrintable(expected));
        }
    }

    void newReminderIsPrepared() {
        editor->ShowNew();
        QCOMPARE(editor->objectName(), QStringLiteral("f_Reminder"));
        QCOMPARE(editor->windowTitle(), QStringLiteral("New Reminder"));
        QCOMPARE(env->store.EditorMode, EditorNew);
        QVERIFY(editor->PopUp->isChecked());
        QVERIFY(!editor->Title->isChecked());
        QVERIFY(!editor->Icon->isChecked());
        QVERIFY(editor->ComboBox2->isEnabled());
        QVERIFY(!editor->ComboBox1->isEnabled());
        QVERIFY(!editor->ComboBox3->isEnabled());
        for (QComboBox* c : {editor->ComboBox1, editor->ComboBox2, editor->ComboBox3}) {
            QCOMPARE(c->currentIndex(), 0);
            QCOMPARE(c->itemText(0), QStringLiteral("No Sound"));
            QCOMPARE(c->itemText(1), QStringLiteral("Beep"));
        }
        QVERIFY(editor->b_Apply->isEnabled());
        QCOMPARE(editor->DateTime1->date(), QDate(2026, 12, 8));
        QCOMPARE(editor->DateTime2->time(), QTime(9, 0));
        QCOMPARE(editor->DateTime2->displayFormat(), QStringLiteral("HH:mm"));
        QVERIFY(editor->DateTime1->calendarPopup());
        QCOMPARE(editor->heldDate(), openedAt());
        QCOMPARE(editor->heldTime(), openedAt());
        QCOMPARE(env->store.Formats.ShortDateFormat, std::string("dd/mmm/yy"));
        QCOMPARE(env->store.Formats.LongTimeFormat, std::string("hh:nn"));
        QVERIFY(editor->Memo1->toPlainText().isEmpty());
    }

    void okStoresTheDefaultPopUpAndSaves() {
        editor->ShowNew();
        QTest::keyClicks(editor->Memo1, "abc");
        QTest::mouseClick(editor->b_OK, Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        QCOMPARE(env->store.ActiveCount, 1);
        const ReminderRecord expected = defaultPopUp("abc");
        // The whole 288-byte image, padding and unused note bytes included, is what was expected.
        QCOMPARE(tw::test::Bytes(env->store.ActiveTable[0]), tw::test::Bytes(expected));
        QCOMPARE(env->files.files["rd.dt"], tw::test::Image(env->store.ActiveTable, 1));
        QVERIFY(env->boxes.shown.empty());
        QCOMPARE(env->store.EditorMode, EditorNew); // OK leaves the mode to the next show
    }

    void eachKindAlone_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("kind");
        QTest::newRow("Title") << 0 << KindTitle;
        QTest::newRow("PopUp") << 1 << KindPopUp;
        QTest::newRow("Icon") << 2 << KindIcon;
    }
    void eachKindAlone() {
        QFETCH(int, row);
        QFETCH(int, kind);
        editor->ShowNew();
        QCheckBox* boxes[] = {editor->Title, editor->PopUp, editor->Icon};
        QComboBox* sounds[] = {editor->ComboBox1, editor->ComboBox2, editor->ComboBox3};
        for (int i = 0; i < 3; ++i)
            setBox(boxes[i], i == row);
        QVERIFY(sounds[row]->isEnabled());
        sounds[row]->setCurrentIndex(1);
        QTest::keyClicks(editor->Memo1, "note");
        editor->b_OKClick();
        QCOMPARE(env->store.ActiveCount, 1);
        QCOMPARE(env->store.ActiveTable[0].Kind, kind);
        QCOMPARE(int(env->store.ActiveTable[0].Beep), 1);
    }

    void allThreeInOrderWithTheirOwnBeep() {
        editor->ShowNew();
        setBox(editor->Title, true);
        setBox(editor->Icon, true);
        editor->ComboBox1->setCurrentIndex(1);
        editor->ComboBox2->setCurrentIndex(0);
        editor->ComboBox3->setCurrentIndex(1);
        QTest::keyClicks(editor->Memo1, "three");
        editor->b_OKClick();
        QCOMPARE(env->store.ActiveCount, 3);
        // Equal date and time: the sort keeps the order of appending, Title, PopUp, Icon.
        const std::int32_t kinds[] = {KindTitle, KindPopUp, KindIcon};
        const int beeps[] = {1, 0, 1};
        for (int i = 0; i < 3; ++i) {
            const ReminderRecord& r = env->store.ActiveTable[i];
            QCOMPARE(r.Kind, kinds[i]);
            QCOMPARE(int(r.Beep), beeps[i]);
            QCOMPARE(NoteText(r), std::string("three"));
            QCOMPARE(r.RemDate, openedAt());
        }
    }

    void beepOfAnUntickedBoxIsIgnored() {
        editor->ShowNew();
        setBox(editor->Title, true);
        editor->ComboBox1->setCurrentIndex(1);
        setBox(editor->Title, false); // the list keeps "Beep" while disabled
        QVERIFY(!editor->ComboBox1->isEnabled());
        QCOMPARE(editor->ComboBox1->currentIndex(), 1);
        QTest::keyClicks(editor->Memo1, "n");
        editor->b_OKClick();
        QCOMPARE(env->store.ActiveCount, 1);
        QCOMPARE(env->store.ActiveTable[0].Kind, KindPopUp);
        QCOMPARE(int(env->store.ActiveTable[0].Beep), 0);
    }

    void noBoxTickedStoresNothingButSavesAndHides() {
        editor->ShowNew();
        setBox(editor->PopUp, false);
        QTest::keyClicks(editor->Memo1, "n");
        editor->b_OKClick();
        QCOMPARE(env->store.ActiveCount, 0);
        QVERIFY(!editor->isVisible());
        QCOMPARE(env->files.writeCount("rd.dt"), 1);
    }

    void notesOverTwoLinesAndOfOneBlank() {
        editor->ShowNew();
        QTest::keyClicks(editor->Memo1, "first");
        QTest::keyClick(editor->Memo1, Qt::Key_Return);
        QTest::keyClicks(editor->Memo1, "second");
        QVERIFY(editor->isVisible()); // Enter breaks the line, it does not press a button
        editor->b_ApplyClick();
        QCOMPARE(NoteText(env->store.ActiveTable[0]), std::string("first\r\nsecond"));
        QVERIFY(editor->Memo1->toPlainText().isEmpty());

        QTest::keyClicks(editor->Memo1, " ");
        editor->b_ApplyClick();
        QCOMPARE(env->store.ActiveCount, 2);
        QVERIFY(env->boxes.shown.empty());
    }

    void emptyNoteIsRefusedWithOneMessage() {
        editor->ShowNew();
        editor->b_OKClick();
        QCOMPARE(env->boxes.texts(), std::vector<std::string>{"Empty reminder can be not added  "});
        QCOMPARE(env->boxes.shown[0].kind, tw::fake::RecordingMessageBoxes::Shown::Information);
        QVERIFY(editor->isVisible());
        QCOMPARE(env->store.ActiveCount, 0);
        QCOMPARE(env->files.writeCount("rd.dt"), 0);

        env->boxes.shown.clear();
        editor->b_ApplyClick(); // Add: one message, and the unchanged table is written
        QCOMPARE(env->boxes.texts().size(), std::size_t(1));
        QCOMPARE(env->store.ActiveCount, 0);
        QCOMPARE(env->files.writeCount("rd.dt"), 1);
        QVERIFY(editor->isVisible());
    }

    void noteIsLimitedTo128WithLineBreaksAsTwo() {
        editor->ShowNew();
        QTest::keyClicks(editor->Memo1, QString(130, QLatin1Char('a')));
        QCOMPARE(editor->Memo1->toPlainText().size(), 128);

        editor->Memo1->clear();
        QTest::keyClicks(editor->Memo1, QString(126, QLatin1Char('b')));
        QTest::keyClick(editor->Memo1, Qt::Key_Return); // 126 + 2 = 128: still fits
        QTest::keyClicks(editor->Memo1, "c");
        QCOMPARE(editor->Memo1->toPlainText(), QString(126, QLatin1Char('b')) + QLatin1Char('\n'));

        editor->Memo1->clear();
        QTest::keyClicks(editor->Memo1, QString(127, QLatin1Char('d')));
        QTest::keyClick(editor->Memo1, Qt::Key_Return); // would make 129
        QCOMPARE(editor->Memo1->toPlainText(), QString(127, QLatin1Char('d')));

        // A paste keeps as much as fits, and what follows the cursor stays.
        editor->Memo1->setPlainText(QStringLiteral("endX"));
        QTextCursor c = editor->Memo1->textCursor();
        c.setPosition(3);
        editor->Memo1->setTextCursor(c);
        editor->Memo1->insertPlainText(QString(200, QLatin1Char('p')));
        const QString text = editor->Memo1->toPlainText();
        QCOMPARE(text.size(), 128);
        QVERIFY(text.startsWith(QStringLiteral("endp")));
        QVERIFY(text.endsWith(QStringLiteral("pX")));

        // Characters the files' code page cannot hold are not taken, rather than stored as '?'.
        editor->Memo1->clear();
        editor->Memo1->insertPlainText(QString::fromUtf8("Zo\u00eb \u20ac \u65e5\u672c \U0001F600x"));
        QCOMPARE(editor->Memo1->toPlainText(), QString::fromUtf8("Zo\u00eb \u20ac  x"));
        editor->b_ApplyClick();
        QCOMPARE(NoteText(env->store.ActiveTable[0]), std::string("Zo\xeb \x80  x"));
    }

    void pickersKeepThePartTheyDoNotShow() {
        editor->ShowNew();
        const double opened = openedAt();
        editor->DateTime1->setDate(QDate(2026, 12, 24));
        editor->DateTime2->setTime(QTime(14, 30));
        const double day24 = *EncodeDate(2026, 12, 24);
        const double day8 = *EncodeDate(2026, 12, 8);
        QCOMPARE(DayNumber(editor->heldDate()), std::int64_t(day24));
        QCOMPARE(MillisecondOfDay(editor->heldDate()), MillisecondOfDay(opened)); // 09:00:17.250 kept
        QCOMPARE(DayNumber(editor->heldTime()), std::int64_t(day8));              // the day it was filled with
        QCOMPARE(MillisecondOfDay(editor->heldTime()), std::int64_t((14 * 3600 + 30 * 60 + 17) * 1000 + 250));
        QTest::keyClicks(editor->Memo1, "later");
        editor->b_OKClick();
        QCOMPARE(env->store.ActiveTable[0].RemDate, editor->heldDate());
        QCOMPARE(env->store.ActiveTable[0].RemTime, editor->heldTime());
    }

    void addKeepsTheChoicesForTheNextReminder() {
        editor->ShowNew();
        setBox(editor->Title, true);
        editor->ComboBox1->setCurrentIndex(1);
        editor->DateTime2->setTime(QTime(18, 0));
        QTest::keyClicks(editor->Memo1, "one");
        editor->b_ApplyClick();
        QVERIFY(editor->isVisible());
        QVERIFY(editor->Memo1->toPlainText().isEmpty());
        QTest::keyClicks(editor->Memo1, "two");
        editor->b_ApplyClick();
        QCOMPARE(env->store.ActiveCount, 4);
        QCOMPARE(env->files.writeCount("rd.dt"), 2);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(env->store.ActiveTable[i].RemTime, env->store.ActiveTable[0].RemTime);
            QCOMPARE(int(env->store.ActiveTable[i].Beep), env->store.ActiveTable[i].Kind == KindTitle ? 1 : 0);
        }
    }

    void showingWhileVisibleKeepsWhatWasTyped() {
        editor->ShowNew();
        setBox(editor->Icon, true);
        QTest::keyClicks(editor->Memo1, "typing");
        editor->ShowNew();
        QCOMPARE(editor->Memo1->toPlainText(), QStringLiteral("typing"));
        QVERIFY(editor->Icon->isChecked());
        editor->hide();
        editor->ShowNew(); // shown again after hiding: a new reminder
        QVERIFY(editor->Memo1->toPlainText().isEmpty());
        QVERIFY(!editor->Icon->isChecked());
    }

    void editModeShowsTheRecord_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("checkedRow"); // -1: none
        QTest::newRow("Title") << KindTitle << 0;
        QTest::newRow("PopUp") << KindPopUp << 1;
        QTest::newRow("Icon") << KindIcon << 2;
        QTest::newRow("unknown") << 55 << -1;
    }
    void editModeShowsTheRecord() {
        QFETCH(int, kind);
        QFETCH(int, checkedRow);
        ReminderRecord r = MakeReminder(kind, 2027, 3, 4, 7, 45, "line1\r\nline2", 1);
        startEdit(r);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Edit Reminder"));
        QCOMPARE(env->store.EditorMode, EditorEdit);
        QVERIFY(!editor->b_Apply->isEnabled());
        QVERIFY(editor->b_OK->isEnabled());
        QVERIFY(editor->b_Cancel->isEnabled());
        QCOMPARE(editor->Memo1->toPlainText(), QStringLiteral("line1\nline2"));
        QCOMPARE(editor->DateTime1->date(), QDate(2027, 3, 4));
        QCOMPARE(editor->DateTime2->time(), QTime(7, 45));
        QCheckBox* boxes[] = {editor->Title, editor->PopUp, editor->Icon};
        QComboBox* sounds[] = {editor->ComboBox1, editor->ComboBox2, editor->ComboBox3};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(boxes[i]->isChecked(), i == checkedRow);
            QCOMPARE(sounds[i]->isEnabled(), i == checkedRow);
            QCOMPARE(sounds[i]->currentIndex(), i == checkedRow ? 1 : 0);
        }
    }

    void repeatListNamesItsRulesAndEveryRecordOfOneOkGetsTheChosenOne() {
        editor->ShowNew();
        QCOMPARE(editor->RepeatLabel->text(), QStringLiteral("&Repeat:"));
        QCOMPARE(editor->RepeatLabel->buddy(), editor->RepeatList);
        const QStringList items = {QStringLiteral("Once"),          QStringLiteral("Every day"),
                                   QStringLiteral("Every weekday"), QStringLiteral("Every week"),
                                   QStringLiteral("Every month"),   QStringLiteral("Every year")};
        QCOMPARE(editor->RepeatList->count(), items.size());
        for (int i = 0; i < items.size(); ++i)
            QCOMPARE(editor->RepeatList->itemText(i), items[i]);
        QCOMPARE(editor->RepeatList->currentIndex(), 0); // "Once" for a new reminder
        // Alt+R reaches the list from the note.
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QTest::keyClick(editor->Memo1, Qt::Key_R, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), editor->RepeatList);

        QTest::keyClicks(editor->Memo1, "weekly");
        editor->Title->setChecked(true);
        editor->Icon->setChecked(true);
        editor->RepeatList->setCurrentIndex(3);
        editor->b_OKClick();
        QCOMPARE(env->store.ActiveCount, 3);
        for (int i = 0; i < 3; ++i) {
            const RepeatRule rule = ReadRule(env->store.ActiveTable[i]);
            QCOMPARE(int(rule.repeat), int(Repeat::EveryWeek));
            QCOMPARE(rule.weekday, 2); // 8 December 2026 is a Tuesday
            QCOMPARE(rule.minuteOfDay, 9 * 60);
        }
        // The next new reminder starts at "Once" again, and "Once" leaves the padding zero.
        editor->ShowNew();
        QCOMPARE(editor->RepeatList->currentIndex(), 0);
        QTest::keyClicks(editor->Memo1, "once");
        editor->b_ApplyClick();
        const ReminderRecord& once = env->store.ActiveTable[env->store.ActiveCount - 1];
        const auto* b = reinterpret_cast<const std::uint8_t*>(&once);
        for (std::size_t off : {2u, 3u, 9u, 10u, 11u, 12u, 13u, 14u, 15u})
            QCOMPARE(int(b[off]), 0);
    }

    void editShowsTheRuleAndCanChangeIt() {
        ReminderRecord r = MakeReminder(KindPopUp, 2027, 1, 31, 7, 45, "rent");
        WriteRule(r, RuleAt(Repeat::EveryMonth, r.RemDate, r.RemTime));
        startEdit(r);
        QCOMPARE(editor->RepeatList->currentText(), QStringLiteral("Every month"));
        editor->RepeatList->setCurrentIndex(5);
        editor->b_OKClick();
        QCOMPARE(env->store.ActiveCount, 1);
        const RepeatRule rule = ReadRule(env->store.ActiveTable[0]);
        QCOMPARE(int(rule.repeat), int(Repeat::EveryYear));
        QCOMPARE(rule.day, 31);
        QCOMPARE(rule.month, 1);
    }

    void okOfAnEditReplacesTheReminder() {
        FillActive(env->store, 2);
        startEdit(MakeReminder(KindIcon, 2027, 3, 4, 7, 45, "old", 1));
        editor->Memo1->selectAll();
        QTest::keyClicks(editor->Memo1, "new");
        editor->b_OKClick();
        QCOMPARE(env->store.ActiveCount, 3);
        QVERIFY(!env->store.EditInProgress);
        QCOMPARE(env->store.ActiveTable[0].Kind, KindIcon); // the latest, in the first slot
        QCOMPARE(NoteText(env->store.ActiveTable[0]), std::string("new"));
        QCOMPARE(env->store.ActiveTable[0].RemDate, *EncodeDate(2027, 3, 4));
        QCOMPARE(int(env->store.ActiveTable[0].Beep), 1);
    }

    void cancelCloseAndEscapeGiveTheEditBack_data() {
        QTest::addColumn<int>("how"); // 0 Cancel, 1 close box, 2 Escape in the note
        QTest::newRow("Cancel") << 0;
        QTest::newRow("close box") << 1;
        QTest::newRow("Escape in the note") << 2;
    }
    void cancelCloseAndEscapeGiveTheEditBack() {
        QFETCH(int, how);
        FillActive(env->store, 2);
        const ReminderRecord r = MakeReminder(KindTitle, 2026, 12, 20, 8, 0, "back");
        startEdit(r);
        editor->Memo1->selectAll();
        QTest::keyClicks(editor->Memo1, "changed");
        if (how == 0)
            QTest::mouseClick(editor->b_Cancel, Qt::LeftButton);
        else if (how == 1)
            editor->close();
        else
            QTest::keyClick(editor->Memo1, Qt::Key_Escape);
        QVERIFY(!editor->isVisible());
        QCOMPARE(env->store.ActiveCount, 3);
        QVERIFY(RecordsEqual(env->store.ActiveTable[2], r)); // unchanged, in sorted place
        QVERIFY(!env->store.EditInProgress);
        QCOMPARE(env->store.EditorMode, EditorIdle);
        QCOMPARE(env->files.writeCount("rd.dt"), 0);
    }

    // No default button: Enter in a picker, a check box or a sound list stores nothing; Enter on a
    // focused button presses that button.
    void enterPressesOnlyTheFocusedButton() {
        editor->ShowNew();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QTest::keyClicks(editor->Memo1, "note");
        for (QWidget* w : std::initializer_list<QWidget*>{editor->DateTime1, editor->DateTime2, editor->Title,
                                                          editor->PopUp, editor->ComboBox2}) {
            w->setFocus();
            QTest::keyClick(w, Qt::Key_Return);
            QTest::keyClick(w, Qt::Key_Enter);
        }
        QVERIFY(editor->isVisible());
        QCOMPARE(env->store.ActiveCount, 0);
        QCOMPARE(env->files.writeCount("rd.dt"), 0);
        editor->b_OK->setFocus();
        QTest::keyClick(editor->b_OK, Qt::Key_Return);
        QVERIFY(!editor->isVisible());
        QCOMPARE(env->store.ActiveCount, 1);
    }

    // Every way of closing only hides the editor: reopened, it is the same window to the desktop.
    void closingOnlyHides() {
        editor->ShowNew();
        const WId shownAs = editor->winId();
        editor->close();
        QVERIFY(!editor->isVisible());
        editor->ShowNew();
        QTest::keyClick(editor->Memo1, Qt::Key_Escape);
        editor->ShowNew();
        QTest::keyClicks(editor->Memo1, "x");
        editor->b_OKClick();
        QVERIFY(!editor->isVisible());
        editor->ShowNew();
        QCOMPARE(editor->winId(), shownAs);
    }

    // Escape on an open list closes only that list, whichever window the key reaches; then it cancels.
    void escapeOnAnOpenListKeepsTheEditor() {
        editor->ShowNew();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QTest::keyClicks(editor->Memo1, "kept");
        for (QComboBox* c : {editor->RepeatList, editor->ComboBox2}) {
            c->setFocus();
            QTest::keyClick(c, Qt::Key_Down, Qt::AltModifier);
            QTRY_VERIFY(c->view()->isVisible());
            QTest::keyClick((c == editor->RepeatList ? c->view()->window() : editor)->windowHandle(), Qt::Key_Escape);
            QTRY_VERIFY(!c->view()->isVisible());
            QVERIFY(editor->isVisible());
            QCOMPARE(editor->focusWidget(), static_cast<QWidget*>(c));
        }
        QCOMPARE(editor->Memo1->noteText(), QStringLiteral("kept"));
        QCOMPARE(env->store.EditorMode, EditorNew);
        QTest::keyClick(editor->windowHandle(), Qt::Key_Escape);
        QVERIFY(!editor->isVisible());
        QCOMPARE(env->store.ActiveCount, 0);
    }

    void cancelOfANewReminderStoresNothing() {
        editor->ShowNew();
        QTest::keyClicks(editor->Memo1, "dropped");
        QTest::keyClick(editor->DateTime1, Qt::Key_Escape);
        QVERIFY(!editor->isVisible());
        QCOMPARE(env->store.ActiveCount, 0);
        QCOMPARE(env->store.EditorMode, EditorIdle);
    }

    void helpButtonAndF1() {
        editor->ShowNew();
        QTest::mouseClick(editor->Button1, Qt::LeftButton);
        QTest::keyClick(editor->Memo1, Qt::Key_F1);
        QCOMPARE(env->help.topics, (std::vector<std::string>{"new reminder menu", "new reminder menu"}));
        QVERIFY(editor->Memo1->toPlainText().isEmpty());
    }

    void fewerFreeSlotsThanTickedBoxes() {
        FillActive(env->store, MaxReminders - 2);
        editor->ShowNew();
        setBox(editor->Title, true);
        setBox(editor->Icon, true);
        QTest::keyClicks(editor->Memo1, "late");
        editor->b_OKClick();
        QCOMPARE(env->store.ActiveCount, MaxReminders);
        QCOMPARE(env->boxes.texts(), std::vector<std::string>{Capacity});
        int title = 0, popUp = 0;
        for (int i = 0; i < MaxReminders; ++i) {
            title += env->store.ActiveTable[i].Kind == KindTitle;
            popUp += NoteText(env->store.ActiveTable[i]) == "late" && env->store.ActiveTable[i].Kind == KindPopUp;
        }
        QCOMPARE(title, 1);
        QCOMPARE(popUp, 1); // the first two in order; Icon did not fit
        QCOMPARE(env->files.files["rd.dt"].size(), std::size_t(MaxReminders) * RecordSize);
    }

    void fullTableStoresNothingAndOkStillSavesAndHides() {
        FillActive(env->store, MaxReminders);
        editor->ShowNew();
        QTest::keyClicks(editor->Memo1, "no room");
        editor->b_ApplyClick();
        QCOMPARE(env->boxes.texts(), std::vector<std::string>{Capacity});
        QCOMPARE(editor->Memo1->toPlainText(), QStringLiteral("no room")); // nothing changed
        QVERIFY(editor->isVisible());
        editor->b_OKClick();
        QCOMPARE(env->store.ActiveCount, MaxReminders);
        QCOMPARE(env->files.writeCount("rd.dt"), 2);
        QVERIFY(!editor->isVisible());
    }

    void okOfAnExpiredEditWithTheActiveTableFullKeepsIt() {
        FillActive(env->store, MaxReminders);
        const ReminderRecord r = MakeReminder(KindPopUp, 2026, 11, 1, 8, 0, "expired one");
        startEdit(r); // taken from the expired table, which is now empty
        editor->b_OKClick();
        QCOMPARE(env->boxes.texts(), std::vector<std::string>{Capacity});
        QVERIFY(!editor->isVisible());
        QVERIFY(!env->store.EditInProgress); // the monitor goes on
        QCOMPARE(env->store.EditorMode, EditorIdle);
        QCOMPARE(env->store.ExpiredCount, 1);
        QVERIFY(RecordsEqual(env->store.ExpiredTable[0], r));
        QCOMPARE(env->files.files["re.dt"].size(), RecordSize);
        QCOMPARE(env->store.ActiveCount, MaxReminders);
    }

    void cancelOfAnExpiredEditWithTheActiveTableFullKeepsIt() {
        FillActive(env->store, MaxReminders);
        const ReminderRecord r = MakeReminder(KindPopUp, 2026, 11, 1, 8, 0, "expired one");
        startEdit(r);
        editor->b_CancelClick();
        QVERIFY(env->boxes.shown.empty());
        QCOMPARE(env->store.ExpiredCount, 1);
        QVERIFY(RecordsEqual(env->store.ExpiredTable[0], r));
        QVERIFY(!env->store.EditInProgress);
    }

    void failedSaveShowsTheErrorAndNothingIsDoubled() {
        env->files.writeError["rd.dt"] = 5;
        startEdit(MakeReminder(KindPopUp, 2026, 12, 20, 8, 0, "kept"));
        editor->b_OKClick();
        QCOMPARE(env->boxes.texts(), std::vector<std::string>{"File access denied"});
        QCOMPARE(env->boxes.shown[0].kind, tw::fake::RecordingMessageBoxes::Shown::Error);
        QVERIFY(editor->isVisible()); // the action stopped at the failed write
        QCOMPARE(env->store.ActiveCount, 1);
        QVERIFY(!env->store.EditInProgress);
        editor->b_CancelClick(); // the edit was already stored: Cancel must not put the old one back too
        QCOMPARE(env->store.ActiveCount, 1);
    }
    // Quick entry: labelled with an accelerator no other control uses, named for screen readers,
    // empty at every show with the focus left on the note.
    void quickEntryFieldIsLabelledAndReachable() {
        editor->ShowNew();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QCOMPARE(editor->QuickLabel->text(), QStringLiteral("&Quick entry:"));
        QCOMPARE(editor->QuickLabel->buddy(), editor->QuickEntryEdit);
        QCOMPARE(editor->QuickEntryEdit->accessibleName(), QStringLiteral("Quick entry"));
        QVERIFY(editor->QuickEntryEdit->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), editor->Memo1);
        QStringList captions;
        for (QLabel* l : editor->findChildren<QLabel*>())
            captions << l->text();
        for (QAbstractButton* b : editor->findChildren<QAbstractButton*>())
            captions << b->text();
        for (QGroupBox* g : editor->findChildren<QGroupBox*>())
            captions << g->title();
        QStringList keys;
        for (const QString& c : captions)
            if (const qsizetype amp = c.indexOf(QLatin1Char('&')); amp >= 0 && amp + 1 < c.size())
                keys << c.mid(amp + 1, 1).toLower();
        QCOMPARE(keys.count(QStringLiteral("q")), 1);
        QCOMPARE(keys.removeDuplicates(), 0);
        QTest::keyClick(editor->Memo1, Qt::Key_Q, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), editor->QuickEntryEdit);
        // In the Tab order right after the note, so that the old ways from the note to OK still hold.
        for (auto [from, key, to] :
             {std::tuple<QWidget*, Qt::Key, QWidget*>{editor->Memo1, Qt::Key_Tab, editor->QuickEntryEdit},
              {editor->QuickEntryEdit, Qt::Key_Tab, editor->DateTime1},
              {editor->Memo1, Qt::Key_Backtab, editor->Button1}}) {
            from->setFocus();
            QTest::keyClick(from, key);
            QCOMPARE(QApplication::focusWidget(), to);
        }
    }

    // The date, time, repeat and note follow the typing; the line under the field says what will
    // be stored or what was not understood; emptied, the field leaves the editor as it found it.
    void fieldsFollowTheQuickEntry() {
        editor->ShowNew();
        QTest::keyClicks(editor->Memo1, "abc");
        QTest::keyClicks(editor->QuickEntryEdit, "tomorrow 9:30pm every week call the garage");
        QCOMPARE(editor->DateTime1->date(), QDate(2026, 12, 9));
        QCOMPARE(editor->DateTime2->time(), QTime(21, 30));
        QCOMPARE(editor->RepeatList->currentIndex(), int(Repeat::EveryWeek));
        QCOMPARE(editor->Memo1->noteText(), QStringLiteral("call the garage"));
        const QString stored = QStringLiteral("09/Dec/26 21:30 Every week call the garage");
        QCOMPARE(editor->QuickResult->text(), stored);
        QCOMPARE(editor->QuickEntryEdit->accessibleDescription(), stored);

        editor->QuickEntryEdit->selectAll();
        QTest::keyClicks(editor->QuickEntryEdit, "tomorrow 25:00 x");
        QCOMPARE(editor->QuickResult->text(), QStringLiteral("Time not understood: \"25:00\""));
        QCOMPARE(editor->DateTime1->date(), QDate(2026, 12, 9)); // the day was understood
        QCOMPARE(editor->DateTime2->time(), QTime(9, 0));
        QCOMPARE(editor->Memo1->noteText(), QStringLiteral("abc"));

        editor->QuickEntryEdit->selectAll();
        QTest::keyClick(editor->QuickEntryEdit, Qt::Key_Backspace);
        QVERIFY(editor->QuickResult->text().isEmpty());
        QCOMPARE(editor->heldDate(), openedAt());
        QCOMPARE(editor->heldTime(), openedAt());
        QCOMPARE(editor->RepeatList->currentIndex(), 0);
        editor->b_OKClick();
        const ReminderRecord expected = defaultPopUp("abc");
        QCOMPARE(tw::test::Bytes(env->store.ActiveTable[0]), tw::test::Bytes(expected));
    }

    // Enter in the field stores the reminder as OK does; a line that is not a reminder is refused
    // with its reason, by Enter and OK alike, and nothing is stored.
    void enterInTheQuickEntryStoresAndARefusedLineIsSaid() {
        editor->ShowNew();
        QTest::keyClicks(editor->QuickEntryEdit, "today 8am x");
        QTest::keyClick(editor->QuickEntryEdit, Qt::Key_Return);
        editor->b_OKClick();
        QCOMPARE(env->boxes.texts(), (std::vector<std::string>{"Quick entry: In the past: 08/Dec/26 08:00",
                                                               "Quick entry: In the past: 08/Dec/26 08:00"}));
        QVERIFY(editor->isVisible());
        QCOMPARE(env->store.ActiveCount, 0);
        QCOMPARE(env->files.writeCount("rd.dt"), 0);

        editor->QuickEntryEdit->selectAll();
        QTest::keyClicks(editor->QuickEntryEdit, "fri 17:00 every day tea");
        QTest::keyClick(editor->QuickEntryEdit, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!editor->isVisible());
        QCOMPARE(env->store.ActiveCount, 1);
        const ReminderRecord& r = env->store.ActiveTable[0];
        QCOMPARE(r.Kind, KindPopUp);
        QCOMPARE(int(r.Beep), 0);
        QCOMPARE(DayNumber(r.RemDate), std::int64_t(EncodeDate(2026, 12, 11).value()));
        QCOMPARE(DecodeTime(r.RemTime).hour * 60 + DecodeTime(r.RemTime).minute, 17 * 60);
        QCOMPARE(NoteText(r), std::string("tea"));
        QCOMPARE(int(ReadRule(r).repeat), int(Repeat::EveryDay));
        QCOMPARE(env->files.files["rd.dt"], tw::test::Image(env->store.ActiveTable, 1));
        editor->ShowNew();
        QVERIFY(editor->QuickEntryEdit->text().isEmpty());
    }
};

QTEST_MAIN(EditorTest)
#include "test_editor.moc"
