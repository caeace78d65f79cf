// A one-shot timer on the user-interface thread (the tray logic's Flash_Timer). The Qt back end is
// QtOneShotTimer (platform/qt/TrayIcon.h); tests use fake::FakeTimer and fire it by hand.
#pragma once

namespace tw::platform {

// Told when a one-shot timer's time is up (the timer is no longer active by then).
class TimerListener {
public:
    virtual ~TimerListener() = default;
    virtual void timedOut() = 0;
};

class OneShotTimer {
public:
    virtual ~OneShotTimer() = default;
    // Starts counting ms milliseconds from now; a running timer starts anew.
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    // The one listener; null detaches it.
    virtual void setListener(TimerListener* listener) = 0;
};

} // namespace tw::platform
