// Tf_Reminder, the reminder editor window (f_Reminder): the one dialog that creates reminders and changes one taken
// from the list of reminders. Created once, only hidden and shown again: ShowNew opens it for a new reminder (only to
// the front while it is open), ShowEdit for the reminder the list took out.
#pragma once

#include <QDialog>
#include <optional>

#include "dialogs/EditorRules.h"
#include "dialogs/NoteEdit.h"
#include "platform/LocalTimeZone.h"
#include "store/QuickEntry.h"
#include "store/Services.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;

namespace tw {

class Tf_Reminder : public QDialog {
    Q_OBJECT
public:
    explicit Tf_Reminder(Services& services, QWidget* parent = nullptr);

    // "&New Reminder": a hidden editor is prepared for a new reminder and shown; an open one only
    // comes to the front, keeping what was typed.
    void ShowNew();
    // The list's Edit: shows EditBuffer, which the store took out of its table (Store::BeginEdit),
    // over whatever the editor held.
    void ShowEdit();
    void DefaultClick();
    void TitleClick();
    void PopUpClick();
    void IconClick();
    // True, after telling the user, when the note is empty.
    bool Empty_Text();
    // Stores one reminder per ticked box. May throw IoError.
    void Apply();
    void b_OKClick();
    void b_ApplyClick();
    void b_CancelClick();
    void FormClose();
    void Button1Click();
    // Seen before the focused control; true when the key was handled here.
    bool FormKeyDown(int key);

    // The full values the pickers hold (day-count), of which they show only the day, resp. the time.
    double heldDate() const { return m_date; }
    double heldTime() const { return m_time; }

    void reject() override;

    // The local time zone, for quick entry's times that the clock skips; by default every minute exists.
    void setTimeZone(const platform::LocalTimeZone& zone) { m_zone = &zone; }

    // "&Quick entry:", the one-line field above the groups, and the line under it that says what
    // will be stored or which part was not understood.
    QLabel* QuickLabel;
    QLineEdit* QuickEntryEdit;
    QLabel* QuickResult;
    QGroupBox* GroupBox1;
    NoteEdit* Memo1;
    QGroupBox* GroupBox2;
    QDateEdit* DateTime1;
    QTimeEdit* DateTime2;
    // "&Repeat:" and the rule of the reminder ("Once", "Every day", ...), beside the date and time.
    QLabel* RepeatLabel;
    QComboBox* RepeatList;
    QGroupBox* GroupBox3;
    QCheckBox* Title;
    QComboBox* ComboBox1;
    QCheckBox* PopUp;
    QComboBox* ComboBox2;
    QCheckBox* Icon;
    QComboBox* ComboBox3;
    QPushButton* b_OK;
    QPushButton* b_Apply;
    QPushButton* b_Cancel;
    QPushButton* Button1;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShowNew();
    void FormShowEdit();
    void showInFront();
    void setHeldDate(double value);
    void setHeldTime(double value);
    void setChoices(const ActivationChoices& c);
    ActivationChoices choices() const;
    void enableSoundLists();
    void centreOnScreen();
    // Quick entry: the fields follow what the line says, on top of what they held before it was typed.
    void QuickEntryEdited(const QString& text);
    // True, after telling the user, when the quick entry holds a line that is not a reminder. An
    // accepted line is read again first, at the present moment.
    bool QuickEntryRefused();
    void clearQuickEntry();
    void showQuickResult(const QString& text);

    Services& m_services;
    double m_date = 0.0;
    double m_time = 0.0;
    bool m_filling = false; // the pickers or the note are being set by the program, not the user
    bool m_placed = false;  // centred once; later shows keep where the user moved it
    const platform::LocalTimeZone* m_zone = nullptr;
    // What the date, time, repeat and note held before the quick entry was typed into.
    struct QuickBase {
        double date = 0.0;
        double time = 0.0;
        int repeat = 0;
        QString note;
    };
    std::optional<QuickBase> m_quickBase;
    QuickReading m_quick;
};

} // namespace tw
