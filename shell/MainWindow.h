// TRMForm, the program's hidden main window: it owns the timers, the tray icon with its menus, the
// global hot key and the reminder engine that drives the icon and wakes on the wall-clock alarm, and
// runs the orderly exit that writes both reminder files. The other windows hear its menu commands through its signals.
#pragma once

#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "engine/TrayFallback.h"
#include "platform/Desktop.h"
#include "platform/TrayHost.h"
#include "platform/TrayIcon.h"
#include "platform/WallClockAlarm.h"
#include "platform/qt/RecentWindowTracker.h"
#include "platform/qt/TrayNotifier.h"
#include "store/QuickAdd.h"
#include "store/Services.h"

namespace tw {

namespace platform {
class QtTrayIcon;
class QtOneShotTimer;
} // namespace platform

class LauncherWindow;
class ReminderEngine;
class TitleBar;
class TRMForm : public QWidget,
                private platform::TrayIconListener,
                private platform::HotKeyListener,
                private TrayFallbackOwner {
    Q_OBJECT
public:
    // Without an X11 display hotKey is NoHotKey: there is then no Ctrl+F2. The alarm wakes the
    // monitor and must outlive the window. With trayHost the window "Tellwick" comes up where no
    // notification area shows the tray icon; without it never.
    TRMForm(Services& services, platform::WallClockAlarm& alarm, platform::GlobalHotKey& hotKey,
            platform::DesktopGeometry& desktop, platform::TrayHost* trayHost = nullptr, QWidget* parent = nullptr);
    ~TRMForm() override;

    // The engine behind the tray icon and the monitor; the pop-up window attaches to it.
    ReminderEngine& engine() { return *m_engine; }
    // Passing notices from the tray icon ("Missed reminders").
    platform::Notifier& notifier() { return *m_notifier; }

    // Start-up steps of the main window: hot key, help file, title state, the two files, initial state.
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
    // One monitor step with the tray icon's update (the alarm runs it when the step is due).
    void Monitor_TimerTimer();
    void TimerSTimer();
    void RxTrayIcon1DblClick();

    // Writes "rd.dt" and then "re.dt" as they would be with a reminder held by the editor put back.
    // The tables and the edit in memory are not touched; false after an error box.
    bool saveAll();
    // The session ends or the system asks the program to terminate: saves as "E&xit" does,
    // without asking, and ends the program. After a failed save the program stays.
    void endSession();
    // Opens the menu where Ctrl+F2 opens it; where no menu can be placed (a Wayland session, no tray
    // shown), brings the program into reach instead.
    void openMenu();
    // Where the hot-key menu opens.
    platform::Point hotKeyMenuPosition() const;
    bool ended() const { return m_ended; }
    // A reminder in one line from a second copy (--add): stored and "rd.dt" saved as the editor's
    // OK stores and saves; the list and the monitor follow the table as after OK.
    QuickAddResult takeQuickEntry(const std::string& text);

    // Brings the program into reach: a second start, and every command of a second copy, calls it
    // first. Where no notification area shows the tray icon the window "Tellwick" comes up, otherwise
    // the most recently active window comes forward.
    void reach();
    // Shows the window "Tellwick" (made at its first showing) and gives it the focus.
    void showLauncher();
    // The window "Tellwick"; null until it was first shown.
    LauncherWindow* launcher() const { return m_launcher.get(); }

signals:
    // FormCreate has come to the help file: whoever knows where it lies sets it now.
    void helpFileNeeded();
    void newReminderRequested(); // "&New Reminder" (also the tray icon's double click)
    void listRequested();        // "&List of Reminders"
    void viewLogRequested();     // "View Log"
    void aboutRequested();       // "&About"
    void activityLogToggled(bool on);
    void activitySampleDue(); // TimerS ticked: one activity sample is to be armed
    // The main window has closed (after FormClose and FormDestroy): the program ends.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormClose();
    void FormDestroy();
    // The tray icon's clicks: a click goes on to the engine, a double click is the window's own.
    void trayIconClicked() override;
    void trayIconDoubleClicked() override { RxTrayIcon1DblClick(); }
    bool trayIconWanted() const override { return m_services.store.TrayIconShown; }
    void showWindowInstead() override { showLauncher(); }
    void hotKeyPressed() override { WMHotKey(); }

    Services& m_services;
    platform::GlobalHotKey& m_hotKey;
    platform::DesktopGeometry& m_desktop;
    platform::RecentWindowTracker m_recentWindow; // the program's one tracker of its last active window
    bool m_hotKeyRegistered = false;
    bool m_ended = false;
    bool m_confirmingExit = false;

    platform::WallClockAlarm& m_alarm;
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

    std::unique_ptr<platform::QtTrayIcon> m_trayIcon;
    std::unique_ptr<platform::TrayNotifier> m_notifier;
    std::unique_ptr<platform::QtOneShotTimer> m_flashTimer;
    std::unique_ptr<TitleBar> m_titleBar;
    std::unique_ptr<ReminderEngine> m_engine;
    std::unique_ptr<platform::QtOneShotTimer> m_trayWait;
    std::unique_ptr<TrayFallback> m_trayFallback; // null without a tray host to follow
    std::unique_ptr<LauncherWindow> m_launcher;
};

} // namespace tw
