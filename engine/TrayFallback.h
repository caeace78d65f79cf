// TrayFallback: decides when the window "Tellwick" must come up because no notification area shows
// the tray icon. At start-up it waits a short while for a tray host; later a tray host that goes
// away brings the window up, unless the icon was hidden on purpose ("Hide").
#pragma once

#include "platform/Timer.h"
#include "platform/TrayHost.h"

namespace tw {

// What the fallback asks and tells its owner, the main window.
class TrayFallbackOwner {
public:
    virtual ~TrayFallbackOwner() = default;
    // The tray icon is meant to be shown (not hidden with "Hide").
    virtual bool trayIconWanted() const = 0;
    // Brings the window "Tellwick" up.
    virtual void showWindowInstead() = 0;
};

class TrayFallback : private platform::TimerListener, private platform::TrayHostListener {
public:
    // How long start-up waits for a tray host before the window comes up.
    static constexpr int StartWaitMs = 3000;

    // The owner must outlive the fallback.
    TrayFallback(platform::TrayHost& host, platform::OneShotTimer& startWait, TrayFallbackOwner& owner);
    ~TrayFallback() override;
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
    void trayHostChanged() override;
    void timedOut() override;

    platform::TrayHost& m_host;
    platform::OneShotTimer& m_startWait;
    TrayFallbackOwner& m_owner;
    bool m_present = true;
};

} // namespace tw
