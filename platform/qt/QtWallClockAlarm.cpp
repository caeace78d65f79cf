// The wall-clock alarm on a Qt timer that looks at the clock at least once a minute.
#include "platform/qt/QtWallClockAlarm.h"

#include <algorithm>

namespace tw::platform {

namespace {

long long LocalMs(const LocalTime& t) {
    using namespace std::chrono;
    const sys_days day{year{t.year} / month{static_cast<unsigned>(t.month)} / static_cast<unsigned>(t.day)};
    const auto ms =
        day.time_since_epoch() + hours{t.hour} + minutes{t.minute} + seconds{t.second} + milliseconds{t.millisecond};
    return duration_cast<milliseconds>(ms).count();
}

} // namespace

long long LocalMsBetween(const LocalTime& a, const LocalTime& b) {
    return LocalMs(b) - LocalMs(a);
}

QtWallClockAlarm::QtWallClockAlarm(const Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &QtWallClockAlarm::timeout);
}

void QtWallClockAlarm::arm(const LocalTime& at) {
    m_at = at;
    m_armed = true;
    wait();
}

void QtWallClockAlarm::disarm() {
    m_armed = false;
    m_timer.stop();
}

void QtWallClockAlarm::clockChanged() {
    if (m_armed)
        m_timer.start(0);
}

void QtWallClockAlarm::wait() {
    const long long left = LocalMsBetween(m_clock.now(), m_at);
    m_timer.start(static_cast<int>(std::clamp<long long>(left, 0, SafetyNetMs)));
}

void QtWallClockAlarm::timeout() {
    if (!m_armed)
        return;
    // Early (the wait was cut to a minute, or the clock was set back) with no change reported:
    // wait on. A reported change fires whatever the time, and the owner looks at the clock afresh.
    if (LocalMsBetween(m_clock.now(), m_at) > 0 && m_timer.interval() != 0) {
        wait();
        return;
    }
    m_armed = false;
    if (m_listener)
        m_listener->alarmFired();
}

} // namespace tw::platform
