// A clock that tests set and step by hand.
#pragma once

#include "platform/Clock.h"
#include "store/DayCount.h"

namespace tw::fake {

class FakeClock : public platform::Clock {
public:
    FakeClock() = default;
    explicit FakeClock(platform::LocalTime t) : m_now(t) {}
    platform::LocalTime now() const override { return m_now; }

    void set(platform::LocalTime t) { m_now = t; }
    void set(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) { m_now = {y, mo, d, h, mi, s, ms}; }
    // Moves the clock on by ms milliseconds, across days, months and years.
    void advanceMs(long long ms) {
        const double v = ToDayCount(m_now) + static_cast<double>(ms) / static_cast<double>(MsPerDay);
        if (auto t = FromDayCount(v))
            m_now = *t;
    }

private:
    platform::LocalTime m_now{2026, 12, 8, 9, 0, 0, 0};
};

} // namespace tw::fake
