// The tray icon's states, its flash and the end of the flash.
#include "engine/TrayIconStates.h"

#include "engine/PopUpLogic.h"
#include "store/DateFormat.h"

namespace tw {

TrayIconStates::TrayIconStates(Services& services, HandBack& handBack, platform::TrayIcon& icon,
                               platform::OneShotTimer& flashTimer)
    : m_services(services), m_handBack(handBack), m_icon(icon), m_flashTimer(flashTimer) {
    // FlashFrames: blue, lime, yellow square, then the aqua page.
    m_icon.setFrames({"ICO_F4", "ICO_F3", "ICO_F2", "ICO_F1"});
    m_icon.setListener(this);
    m_flashTimer.setListener(this);
}

TrayIconStates::~TrayIconStates() {
    // The icon is left alone: its owner may have taken its clicks over (the main window does).
    m_flashTimer.setListener(nullptr);
}

std::string TrayIconStates::counterHint() const {
    const Store& s = m_services.store;
    return " Reminders Counter: \n\r Active:  " + std::to_string(s.ActiveCount) +
           "\n\r Expired: " + std::to_string(s.ExpiredCount);
}

std::string TrayIconStates::reminderHint() const {
    const Store& s = m_services.store;
    const ReminderRecord& r = s.CurrentReminder;
    return DateToStr(s.Formats, m_services.locale, r.RemDate) + " " +
           TimeToStr(s.Formats, m_services.locale, r.RemTime) + "  \n\r\n\r" + m_services.codePage.toUtf8(NoteText(r)) +
           "\n\r";
}

std::string TrayIconStates::stillIconName() const {
    const Store& s = m_services.store;
    if (!s.TrayIconShown)
        return " ";
    if (!s.RemindersEnabled)
        return "ICO_TRAYD";
    if (s.ActiveCount == 0)
        return "ICO_TRAY";
    return "ICO_TRAYR";
}

void TrayIconStates::Check_Ikon() {
    const Store& s = m_services.store;
    if (s.IconFlashing) {
        m_icon.setAnimated(true);
        m_icon.setHint(reminderHint());
    } else {
        m_icon.setAnimated(false);
        m_icon.setHint(counterHint());
    }
    if (s.MonitorState != MonitorIdle)
        return;
    m_icon.setStillIcon(stillIconName());
}

void TrayIconStates::Icon_F() {
    const Store& s = m_services.store;
    if (!s.TrayIconShown)
        m_icon.setMenu(platform::TrayMenu::Empty);
    if (s.CurrentReminder.Beep != 0)
        m_services.beeper.beep();
    m_handBack.displayStarted(Display::IconFlash);
    m_flashTimer.start(FlashMs);
}

void TrayIconStates::Flash_TimerTimer() {
    m_handBack.displayFinished(); // displayEnded below stops the timer and puts the main menu back
}

void TrayIconStates::RxTrayIcon1Click() {
    // The animation stops only at the next monitor tick. A click in the second after the flash has
    // ended (by Flash_Timer or by the pop-up) would otherwise open a reminder already handed back:
    // an emptied one shows the date 30 December 1899, and MonitorShowing would hold the monitor
    // back from settling it.
    if (!m_icon.animated() || !m_services.store.IconFlashing)
        return;
    // The open pop-up now owns the reminder and hands it back through its buttons. Left running,
    // Flash_Timer would end the reminder under the open window, and the window's buttons would
    // then act on whichever reminder the monitor had taken up meanwhile.
    m_flashTimer.stop();
    if (m_popUp != nullptr)
        m_popUp->ShowIconReminder();
    m_icon.setMenu(platform::TrayMenu::Main);
}

bool TrayIconStates::Icon_Tray_Hide() {
    Store& s = m_services.store;
    s.TrayIconShown = !s.TrayIconShown;
    return s.TrayIconShown;
}

void TrayIconStates::displayEnded() {
    m_flashTimer.stop();
    m_icon.setMenu(platform::TrayMenu::Main);
}

} // namespace tw
