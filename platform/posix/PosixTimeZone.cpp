// A local minute exists when mktime's instant reads back, through localtime_r, as the same minute;
// a minute inside a skipped span reads back as another one.
#include "platform/posix/PosixTimeZone.h"

#include <ctime>

namespace tw::platform {

bool PosixMinuteExists(const LocalTime& t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_isdst = -1;
    const std::time_t when = ::mktime(&tm);
    if (when == static_cast<std::time_t>(-1))
        return true; // outside what the system can tell: take the clock as it is
    std::tm back{};
    ::localtime_r(&when, &back);
    return back.tm_year + 1900 == t.year && back.tm_mon + 1 == t.month && back.tm_mday == t.day &&
           back.tm_hour == t.hour && back.tm_min == t.minute;
}

LocalTime PosixTimeZone::firstExistingMinute(const LocalTime& t) const {
    return FirstMinuteWhere(t, PosixMinuteExists);
}

} // namespace tw::platform
