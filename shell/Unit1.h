// TRMForm, the program's hidden main window: it owns the timers, the tray icon with its menus and
// the global hot key, and runs the orderly exit that writes both reminder files. Every other
// window and engine part reaches it through the seams below, so that each can be wired in (and
// replaced by a test double) on its own.
#pragma once

#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "platform/Desktop.h"
#include "store/Services.h"

namespace tw {

// The tray icon logic of the engine: icon choice, tooltip, flashing, hiding.
class TrayLogic {
public:
    virtual ~TrayLogic() = default;
    virtual void Check_Ikon() = 0;
    virtual void Icon_Tray_Hide() = 0;
    virtual void RxTrayIcon1Click() = 0;
    virtual void Flash_TimerTimer() = 0;
};

// What the main window asks of the other windows and engine parts. An empty seam does nothing.
struct ShellSeams {
    std::function<void()> monRem;                    // the monitor step (Mon_Rem)
    std::function<void()> findHelpFile;              // looks for the help file beside the executable
    std::function<void()> showEditor;                // Tf_Reminder, non-modal
    std::function<void()> showList;                  // TPagesDlg's Show
    std::function<void()> viewLog;                   // the log window shows itself on the next turn
    std::function<void()> sampleTick;                // TimerS tick: arms one activity sample
    std::function<void(bool)> setActivityLogEnabled; // ActivityLogEnabled
    std::function<void()> resetTitleState;           // TitleWindow, TitleRestoreWindow, TitleModified
    std::function<bool()> titleModified;             // TitleModified
    std::function<void()> restoreTitle;              // RestoreTitle
};

class TRMForm : public QWidget {
    Q_OBJECT
public:
    // hotKey and desktop may be null (no X11 display): there is then no Ctrl+F2.
    TRMForm(Services& services, platform::GlobalHotKey* hotKey, platform::DesktopGeometry* desktop,
            QWidget* parent = nullptr);
    ~TRMForm() override;

    void setSeams(ShellSeams seams) { m_seams = std::move(seams); }
    // Null puts back the built-in still icon with the counter tooltip.
    void setTrayLogic(TrayLogic* logic) { m_tray = logic; }
    void setAboutBox(QWidget* box) { m_aboutBox = box; }
    void setMainIcon(const QIcon& icon);

    // Start-up steps of the main window: hot key, title state, the two files, initial state.
    void FormCreate();

    // Menu and event handlers.
    void Disable1_Click();
    void m_ReminderClick();
    void m_OptionsClick();
    void StartLog1Click();
    void ViewLog1Click();
    void Help1Click();
    void About1Click();
    void Hide1Click();
    void m_Exit1Click();
    void PopupMenu2Popup();
    void WMHotKey();
    void Monitor_TimerTimer();
    void TimerSTimer();
    void RxTrayIcon1DblClick();

    // Writes "rd.dt" and then "re.dt", with a reminder held by the editor put back into the active
    // table first. The tables and the edit in memory stay as they were; false after an error box.
    bool saveAll();
    // The session ends or the system asks the program to terminate: saves as "E&xit" does,
    // without asking, and ends the program. After a failed save the program stays.
    void endSession();
    // Where the hot-key menu opens.
    platform::Point hotKeyMenuPosition() const;
    bool hotKeyRegistered() const { return m_hotKeyRegistered; }
    bool ended() const { return m_ended; }

    QTimer* Monitor_Timer;
    QTimer* Flash_Timer;
    QTimer* TimerS;
    QSystemTrayIcon* RxTrayIcon1;
    QMenu* PopupMenu2;
    QMenu* PopupMenu1;
    QAction* DisableAll1;
    QAction* NewReminder1;
    QAction* ListofReminders1;
    QMenu* ools1;
    QAction* StartLog1;
    QAction* ViewLog1;
    QAction* N3;
    QAction* Help2;
    QAction* About2;
    QAction* N4;
    QAction* Hide2;
    QAction* Exit1;

signals:
    // The main window has closed (after FormClose and FormDestroy): the program ends.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormClose();
    void FormDestroy();
    void checkIcon(); // the engine's Check_Ikon, or the built-in still icon
    void basicCheckIkon();
    void basicIconTrayHide();
    void onTrayActivated(QSystemTrayIcon::ActivationReason reason);

    Services& m_services;
    platform::GlobalHotKey* m_hotKey;
    platform::DesktopGeometry* m_desktop;
    ShellSeams m_seams;
    TrayLogic* m_tray = nullptr;
    QPointer<QWidget> m_aboutBox;
    QIcon m_mainIcon;
    bool m_hotKeyRegistered = false;
    bool m_ended = false;
    bool m_confirmingExit = false;
};

// The one main window of the program (set by main while it lives).
extern TRMForm* RMForm;

} // namespace tw
