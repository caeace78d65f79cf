// Month and day names and the date and time separators of the session's LC_TIME locale.
#include "platform/posix/PosixLocale.h"

#include <cstring>
#include <langinfo.h>
#include <locale.h>

#include "store/DateFormat.h"

namespace tw::platform {

namespace {

// The first character of the format that is not a conversion letter: "%d.%m.%y" gives ".".
std::string SeparatorOf(const char* format, const char* fallback) {
    if (!format)
        return fallback;
    for (const char* p = format; *p; ++p) {
        if (*p == '%') {
            if (p[1])
                ++p;
            continue;
        }
        if (*p != ' ') {
            // The whole character: a separator such as U+5E74 takes three bytes in UTF-8.
            std::size_t n = 1;
            while (p[n] && (static_cast<unsigned char>(p[n]) & 0xC0) == 0x80)
                ++n;
            return std::string(p, n);
        }
    }
    return fallback;
}

// A strftime date format as a pattern of store/DateFormat.h: "%d.%m.%Y" gives "dd.mm.yyyy".
std::string PatternOf(const char* format) {
    std::string out;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        if (!*++p)
            break;
        switch (*p) {
        case 'd':
            out += "dd";
            break;
        case 'e':
            out += "d";
            break;
        case 'm':
            out += "mm";
            break;
        case 'b':
        case 'h':
            out += "mmm";
            break;
        case 'y':
            out += "yy";
            break;
        case 'Y':
            out += "yyyy";
            break;
        case 'D':
            out += "mm/dd/yy";
            break;
        case 'F':
            out += "yyyy-mm-dd";
            break;
        default:
            break;
        }
    }
    return out;
}

} // namespace

PosixLocale::PosixLocale() {
    const EnglishLocale english;
    for (int m = 1; m <= 12; ++m) {
        m_longMonths[m - 1] = english.longMonthName(m);
        m_shortMonths[m - 1] = english.shortMonthName(m);
    }
    for (int d = 1; d <= 7; ++d) {
        m_longDays[d - 1] = english.longDayName(d);
        m_shortDays[d - 1] = english.shortDayName(d);
    }
    locale_t loc = ::newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (!loc)
        return;
    const char* codeset = ::nl_langinfo_l(CODESET, loc);
    if (codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0)) {
        for (int m = 0; m < 12; ++m) {
            m_longMonths[m] = ::nl_langinfo_l(static_cast<nl_item>(MON_1 + m), loc);
            m_shortMonths[m] = ::nl_langinfo_l(static_cast<nl_item>(ABMON_1 + m), loc);
        }
        for (int d = 0; d < 7; ++d) {
            m_longDays[d] = ::nl_langinfo_l(static_cast<nl_item>(DAY_1 + d), loc);
            m_shortDays[d] = ::nl_langinfo_l(static_cast<nl_item>(ABDAY_1 + d), loc);
        }
        m_dateSep = SeparatorOf(::nl_langinfo_l(D_FMT, loc), "/");
        if (const char* format = ::nl_langinfo_l(D_FMT, loc))
            m_shortDate = PatternOf(format);
        m_timeSep = SeparatorOf(::nl_langinfo_l(T_FMT, loc), ":");
    }
    ::freelocale(loc);
}

} // namespace tw::platform
