// WallClockAlarm: wakes the program at a local wall-clock time. Unlike a timer that counts elapsed
// time, it follows the wall clock: it fires when the local clock reaches the armed time, at once
// when the clock is set past it, and on resume from sleep when the time passed meanwhile. While
// armed it also fires when the clock is set (stepped) either way and after the machine resumes, so
// that the owner can look at the clock afresh. Back ends: platform/qt/TimerFdAlarm (Linux timerfd),
// platform/qt/QtWallClockAlarm (a timer checked against the clock, told of clock changes and resume
// by the platform), and fake::FakeAlarm for tests.
#pragma once

#include "platform/Clock.h"

namespace tw::platform {

// Told on the user-interface thread each time the alarm fires; the alarm is disarmed by then.
class AlarmListener {
public:
    virtual ~AlarmListener() = default;
    virtual void alarmFired() = 0;
};

class WallClockAlarm {
public:
    virtual ~WallClockAlarm() = default;
    // Fires once when the local clock shows at; a time not ahead of the clock fires on the next turn
    // of the event loop, never inside arm. Arming again replaces the time.
    virtual void arm(const LocalTime& at) = 0;
    virtual void disarm() = 0;
    virtual bool armed() const = 0;
    // The one listener; null detaches it.
    virtual void setListener(AlarmListener* listener) = 0;
};

} // namespace tw::platform
