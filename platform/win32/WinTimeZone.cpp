// A local minute exists when its conversion to UTC and back gives the same minute; a minute inside
// the span skipped when daylight saving time begins comes back an hour later.
#include "platform/win32/WinTimeZone.h"

#include <windows.h>

namespace tw::platform {

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
    return FirstMinuteWhere(t, WinMinuteExists);
}

} // namespace tw::platform
