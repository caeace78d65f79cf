// The tray icon's states: the still icon chosen from the shared state, the counter and reminder
// tooltips, and the 30-second flash of an icon-kind reminder with its end. Window-free: it drives a
// platform::TrayIcon and the one-shot Flash_Timer.
//
// Wiring in the hidden main window TRMForm (shell/Unit1):
//   platform::QtTrayIcon RxTrayIcon1(PopupMenu2, PopupMenu1);   // the shell's two QMenus
//   platform::QtOneShotTimer Flash_Timer;
//   TrayIconStates tray(services, RxTrayIcon1, Flash_Timer);    // takes the click and timer events
//   tray.setShowIconReminder([&](ReminderRecord& r) { Rem_Pop.ShowIconReminder(r); });
//   Monitor_Timer tick: tray.Check_Ikon(); monitor.Mon_Rem();
//   "&Disable All" toggled: tray.Check_Ikon();   "H&ide": Hide2->setChecked(!tray.Icon_Tray_Hide());
// engine/EngineWiring.h does the connections between the pop-up, this class and the activation.
#pragma once

#include <functional>
#include <string>

#include "platform/Timer.h"
#include "platform/TrayIcon.h"
#include "store/Services.h"

namespace tw {

inline constexpr int FlashMs = 30000;

class TrayIconStates {
public:
    // Attaches the frame list, the click handler (RxTrayIcon1Click) and Flash_Timer's handler.
    TrayIconStates(Services& services, platform::TrayIcon& icon, platform::OneShotTimer& flashTimer);

    // Brings animation, tooltip and still icon up to date (every monitor tick, and after
    // "&Disable All" is toggled).
    void Check_Ikon();
    // The activation of an icon-kind reminder; the flash always concerns CurrentReminder.
    void Icon_Flash(ReminderRecord& record);
    void Icon_F();
    // Flash_Timer's handler: the flash is over, the reminder is handed back.
    void Flash_TimerTimer();
    // Any click on the tray icon: while it flashes, opens the reminder in the pop-up.
    void RxTrayIcon1Click();
    // "H&ide": toggles TrayIconShown and returns its new value (Hide2 is ticked when it is false).
    bool Icon_Tray_Hide();
    // The pop-up ended the icon-kind reminder before the flash was over.
    void StopFlashTimer();

    void setShowIconReminder(std::function<void(ReminderRecord&)> fn) { m_showIconReminder = std::move(fn); }

    // The texts Check_Ikon gives the hint (before the tooltip's cut to 63 characters).
    std::string counterHint() const;
    std::string reminderHint() const;
    // The still icon's resource name for the shared state as it is.
    std::string stillIconName() const;

private:
    Services& m_services;
    platform::TrayIcon& m_icon;
    platform::OneShotTimer& m_flashTimer;
    std::function<void(ReminderRecord&)> m_showIconReminder;
};

} // namespace tw
