// Viz_Rem's dispatch by Kind.
#include "engine/ReminderActivation.h"

namespace tw {

void ReminderActivation::Viz_Rem(ReminderRecord& record) {
    switch (record.Kind) {
    case KindTitle:
        if (m_services.windows && ShowInTitleBar)
            ShowInTitleBar(record);
        else if (ShowPopUpReminder)
            ShowPopUpReminder(record);
        break;
    case KindIcon:
        m_tray.Icon_Flash(record);
        break;
    case KindPopUp:
        if (ShowPopUpReminder)
            ShowPopUpReminder(record);
        break;
    default:
        break;
    }
}

} // namespace tw
