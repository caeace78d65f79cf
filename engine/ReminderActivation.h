// The activation: Viz_Rem hands the reminder the monitor took up to the display its Kind asks for.
// Each display beeps itself (once, before it starts) when Beep is non-zero; an unknown Kind shows
// nothing and makes no sound. Where the desktop gives no access to other programs' windows
// (Services.windows is NoForeignWindows) a title-kind reminder is shown in the pop-up instead, and so it is
// when no title-bar display is attached.
#pragma once

#include "engine/Activation.h"
#include "store/Services.h"

namespace tw {

class PopUpLogic;
class TitleBar;
class TrayIconStates;

class ReminderActivation : public Activation {
public:
    ReminderActivation(Services& services, TrayIconStates& tray) : m_services(services), m_tray(tray) {}

    void Viz_Rem(ReminderRecord& record) override;

    // The displays that are windows, or reach other programs' windows, attach once they exist.
    void setPopUp(PopUpLogic* popUp) { m_popUp = popUp; }
    void setTitleBar(TitleBar* titleBar) { m_titleBar = titleBar; }

private:
    void showPopUp(ReminderRecord& record);

    Services& m_services;
    TrayIconStates& m_tray;
    PopUpLogic* m_popUp = nullptr;
    TitleBar* m_titleBar = nullptr;
};

} // namespace tw
