// TrayFallback: the start-up wait for a tray host and the window that stands in for a lost one.
#include "engine/TrayFallback.h"

namespace tw {

TrayFallback::TrayFallback(platform::TrayHost& host, platform::OneShotTimer& startWait,
                           std::function<bool()> iconWanted, std::function<void()> showWindow)
    : m_host(host), m_startWait(startWait), m_iconWanted(std::move(iconWanted)), m_showWindow(std::move(showWindow)) {
    m_startWait.setTimeoutHandler([this] { waitOver(); });
    m_host.setChangeHandler([this] { hostChanged(); });
}

TrayFallback::~TrayFallback() {
    m_host.setChangeHandler({});
    m_startWait.setTimeoutHandler({});
    m_startWait.stop();
}

void TrayFallback::start() {
    m_present = m_host.present();
    if (!m_present)
        m_startWait.start(StartWaitMs);
}

void TrayFallback::waitOver() {
    m_present = m_host.present();
    if (!m_present)
        m_showWindow();
}

void TrayFallback::hostChanged() {
    const bool present = m_host.present();
    if (present == m_present)
        return;
    m_present = present;
    if (present) {
        // A tray host came during the start-up wait: the icon docks there, no window is needed.
        m_startWait.stop();
        return;
    }
    // During the start-up wait the window comes when the wait is over; an icon hidden on purpose
    // is not missed.
    if (!m_startWait.isActive() && m_iconWanted())
        m_showWindow();
}

} // namespace tw
