// A one-shot timer on the user-interface thread (the tray logic's Flash_Timer). The Qt back end is
// platform/qt/OneShotTimer; tests use fake::FakeTimer and fire it by hand.
#pragma once

#include <functional>

namespace tw::platform {

class OneShotTimer {
public:
    virtual ~OneShotTimer() = default;
    // Starts counting ms milliseconds from now; a running timer starts anew.
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    // Runs once when the time is up (the timer is no longer active by then).
    virtual void setTimeoutHandler(std::function<void()> handler) = 0;
};

} // namespace tw::platform
