// The reminder engine as the program wires it, the one wiring the shell and the tests both use: the
// hand-back shared by the monitor and the displays, the tray icon states (told when a display ends), the activation,
// the monitor and its wake-up on the wall-clock alarm. The pop-up and the title-bar display attach
// once they exist.
#pragma once

#include "engine/Activation.h"
#include "engine/Monitor.h"
#include "engine/MonitorWakeUp.h"
#include "engine/PopUpLogic.h"
#include "engine/ReminderActivation.h"
#include "engine/TitleBar.h"
#include "engine/TrayIconStates.h"
#include "platform/WallClockAlarm.h"

namespace tw {

class ReminderEngine : private StepDueListener {
public:
    ReminderEngine(Services& services, platform::TrayIcon& icon, platform::OneShotTimer& flashTimer,
                   platform::WallClockAlarm& alarm)
        : handBack(services.store), tray(services, handBack, icon, flashTimer), activation(services, tray),
          monitor(services.store, services.clock, services.boxes, activation, handBack),
          wakeUp(services.store, services.clock, alarm, *this) {
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

    // One step, run by the wake-up: the tray icon first, then the monitor step, then the icon again
    // so that it shows what the step changed (no tick follows to catch up). The end of the step arms
    // the alarm for the next one.
    void Monitor_TimerTimer() {
        wakeUp.stepBegins();
        tray.Check_Ikon();
        monitor.Mon_Rem();
        tray.Check_Ikon();
        wakeUp.stepEnded();
    }

    HandBack handBack;
    TrayIconStates tray;
    ReminderActivation activation;
    Monitor monitor;
    MonitorWakeUp wakeUp;

private:
    void stepDue() override { Monitor_TimerTimer(); }
};

} // namespace tw
