// TimerFdAlarm: the wall-clock alarm on Linux. A timerfd on CLOCK_REALTIME armed with an absolute
// expiry and TFD_TIMER_CANCEL_ON_SET: the kernel wakes it at the time, at once when the clock is set
// past it, and with ECANCELED when the clock is set either way or the machine resumes from sleep;
// the event loop watches its descriptor. The local time is turned into an instant with the
// session's time zone at each arming, so daylight saving is followed.
#pragma once

#include <QObject>
#include <memory>

#include "platform/WallClockAlarm.h"

class QSocketNotifier;

namespace tw::platform {

class TimerFdAlarm : public QObject, public WallClockAlarm {
    Q_OBJECT
public:
    // Null when the system offers no such timer.
    static std::unique_ptr<TimerFdAlarm> create();
    ~TimerFdAlarm() override;

    void arm(const LocalTime& at) override;
    void disarm() override;
    bool armed() const override { return m_armed; }
    void setListener(AlarmListener* listener) override { m_listener = listener; }

private:
    explicit TimerFdAlarm(int fd);
    void readable();

    int m_fd;
    QSocketNotifier* m_notifier;
    bool m_armed = false;
    AlarmListener* m_listener = nullptr;
};

} // namespace tw::platform
