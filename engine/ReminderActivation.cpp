// Viz_Rem's dispatch by Kind.
#include "engine/ReminderActivation.h"

#include "engine/PopUpLogic.h"
#include "engine/TitleBar.h"
#include "engine/TrayIconStates.h"

namespace tw {

void ReminderActivation::Viz_Rem(ReminderRecord& record) {
    switch (record.Kind) {
    case KindTitle:
        // Where the desktop keeps other programs' titles to themselves these reminders are pop-ups.
        if (m_services.windows.reachable() && m_services.windows.canSetTitles() && m_titleBar != nullptr)
            m_titleBar->ShowInTitleBar(record);
        else
            showPopUp(record);
        break;
    case KindIcon:
        m_tray.Icon_F();
        break;
    case KindPopUp:
        showPopUp(record);
        break;
    default:
        break;
    }
}

void ReminderActivation::showPopUp(ReminderRecord& record) {
    if (m_popUp != nullptr)
        m_popUp->ShowPopUpReminder(record);
}

} // namespace tw
