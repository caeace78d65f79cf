// The reminder pop-up window Rem_Pop: the reminder's date and time, its note (editable), "Dismiss"
// and "Repeat in" one of 21 intervals. Created once, hidden and shown for every reminder; the
// window-free PopUpLogic decides what its buttons do.
#pragma once

#include <QWidget>

#include "engine/PopUpLogic.h"
#include "store/Services.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTextEdit;

namespace tw {

class TRem_Pop : public QWidget, public PopUpView {
    Q_OBJECT
public:
    explicit TRem_Pop(Services& services, QWidget* parent = nullptr);

    // The pop-up kind's display (beeps when asked, "Reminder Started on: ", caption "Reminder").
    void ShowPopUpReminder(ReminderRecord& record) { m_logic.ShowPopUpReminder(record); }
    // Opened from the flashing tray icon ("Reminder stated on: ", no beep).
    void ShowIconReminder(ReminderRecord& record) { m_logic.ShowIconReminder(record); }

    PopUpLogic& logic() { return m_logic; }

    // PopUpView
    void showReminder(const std::string& panelText, const std::string& memoText, bool setCaption) override;
    void hideReminder() override;
    void bringToFront() override;
    std::string memoText() const override;
    int selectedInterval() const override;

    QLabel* Panel1;
    QTextEdit* Memo1;
    QPushButton* Button1;
    QPushButton* Button2;
    QComboBox* ComboBox1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void limitTyping(int position, int charsRemoved, int charsAdded);

    PopUpLogic m_logic;
    bool m_filling = false;
};

// The note's length as the file counts it: one per character, two per line break (CR LF).
int MemoLength(const QString& text);

} // namespace tw
