// The reminder engine as the program wires it, the one wiring the shell and the tests both use: the
// hand-back shared by the monitor and the displays, the tray icon states (told when a display ends), the activation
// and the monitor. The pop-up and the title-bar display attach once they exist.
#pragma once

#include "engine/Activation.h"
#include "engine/Monitor.h"
#include "engine/PopUpLogic.h"
#include "engine/ReminderActivation.h"
#include "engine/TitleBar.h"
#include "engine/TrayIconStates.h"

namespace tw {

class ReminderEngine {
public:
    ReminderEngine(Services& services, platform::TrayIcon& icon, platform::OneShotTimer& flashTimer)
        : handBack(services.store), tray(services, handBack, icon, flashTimer), activation(services, tray),
          monitor(services.store, services.clock, services.boxes, activation, handBack) {
        handBack.setEndListener(&tray);
    }
    ReminderEngine(const ReminderEngine&) = delete;
    ReminderEngine& operator=(const ReminderEngine&) = delete;

    // The pop-up shows pop-up reminders and the clicked flashing icon's reminder.
    void attachPopUp(PopUpLogic& popUp) {
        activation.setPopUp(&popUp);
        tray.setPopUp(&popUp);
    }
    void attachTitleBar(TitleBar& titleBar) { activation.setTitleBar(&titleBar); }

    // One tick of Monitor_Timer: the tray icon first, then the monitor step.
    void Monitor_TimerTimer() {
        tray.Check_Ikon();
        monitor.Mon_Rem();
    }

    HandBack handBack;
    TrayIconStates tray;
    ReminderActivation activation;
    Monitor monitor;
};

} // namespace tw
