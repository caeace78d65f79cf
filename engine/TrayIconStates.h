// The tray icon's states: the still icon chosen from the shared state, the counter and reminder
// tooltips, and the 30-second flash of an icon-kind reminder with its end. Window-free: it drives a
// platform::TrayIcon and the one-shot Flash_Timer; engine/ReminderEngine.h wires it into the engine.
#pragma once

#include <string>

#include "engine/Activation.h"
#include "platform/Timer.h"
#include "platform/TrayIcon.h"
#include "store/Services.h"

namespace tw {

inline constexpr int FlashMs = 30000;

class PopUpLogic;

class TrayIconStates : public DisplayEndListener, private platform::TrayIconListener, private platform::TimerListener {
public:
    // Sets the frame list and listens to the icon's clicks (RxTrayIcon1Click) and to Flash_Timer.
    TrayIconStates(Services& services, HandBack& handBack, platform::TrayIcon& icon,
                   platform::OneShotTimer& flashTimer);
    ~TrayIconStates() override;
    TrayIconStates(const TrayIconStates&) = delete;
    TrayIconStates& operator=(const TrayIconStates&) = delete;

    // Brings animation, tooltip and still icon up to date (every monitor tick, and after
    // "&Disable All" is toggled).
    void Check_Ikon();
    // The activation of an icon-kind reminder: starts the flash of CurrentReminder.
    void Icon_F();
    // Flash_Timer's handler: the flash is over, the reminder is handed back.
    void Flash_TimerTimer();
    // Any click on the tray icon: while it flashes, opens the reminder in the pop-up.
    void RxTrayIcon1Click();
    // "H&ide": toggles TrayIconShown and returns its new value (Hide2 is ticked when it is false).
    bool Icon_Tray_Hide();
    // A display has ended: a flash still counting is over too (the pop-up ended it early).
    void displayEnded() override;

    // The pop-up that a click on the flashing icon opens.
    void setPopUp(PopUpLogic* popUp) { m_popUp = popUp; }

    // The texts Check_Ikon gives the hint (before the tooltip's cut to 63 characters).
    std::string counterHint() const;
    std::string reminderHint() const;
    // The still icon's resource name for the shared state as it is.
    std::string stillIconName() const;

private:
    void trayIconClicked() override { RxTrayIcon1Click(); }
    void timedOut() override { Flash_TimerTimer(); }

    Services& m_services;
    HandBack& m_handBack;
    platform::TrayIcon& m_icon;
    platform::OneShotTimer& m_flashTimer;
    PopUpLogic* m_popUp = nullptr;
};

} // namespace tw
