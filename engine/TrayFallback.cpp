// TrayFallback: the start-up wait for a tray host and the window that stands in for a lost one.
#include "engine/TrayFallback.h"

namespace tw {

TrayFallback::TrayFallback(platform::TrayHost& host, platform::OneShotTimer& startWait, TrayFallbackOwner& owner)
    : m_host(host), m_startWait(startWait), m_owner(owner) {
    m_startWait.setListener(this);
    m_host.setListener(this);
}

TrayFallback::~TrayFallback() {
    m_host.setListener(nullptr);
    m_startWait.setListener(nullptr);
    m_startWait.stop();
}

void TrayFallback::start() {
    m_present = m_host.present();
    if (!m_present)
        m_startWait.start(StartWaitMs);
}

// The start-up wait is over.
void TrayFallback::timedOut() {
    m_present = m_host.present();
    if (!m_present)
        m_owner.showWindowInstead();
}

void TrayFallback::trayHostChanged() {
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
    if (!m_startWait.isActive() && m_owner.trayIconWanted())
        m_owner.showWindowInstead();
}

} // namespace tw
