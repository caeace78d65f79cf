// A time zone for tests: every minute exists, except one skipped span that a test may set (the
// hour that daylight saving time skips).
#pragma once

#include "platform/LocalTimeZone.h"
#include "store/DayCount.h"

namespace tw::fake {

class FakeTimeZone : public platform::LocalTimeZone {
public:
    // Local minutes from `from` (included) to `to` (excluded) do not exist.
    void skip(platform::LocalTime from, platform::LocalTime to) {
        m_from = ToDayCount(from);
        m_to = ToDayCount(to);
    }

    platform::LocalTime firstExistingMinute(const platform::LocalTime& t) const override {
        platform::LocalTime m = t;
        m.second = 0;
        m.millisecond = 0;
        const double v = ToDayCount(m);
        if (m_to > m_from && v >= m_from - 1e-9 && v < m_to - 1e-9) {
            if (auto end = FromDayCount(m_to))
                return *end;
        }
        return m;
    }

private:
    double m_from = 0.0;
    double m_to = 0.0;
};

} // namespace tw::fake
