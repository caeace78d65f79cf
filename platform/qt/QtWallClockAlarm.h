// QtWallClockAlarm: the wall-clock alarm on a Qt timer checked against the platform's clock. The
// timer never waits more than a minute before it looks at the clock again, so a clock that was set
// meanwhile is noticed within a minute; the platform reports clock changes and resume from sleep
// through clockChanged (on Windows WM_TIMECHANGE and WM_POWERBROADCAST) so that they are noticed at
// once. Linux uses platform/qt/TimerFdAlarm instead, which the kernel wakes.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

#include "platform/Clock.h"
#include "platform/WallClockAlarm.h"

namespace tw::platform {

// Milliseconds from a to b on the local calendar (negative when b is earlier).
long long LocalMsBetween(const LocalTime& a, const LocalTime& b);

class QtWallClockAlarm : public QObject, public WallClockAlarm {
    Q_OBJECT
public:
    // The longest wait between two looks at the clock.
    static constexpr int SafetyNetMs = 60000;

    explicit QtWallClockAlarm(const Clock& clock, QObject* parent = nullptr);
    void arm(const LocalTime& at) override;
    void disarm() override;
    bool armed() const override { return m_armed; }
    void setListener(AlarmListener* listener) override { m_listener = listener; }

    // The wall clock was set, the time zone changed, or the machine resumed: an armed alarm fires on
    // the next turn of the event loop.
    void clockChanged();

private:
    void wait();
    void timeout();

    const Clock& m_clock;
    QTimer m_timer;
    LocalTime m_at;
    bool m_armed = false;
    AlarmListener* m_listener = nullptr;
};

} // namespace tw::platform
