// WinLocale: the user's month and day names and separators from GetLocaleInfoEx.
#include "platform/win32/WinLocale.h"

#include <windows.h>

#include "platform/win32/WinText.h"
#include "store/DateFormat.h"

namespace tw::platform {

namespace {

// The locale item as UTF-8, or fallback when the system has none.
std::string Item(LCTYPE type, const std::string& fallback) {
    wchar_t buf[128] = {};
    const int n = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buf, 128);
    if (n <= 1) // the count includes the terminating null
        return fallback;
    return NarrowUtf8(std::wstring_view(buf, static_cast<std::size_t>(n - 1)));
}

} // namespace

WinLocale::WinLocale() {
    const EnglishLocale english;
    for (int m = 0; m < 12; ++m) {
        m_longMonths[m] = Item(LOCALE_SMONTHNAME1 + m, english.longMonthName(m + 1));
        m_shortMonths[m] = Item(LOCALE_SABBREVMONTHNAME1 + m, english.shortMonthName(m + 1));
    }
    // The interface counts days from Sunday; the system's day names start on Monday.
    for (int d = 0; d < 7; ++d) {
        const int fromMonday = (d + 6) % 7;
        m_longDays[d] = Item(LOCALE_SDAYNAME1 + fromMonday, english.longDayName(d + 1));
        m_shortDays[d] = Item(LOCALE_SABBREVDAYNAME1 + fromMonday, english.shortDayName(d + 1));
    }
    m_dateSep = Item(LOCALE_SDATE, "/");
    m_timeSep = Item(LOCALE_STIME, ":");
    // "dd.MM.yyyy" in the system's letters; those of store/DateFormat.h are the same in lower case.
    m_shortDate = Item(LOCALE_SSHORTDATE, m_shortDate);
    for (char& c : m_shortDate)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
}

} // namespace tw::platform
