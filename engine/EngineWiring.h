// Connects the reminder engine's parts as the main window TRMForm owns them: the pop-up shows the
// pop-up kind and the clicked flashing icon, the tray logic stops Flash_Timer when the pop-up ends
// an icon reminder, and the activation reaches the title-bar display through ShowInTitleBar (set by
// the shell to the title-bar display's own entry, when there is one).
#pragma once

#include "engine/Rem_Popup.h"
#include "engine/ReminderActivation.h"
#include "engine/TrayIconStates.h"

namespace tw {

inline void WireEngine(TRem_Pop& popUp, TrayIconStates& tray, ReminderActivation& activation) {
    activation.ShowPopUpReminder = [&popUp](ReminderRecord& r) { popUp.ShowPopUpReminder(r); };
    tray.setShowIconReminder([&popUp](ReminderRecord& r) { popUp.ShowIconReminder(r); });
    popUp.logic().setIconReminderEnded([&tray] { tray.StopFlashTimer(); });
}

} // namespace tw
