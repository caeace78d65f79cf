// The wall-clock alarm on a Linux timerfd watched by the event loop.
#include "platform/qt/TimerFdAlarm.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>

#include "platform/posix/PosixTimeZone.h"

namespace tw::platform {

std::unique_ptr<TimerFdAlarm> TimerFdAlarm::create() {
    const int fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    return std::unique_ptr<TimerFdAlarm>(new TimerFdAlarm(fd));
}

TimerFdAlarm::TimerFdAlarm(int fd) : m_fd(fd), m_notifier(new QSocketNotifier(fd, QSocketNotifier::Read, this)) {
    connect(m_notifier, &QSocketNotifier::activated, this, &TimerFdAlarm::readable);
}

TimerFdAlarm::~TimerFdAlarm() {
    delete m_notifier;
    ::close(m_fd);
}

void TimerFdAlarm::arm(const LocalTime& at) {
    itimerspec expiry{};
    expiry.it_value.tv_sec = static_cast<std::time_t>(PosixLocalToUtc(at));
    expiry.it_value.tv_nsec = static_cast<long>(at.millisecond) * 1'000'000L;
    // An instant of 0 would disarm the timer: the earliest time is one nanosecond after 1970.
    if (expiry.it_value.tv_sec <= 0) {
        expiry.it_value.tv_sec = 0;
        expiry.it_value.tv_nsec = 1;
    }
    if (timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &expiry, nullptr) != 0) {
        // Refused: fire in a minute instead, and the owner arms afresh then.
        itimerspec retry{};
        retry.it_value.tv_sec = 60;
        timerfd_settime(m_fd, 0, &retry, nullptr);
    }
    m_armed = true;
}

void TimerFdAlarm::disarm() {
    const itimerspec off{};
    timerfd_settime(m_fd, 0, &off, nullptr);
    m_armed = false;
}

void TimerFdAlarm::readable() {
    std::uint64_t expirations = 0;
    const ssize_t n = ::read(m_fd, &expirations, sizeof expirations);
    // 8 bytes: the time has come. ECANCELED: the clock was set or the machine resumed; the owner
    // looks at the clock afresh. Anything else (EAGAIN) is no news.
    if (n != static_cast<ssize_t>(sizeof expirations) && !(n < 0 && errno == ECANCELED))
        return;
    if (!m_armed)
        return;
    disarm();
    if (m_listener)
        m_listener->alarmFired();
}

} // namespace tw::platform
