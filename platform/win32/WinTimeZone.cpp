// A local minute exists when its conversion to UTC and back gives the same minute; a minute inside
// the span skipped when daylight saving time begins comes back an hour later.
#include "platform/win32/WinTimeZone.h"

#include <windows.h>

namespace tw::platform::win32 {

namespace {

SYSTEMTIME ToSystemTime(const LocalTime& t) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    return st;
}

LocalTime FromSystemTime(const SYSTEMTIME& st) {
    return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, 0, 0};
}

// One minute later on the calendar (no time zone involved): through FILETIME, which counts 100 ns.
LocalTime NextMinute(const LocalTime& t) {
    const SYSTEMTIME st = ToSystemTime(t);
    FILETIME ft{};
    if (!::SystemTimeToFileTime(&st, &ft))
        return t;
    ULARGE_INTEGER v{};
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    v.QuadPart += 60ULL * 10'000'000ULL;
    ft.dwLowDateTime = v.LowPart;
    ft.dwHighDateTime = v.HighPart;
    SYSTEMTIME next{};
    if (!::FileTimeToSystemTime(&ft, &next))
        return t;
    return FromSystemTime(next);
}

} // namespace

bool WinMinuteExists(const LocalTime& t) {
    const SYSTEMTIME local = ToSystemTime(t);
    SYSTEMTIME utc{};
    SYSTEMTIME back{};
    if (!::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &back))
        return true; // outside what the system can tell: take the clock as it is
    return back.wYear == local.wYear && back.wMonth == local.wMonth && back.wDay == local.wDay &&
           back.wHour == local.wHour && back.wMinute == local.wMinute;
}

LocalTime WinTimeZone::firstExistingMinute(const LocalTime& t) const {
    LocalTime m = t;
    m.second = 0;
    m.millisecond = 0;
    for (int i = 0; i < 2 * 24 * 60; ++i) {
        if (WinMinuteExists(m))
            return m;
        m = NextMinute(m);
    }
    LocalTime original = t;
    original.second = 0;
    original.millisecond = 0;
    return original;
}

} // namespace tw::platform::win32
