// TrayFallback: decides when the window "Tellwick" must come up because no notification area shows
// the tray icon. At start-up it waits a short while for a tray host; later a tray host that goes
// away brings the window up, unless the icon was hidden on purpose ("Hide").
#pragma once

#include <functional>

#include "platform/Timer.h"
#include "platform/TrayHost.h"

namespace tw {

class TrayFallback {
public:
    // How long start-up waits for a tray host before the window comes up.
    static constexpr int StartWaitMs = 3000;

    // iconWanted: the tray icon is meant to be shown (not hidden with "Hide").
    // showWindow: brings the window "Tellwick" up.
    TrayFallback(platform::TrayHost& host, platform::OneShotTimer& startWait, std::function<bool()> iconWanted,
                 std::function<void()> showWindow);
    ~TrayFallback();
    TrayFallback(const TrayFallback&) = delete;
    TrayFallback& operator=(const TrayFallback&) = delete;

    // Start-up: with a tray host there nothing happens; without one the window comes up when none
    // has appeared after StartWaitMs.
    void start();
    // A notification area shows the tray icon (as far as was last heard).
    bool hostPresent() const { return m_present; }
    // Start-up still waits for a tray host.
    bool waiting() const { return m_startWait.isActive(); }

private:
    void hostChanged();
    void waitOver();

    platform::TrayHost& m_host;
    platform::OneShotTimer& m_startWait;
    std::function<bool()> m_iconWanted;
    std::function<void()> m_showWindow;
    bool m_present = true;
};

} // namespace tw
