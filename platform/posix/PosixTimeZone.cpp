// A local minute exists when mktime's instant reads back, through localtime_r, as the same minute;
// a minute inside a skipped span reads back as another one.
#include "platform/posix/PosixTimeZone.h"

#include <ctime>

namespace tw::platform {

namespace {

std::tm LocalTm(const LocalTime& t, int isDst) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = isDst;
    return tm;
}

} // namespace

bool PosixMinuteExists(const LocalTime& t) {
    std::tm tm = LocalTm({t.year, t.month, t.day, t.hour, t.minute, 0, 0}, -1);
    const std::time_t when = ::mktime(&tm);
    if (when == static_cast<std::time_t>(-1))
        return true; // outside what the system can tell: take the clock as it is
    std::tm back{};
    ::localtime_r(&when, &back);
    return back.tm_year + 1900 == t.year && back.tm_mon + 1 == t.month && back.tm_mday == t.day &&
           back.tm_hour == t.hour && back.tm_min == t.minute;
}

long long PosixLocalToUtc(const LocalTime& t) {
    LocalTime shown = t;
    if (!PosixMinuteExists(t)) {
        // mktime may place a skipped minute before the jump, where the clock would reach it again.
        shown = FirstMinuteWhere(t, PosixMinuteExists);
        shown.second = 0;
    }
    // A repeated hour: the first showing is the one with daylight saving still on.
    for (const int isDst : {1, 0}) {
        std::tm tm = LocalTm(shown, isDst);
        const std::time_t when = ::mktime(&tm);
        std::tm back{};
        if (when != static_cast<std::time_t>(-1) && ::localtime_r(&when, &back) != nullptr &&
            back.tm_hour == shown.hour && back.tm_min == shown.minute && back.tm_mday == shown.day)
            return static_cast<long long>(when);
    }
    std::tm tm = LocalTm(shown, -1);
    return static_cast<long long>(::mktime(&tm));
}

LocalTime PosixTimeZone::firstExistingMinute(const LocalTime& t) const {
    return FirstMinuteWhere(t, PosixMinuteExists);
}

} // namespace tw::platform
