// The pop-up window and the Qt tray icon on the offscreen platform: controls, captions, places,
// tab order, "Dismiss" by button, Escape and close box, "Repeat in", the typing limit, the kept
// interval, and the tray icon's pictures, animation, tooltip and menus.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

#include "dialogs/EditorRules.h"
#include "dialogs/NoteEdit.h"
#include "dialogs/ReminderPopup.h"
#include "platform/qt/TrayIcon.h"
#include "resources/icons/Icons.h"
#include "tests/engine/EngineHarness.h"
#include "tests/fakes/CountingListener.h"

using namespace tw;
using namespace tw::test;

namespace {

// The note's length as the files count it: two for a line break (CR LF).
int MemoLength(const QString& text) {
    return NoteInputLength({reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())});
}

} // namespace

class RemPopupTest : public QObject {
    Q_OBJECT

    struct Bench {
        EngineBench core;
        TRem_Pop pop{core.services, core.engine.handBack};
        Bench() { core.engine.attachPopUp(pop.logic()); }
        // A due pop-up reminder at 10:00, taken up by the monitor.
        void showDue(int kind = KindPopUp, std::string_view note = "Buy bread") {
            core.clock.set(2026, 12, 8, 9, 59, 59);
            core.add(MakeReminder(kind, true, 2026, 12, 8, 10, 0, note));
            core.run(kind == KindIcon ? 2 : 1);
            if (kind == KindIcon)
                core.icon.leftClick();
        }
    };

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void controlsPlacesAndTabOrder() {
        Bench b;
        TRem_Pop& p = b.pop;
        QCOMPARE(p.objectName(), QStringLiteral("Rem_Pop"));
        QCOMPARE(p.size(), QSize(357, 240));
        QCOMPARE(p.Panel1->geometry(), QRect(10, 10, 336, 26));
        QCOMPARE(p.Memo1->geometry(), QRect(10, 41, 336, 149));
        QCOMPARE(p.Button1->geometry(), QRect(11, 204, 92, 25));
        QCOMPARE(p.Button2->geometry(), QRect(136, 204, 109, 25));
        // The list keeps its place at the panel's right edge, and grows left when its texts need it.
        QCOMPARE(p.ComboBox1->geometry().right(), 346);
        QVERIFY(p.ComboBox1->width() >= 89);
        QVERIFY(p.ComboBox1->x() > p.Button2->geometry().right());
        QCOMPARE(p.Button1->text(), QStringLiteral("Dismiss"));
        QCOMPARE(p.Button2->text(), QStringLiteral("Repeat in"));
        QCOMPARE(p.ComboBox1->count(), 21);
        QCOMPARE(p.ComboBox1->itemText(0), QStringLiteral("5 minutes"));
        QCOMPARE(p.ComboBox1->itemText(20), QStringLiteral("1 month"));
        QCOMPARE(p.ComboBox1->currentIndex(), 0);
        QVERIFY(p.Memo1->font().bold());
        QVERIFY(!p.Memo1->accessibleName().isEmpty());
        QVERIFY(!p.ComboBox1->accessibleName().isEmpty());
        QVERIFY(!p.isVisible());
        // Every caption fits its control.
        for (QPushButton* button : {p.Button1, p.Button2})
            QVERIFY(button->sizeHint().width() <= button->width());
        QVERIFY(p.ComboBox1->sizeHint().width() <= p.ComboBox1->width());

        b.showDue();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        QCOMPARE(p.focusWidget(), static_cast<QWidget*>(p.Memo1));
        QWidget* order[] = {p.Button1, p.ComboBox1, p.Button2, p.Memo1};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void showFillsPanelMemoAndCaption() {
        Bench b;
        b.pop.setWindowTitle("something else");
        b.showDue(KindPopUp, "Buy bread");
        QVERIFY(b.pop.isVisible());
        QCOMPARE(b.pop.windowTitle(), QStringLiteral("Reminder"));
        QCOMPARE(b.pop.Panel1->text(), QStringLiteral("Reminder Started on: December 08 2026 10:00"));
        QCOMPARE(b.pop.Memo1->toPlainText(), QStringLiteral("\nBuy bread"));
        QCOMPARE(b.core.beeper.beeps, 1);
        QCOMPARE(b.core.store.MonitorState, MonitorShowing);

        Bench icon;
        icon.pop.setWindowTitle("kept");
        icon.showDue(KindIcon, "\r\nStarts with a break");
        QCOMPARE(icon.pop.windowTitle(), QStringLiteral("kept"));
        QCOMPARE(icon.pop.Panel1->text(), QStringLiteral("Reminder stated on: December 08 2026 10:00"));
        QCOMPARE(icon.pop.Memo1->toPlainText(), QStringLiteral("\nStarts with a break"));
        QVERIFY(!icon.pop.logic().MemoHasLeadingBreak);
    }

    void dismissByButtonEscapeAndCloseBox() {
        for (int way = 0; way < 4; ++way) {
            Bench b;
            b.showDue(KindIcon);
            QVERIFY(QTest::qWaitForWindowExposed(&b.pop));
            const int writes = b.core.files.writeCount("rd.dt");
            if (way == 0)
                QTest::mouseClick(b.pop.Button1, Qt::LeftButton);
            else if (way == 1)
                QTest::keyClick(b.pop.Memo1, Qt::Key_Escape); // from the memo
            else if (way == 2) {
                b.pop.ComboBox1->setFocus();
                QTest::keyClick(b.pop.ComboBox1, Qt::Key_Escape);
            } else
                b.pop.close();
            QVERIFY2(!b.pop.isVisible(), qPrintable(QString::number(way)));
            QCOMPARE(b.core.store.CurrentReminder.RemDate, 0.0);
            QCOMPARE(b.core.store.MonitorState, MonitorDone);
            QVERIFY(!b.core.store.IconFlashing);
            QVERIFY(!b.core.flashTimer.isActive());
            QCOMPARE(b.core.files.writeCount("rd.dt"), writes + 1); // exactly once
            QVERIFY(b.pop.Memo1->toPlainText().isEmpty());
            QTest::keyClick(&b.pop, Qt::Key_Escape);
            QCOMPARE(b.core.files.writeCount("rd.dt"), writes + 1);
        }
    }

    // Escape on the open interval list closes only the list, however it was opened and whichever
    // window the desktop hands the key to; the next Escape dismisses, once.
    void escapeOnTheOpenListClosesOnlyTheList_data() {
        QTest::addColumn<int>("opener");  // the key that opens the list, or 0 for a click
        QTest::addColumn<bool>("toList"); // the key arrives at the list's window, else at the pop-up's
        QTest::newRow("Alt+Down, list") << int(Qt::Key_Down) << true;
        QTest::newRow("F4, pop-up") << int(Qt::Key_F4) << false;
        QTest::newRow("click, list") << 0 << true;
        QTest::newRow("click, pop-up") << 0 << false;
    }
    void escapeOnTheOpenListClosesOnlyTheList() {
        QFETCH(int, opener);
        QFETCH(bool, toList);
        Bench b;
        TRem_Pop& p = b.pop;
        b.showDue(KindPopUp, "Keep me");
        QVERIFY(QTest::qWaitForWindowActive(&p));
        QTest::keyClicks(p.Memo1, "!");
        const QString note = p.Memo1->toPlainText();
        p.ComboBox1->setCurrentIndex(4);
        p.ComboBox1->setFocus();
        if (opener == 0)
            QTest::mouseClick(p.ComboBox1, Qt::LeftButton);
        else
            QTest::keyClick(p.ComboBox1, Qt::Key(opener), opener == Qt::Key_Down ? Qt::AltModifier : Qt::NoModifier);
        QWidget* list = p.ComboBox1->view();
        QTRY_VERIFY(list->isVisible());
        QTest::keyClick(list, Qt::Key_Down); // a look at another interval
        QTest::keyClick((toList ? list->window() : &p)->windowHandle(), Qt::Key_Escape);
        QTRY_VERIFY(!list->isVisible());
        QVERIFY(p.isVisible());
        QCOMPARE(b.core.store.MonitorState, MonitorShowing);
        QCOMPARE(b.core.files.writeCount("rd.dt") + b.core.files.writeCount("re.dt"), 0);
        QCOMPARE(p.Memo1->toPlainText(), note);
        QCOMPARE(p.ComboBox1->currentIndex(), 4);
        QCOMPARE(p.focusWidget(), static_cast<QWidget*>(p.ComboBox1));

        p.activateWindow(); // the offscreen platform leaves no window active after a popup
        QVERIFY(QTest::qWaitForWindowActive(&p));
        for (int i = 0; i < 2; ++i)
            QTest::keyClick(p.windowHandle(), Qt::Key_Escape);
        QVERIFY(!p.isVisible());
        QCOMPARE(b.core.store.MonitorState, MonitorDone);
        QCOMPARE(b.core.files.writeCount("rd.dt"), 1);
    }

    void repeatInTakesTheEditedNoteAndKeepsTheInterval() {
        Bench b;
        b.showDue(KindPopUp, "Call");
        QTextCursor c = b.pop.Memo1->textCursor();
        c.movePosition(QTextCursor::End);
        b.pop.Memo1->setTextCursor(c);
        QTest::keyClicks(b.pop.Memo1, " Bob");
        b.pop.ComboBox1->setCurrentIndex(11); // 1 hour
        QTest::mouseClick(b.pop.Button2, Qt::LeftButton);
        QVERIFY(!b.pop.isVisible());
        QCOMPARE(NoteText(b.core.store.CurrentReminder), std::string("Call Bob"));
        QCOMPARE(DecodeTime(b.core.store.CurrentReminder.RemTime), (ClockTime{11, 0, 0, 0}));
        QCOMPARE(b.core.store.MonitorState, MonitorDone);

        b.core.run(3600);
        QVERIFY(b.pop.isVisible());
        QCOMPARE(b.pop.ComboBox1->currentIndex(), 11); // the last choice stays
        QCOMPARE(b.pop.Memo1->toPlainText(), QStringLiteral("\nCall Bob"));
    }

    void typingStopsAt128Characters() {
        Bench b;
        b.showDue(KindPopUp, "");
        QCOMPARE(MemoLength(b.pop.Memo1->toPlainText()), 2); // the added CR LF
        QTextCursor c = b.pop.Memo1->textCursor();
        c.movePosition(QTextCursor::End);
        b.pop.Memo1->setTextCursor(c);
        QTest::keyClicks(b.pop.Memo1, QString(130, QLatin1Char('x')));
        QCOMPARE(MemoLength(b.pop.Memo1->toPlainText()), 128);
        // A paste is cut to what still fits: nothing more here.
        b.pop.Memo1->insertPlainText(QStringLiteral("more"));
        QCOMPARE(MemoLength(b.pop.Memo1->toPlainText()), 128);
        QTest::keyClick(b.pop.Memo1, Qt::Key_Backspace);
        QTest::keyClick(b.pop.Memo1, Qt::Key_Return); // a break needs two
        QCOMPARE(MemoLength(b.pop.Memo1->toPlainText()), 127);
        b.pop.ComboBox1->setCurrentIndex(0);
        QTest::mouseClick(b.pop.Button2, Qt::LeftButton);
        QCOMPARE(NoteText(b.core.store.CurrentReminder), std::string(125, 'x'));

        // Characters the files' code page cannot hold are not taken: "Repeat in" stored them as "?".
        Bench u;
        u.showDue(KindPopUp, "Rent");
        QTextCursor e = u.pop.Memo1->textCursor();
        e.movePosition(QTextCursor::End);
        u.pop.Memo1->setTextCursor(e);
        u.pop.Memo1->insertPlainText(QString::fromUtf8(" \u20ac \u65e5\u672c \U0001F600!"));
        QCOMPARE(u.pop.Memo1->toPlainText(), QString::fromUtf8("\nRent \u20ac  !"));
        QTest::mouseClick(u.pop.Button2, Qt::LeftButton);
        QCOMPARE(NoteText(u.core.store.CurrentReminder), std::string("Rent \x80  !"));

        // A longer note from the file is shown whole.
        Bench l;
        l.showDue(KindPopUp, std::string(200, 'y'));
        QCOMPARE(MemoLength(l.pop.Memo1->toPlainText()), 202);
    }

    void iconsByName() {
        for (const char* name :
             {"ICO_TRAY", "ICO_TRAYR", "ICO_TRAYD", "MAINICON", "ICO_F1", "ICO_F2", "ICO_F3", "ICO_F4", "ICO_FOLDER",
              "ICO_WINDOW", "ICO_NEW", "ICO_LIST", "ICO_HELP", "ICO_ABOUT"}) {
            const QIcon icon = LoadIconByName(name);
            QVERIFY2(!icon.isNull(), name);
            const QImage small = icon.pixmap(16, 16).toImage();
            QCOMPARE(small.size(), QSize(16, 16));
            QCOMPARE(icon.availableSizes().size(), std::string_view(name) == "MAINICON" ? 5 : 4);
        }
        QVERIFY(LoadIconByName(" ").isNull());
        QVERIFY(LoadIconByName("").isNull());
        QVERIFY(LoadIconByName("NO_SUCH").isNull());
        // The tray picture is transparent around the page; the frames F2..F4 fill the square.
        QCOMPARE(qAlpha(LoadIconByName("ICO_TRAY").pixmap(16, 16).toImage().pixel(0, 0)), 0);
        QCOMPARE(LoadIconByName("ICO_F4").pixmap(16, 16).toImage().pixel(0, 0), qRgb(0, 0, 255));
        QCOMPARE(LoadIconByName("ICO_F3").pixmap(16, 16).toImage().pixel(0, 0), qRgb(0, 255, 0));
        QCOMPARE(LoadIconByName("ICO_F2").pixmap(16, 16).toImage().pixel(0, 0), qRgb(255, 255, 0));
    }

    void qtTrayIconStillAnimationHintMenus() {
        QMenu main;
        main.addAction("&New Reminder");
        QMenu empty;
        platform::QtTrayIcon tray(&main, &empty);
        QSystemTrayIcon& sys = tray.systemTrayIcon();
        fake::CountingListener listener;
        const int& clicks = listener.clicks;
        const int& doubles = listener.doubleClicks;
        tray.setListener(&listener);

        tray.setStillIcon("ICO_TRAYR");
        QVERIFY(sys.isVisible());
        tray.setStillIcon(" ");
        QVERIFY(!sys.isVisible());
        tray.setFrames({"ICO_F4", "ICO_F3", "ICO_F2", "ICO_F1"});
        tray.setAnimated(true);
        QVERIFY(sys.isVisible()); // blinking although hidden before
        QCOMPARE(tray.frameIndex(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(tray.frameChanges() >= 4, 2000);
        QElapsedTimer t;
        t.start();
        const int before = tray.frameChanges();
        QTest::qWait(620);
        const int made = tray.frameChanges() - before;
        QVERIFY2(made >= 3 && made <= 5, qPrintable(QString::number(made)));
        tray.setAnimated(true); // no change
        tray.setAnimated(false);
        QVERIFY(!sys.isVisible());
        tray.setStillIcon("ICO_TRAY");
        QVERIFY(sys.isVisible());

        tray.setHint(" Reminders Counter: \n\r Active:  3\n\r Expired: 0");
        QCOMPARE(sys.toolTip(), QStringLiteral(" Reminders Counter: \n Active:  3\n Expired: 0"));
        tray.setHint(std::string(70, 'z') + "|after");
        QCOMPARE(sys.toolTip(), QString(63, QLatin1Char('z')));

        QCOMPARE(sys.contextMenu(), &main);
        emit sys.activated(QSystemTrayIcon::Context);
        QCOMPARE(clicks, 0);
        tray.setMenu(platform::TrayMenu::Empty);
        QCOMPARE(tray.currentMenu(), &empty);
        QVERIFY(sys.contextMenu() == nullptr);
        emit sys.activated(QSystemTrayIcon::Context);
        QCOMPARE(clicks, 0);
        tray.setMenu(platform::TrayMenu::None);
        emit sys.activated(QSystemTrayIcon::Context);
        QCOMPARE(clicks, 1);
        emit sys.activated(QSystemTrayIcon::Trigger);
        QCOMPARE(clicks, 2);
        emit sys.activated(QSystemTrayIcon::DoubleClick);
        QCOMPARE(doubles, 1);
    }

    void qtOneShotTimerFiresOnce() {
        platform::QtOneShotTimer timer;
        fake::CountingListener listener;
        const int& fired = listener.timeouts;
        timer.setListener(&listener);
        timer.start(20);
        QVERIFY(timer.isActive());
        QTRY_COMPARE(fired, 1);
        QVERIFY(!timer.isActive());
        QTest::qWait(60);
        QCOMPARE(fired, 1);
        timer.start(20);
        timer.stop();
        QTest::qWait(60);
        QCOMPARE(fired, 1);
    }
};

QTEST_MAIN(RemPopupTest)
#include "test_reminder_popup.moc"
