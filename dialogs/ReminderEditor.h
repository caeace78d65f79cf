// Tf_Reminder, the reminder editor window (f_Reminder): the one dialog that creates reminders and changes one taken
// from the list of reminders. Created once, only hidden and shown again: ShowNew opens it for a new reminder (only to
// the front while it is open), ShowEdit for the reminder the list took out.
#pragma once

#include <QDialog>

#include "dialogs/EditorRules.h"
#include "dialogs/NoteEdit.h"
#include "store/Services.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
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

    Services& m_services;
    double m_date = 0.0;
    double m_time = 0.0;
    bool m_filling = false; // the pickers or the note are being set by the program, not the user
    bool m_placed = false;  // centred once; later shows keep where the user moved it
};

} // namespace tw
