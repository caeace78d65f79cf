// The minute-by-minute search behind LocalTimeZone::firstExistingMinute, on the proleptic
// calendar of std::chrono, so that each back end only says whether one local minute exists.
#include "platform/LocalTimeZone.h"

#include <chrono>

namespace tw::platform {

namespace {

// The same wall-clock minute one minute later, across days, months and years.
LocalTime NextMinute(const LocalTime& t) {
    using namespace std::chrono;
    const sys_days day{year{t.year} / month{static_cast<unsigned>(t.month)} / static_cast<unsigned>(t.day)};
    const sys_time<minutes> next = day + hours{t.hour} + minutes{t.minute + 1};
    const sys_days nextDay = floor<days>(next);
    const year_month_day ymd{nextDay};
    const hh_mm_ss<minutes> hm{next - nextDay};
    return LocalTime{static_cast<int>(ymd.year()),
                     static_cast<int>(static_cast<unsigned>(ymd.month())),
                     static_cast<int>(static_cast<unsigned>(ymd.day())),
                     static_cast<int>(hm.hours().count()),
                     static_cast<int>(hm.minutes().count()),
                     0,
                     0};
}

} // namespace

LocalTime FirstMinuteWhere(const LocalTime& t, const std::function<bool(const LocalTime&)>& exists) {
    LocalTime start = t;
    start.second = 0;
    start.millisecond = 0;
    LocalTime m = start;
    for (int i = 0; i < 2 * 24 * 60; ++i) {
        if (exists(m))
            return m;
        m = NextMinute(m);
    }
    return start;
}

} // namespace tw::platform
