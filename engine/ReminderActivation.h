// The activation: Viz_Rem hands the reminder the monitor took up to the display its Kind asks for.
// Each display beeps itself (once, before it sets MonitorShowing) when Beep is non-zero; an
// unknown Kind shows nothing and makes no sound.
//
// The title-bar display and the pop-up are windows, so they come in through seams that the main
// window sets (engine/EngineWiring.h). Where the desktop gives no access to other programs' windows
// (Services.windows is null) a title-kind reminder is shown in the pop-up instead, and so it is
// when no title-bar display is attached.
#pragma once

#include <functional>

#include "engine/Activation.h"
#include "engine/TrayIconStates.h"
#include "store/Services.h"

namespace tw {

class ReminderActivation : public Activation {
public:
    ReminderActivation(Services& services, TrayIconStates& tray) : m_services(services), m_tray(tray) {}

    void Viz_Rem(ReminderRecord& record) override;

    std::function<void(ReminderRecord&)> ShowInTitleBar;
    std::function<void(ReminderRecord&)> ShowPopUpReminder;

private:
    Services& m_services;
    TrayIconStates& m_tray;
};

} // namespace tw
