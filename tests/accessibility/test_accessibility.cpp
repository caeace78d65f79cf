// Tests of platform/qt/Accessibility: window roles, date and time edits read as text, combo boxes
// named through a label, named scroll bars.
#include <QAccessible>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimeEdit>

#include "platform/qt/Accessibility.h"

using namespace tw::platform;

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void windowRoles() {
        QWidget dialog(nullptr, Qt::Dialog);
        // Qt may have made its own interface already (a plain panel): it is replaced.
        QCOMPARE(QAccessible::queryAccessibleInterface(&dialog)->role(), QAccessible::Client);
        SetAccessibleRole(&dialog, QAccessible::Dialog);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&dialog);
        QCOMPARE(iface->role(), QAccessible::Dialog);
        dialog.setWindowTitle(QStringLiteral("List of Reminders"));
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("List of Reminders"));

        QWidget window;
        SetAccessibleRole(&window, QAccessible::Window);
        QCOMPARE(QAccessible::queryAccessibleInterface(&window)->role(), QAccessible::Window);
        QWidget plain; // untouched widgets keep Qt's own view
        QCOMPARE(QAccessible::queryAccessibleInterface(&plain)->role(), QAccessible::Client);
    }

    void dateAndTimeReadAsText() {
        QWidget form;
        auto* date = new QDateEdit(QDate(2026, 12, 9), &form);
        date->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        date->setAccessibleName(QStringLiteral("Date"));
        auto* time = new QTimeEdit(QTime(14, 5), &form);
        time->setDisplayFormat(QStringLiteral("HH:mm"));
        time->setAccessibleName(QStringLiteral("Time"));
        QVERIFY(QAccessible::queryAccessibleInterface(date)->valueInterface()); // Qt's: a number, 0
        ReadAsText(date);
        ReadAsText(time);
        for (auto [edit, shown] : {std::pair<QWidget*, QString>{date, QStringLiteral("09/12/2026")},
                                   std::pair<QWidget*, QString>{time, QStringLiteral("14:05")}}) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(edit);
            QVERIFY(!iface->valueInterface());
            QCOMPARE(iface->role(), QAccessible::SpinBox);
            QCOMPARE(iface->text(QAccessible::Value), shown);
            QAccessibleTextInterface* text = iface->textInterface();
            QVERIFY(text);
            QCOMPARE(text->text(0, text->characterCount()), shown);
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(date)->text(QAccessible::Name), QStringLiteral("Date"));
        // The text follows the edit.
        time->setTime(QTime(9, 30));
        QCOMPARE(QAccessible::queryAccessibleInterface(time)->text(QAccessible::Value), QStringLiteral("09:30"));
    }

    void comboBoxesNamedByLabels() {
        QWidget form;
        form.show();
        auto* first = new QComboBox(&form);
        auto* second = new QComboBox(&form);
        for (QComboBox* c : {first, second})
            c->addItems({QStringLiteral("No Sound"), QStringLiteral("Beep")});
        NameComboBox(first, QStringLiteral("Sound for PopUp"));
        NameComboBox(second, QStringLiteral("Sound for Animate Icon"));
        auto labelOf = [](QComboBox* c) {
            QStringList names;
            for (const auto& [iface, relation] :
                 QAccessible::queryAccessibleInterface(c)->relations(QAccessible::Label))
                names << iface->text(QAccessible::Name);
            return names;
        };
        QCOMPARE(labelOf(first), QStringList{QStringLiteral("Sound for PopUp")});
        QCOMPARE(labelOf(second), QStringList{QStringLiteral("Sound for Animate Icon")});
        QCOMPARE(first->accessibleName(), QStringLiteral("Sound for PopUp")); // what Windows reads
        // The labels are for screen readers only: nothing new on screen.
        for (QLabel* l : form.findChildren<QLabel*>())
            QVERIFY(!l->isVisible());
    }

    void scrollBarsNamed() {
        QPlainTextEdit memo;
        NameScrollBars(&memo);
        QVERIFY(!memo.verticalScrollBar()->accessibleName().isEmpty());
        QVERIFY(!memo.horizontalScrollBar()->accessibleName().isEmpty());
        QVERIFY(memo.verticalScrollBar()->accessibleName() != memo.horizontalScrollBar()->accessibleName());
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
