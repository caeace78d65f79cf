// TRem_Pop, the reminder pop-up window (Rem_Pop): the reminder's date and time, its note (editable), "Dismiss"
// and "Repeat in" one of 21 intervals. Created once, hidden and shown for every reminder; the
// window-free PopUpLogic decides what its buttons do.
#pragma once

#include <QWidget>

#include "dialogs/NoteEdit.h"
#include "engine/PopUpLogic.h"
#include "store/Services.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace tw {

class TRem_Pop : public QWidget, public PopUpView {
    Q_OBJECT
public:
    TRem_Pop(Services& services, HandBack& handBack, QWidget* parent = nullptr);

    // The pop-up kind's display (beeps when asked, "Reminder Started on: ", caption "Reminder").
    void ShowPopUpReminder(ReminderRecord& record) { m_logic.ShowPopUpReminder(record); }
    // Opened from the flashing tray icon ("Reminder stated on: ", no beep).
    void ShowIconReminder() { m_logic.ShowIconReminder(); }

    PopUpLogic& logic() { return m_logic; }

    // PopUpView
    void showReminder(const std::string& panelText, const std::string& memoText, bool setCaption) override;
    void hideReminder() override;
    void bringToFront() override;
    std::string memoText() const override;
    int selectedInterval() const override;

    QLabel* Panel1;
    NoteEdit* Memo1;
    QPushButton* Button1;
    QPushButton* Button2;
    QComboBox* ComboBox1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();

    PopUpLogic m_logic;
};

} // namespace tw
