// Pattern-driven formatting of day-count values.
#include "store/DateFormat.h"

#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>

#include "store/DayCount.h"

namespace tw {

namespace {

std::string Digits(int value, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, value);
    return buf;
}

// Counts how many times c repeats at pattern[i...] (case-insensitive).
std::size_t RunLength(std::string_view p, std::size_t i, char c) {
    std::size_t n = 0;
    while (i + n < p.size() && std::tolower(static_cast<unsigned char>(p[i + n])) == c)
        ++n;
    return n;
}

bool StartsWithNoCase(std::string_view p, std::size_t i, std::string_view what) {
    if (p.size() - i < what.size())
        return false;
    for (std::size_t k = 0; k < what.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(p[i + k])) != what[k])
            return false;
    return true;
}

bool HasAmPm(std::string_view p) {
    for (std::size_t i = 0; i < p.size(); ++i)
        if (StartsWithNoCase(p, i, "am/pm") || StartsWithNoCase(p, i, "a/p"))
            return true;
    return false;
}

int DayOfWeek(const CivilDate& d) {
    using namespace std::chrono;
    const weekday wd{sys_days{year{d.year} / month{static_cast<unsigned>(d.month)} / static_cast<unsigned>(d.day)}};
    return static_cast<int>(wd.c_encoding()) + 1; // 1 = Sunday
}

} // namespace

std::string FormatDateTime(std::string_view p, double value, const platform::Locale& locale) {
    const auto date = DecodeDate(value);
    if (!date)
        return std::string(InvalidDateText);
    const ClockTime t = DecodeTime(value);
    const bool twelveHour = HasAmPm(p);

    std::string out;
    bool lastWasHour = false;
    std::size_t i = 0;
    while (i < p.size()) {
        const char raw = p[i];
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(raw)));
        if (raw == '\'' || raw == '"') {
            const std::size_t end = p.find(raw, i + 1);
            const std::size_t stop = end == std::string_view::npos ? p.size() : end;
            out.append(p.substr(i + 1, stop - i - 1));
            i = stop + 1;
            continue;
        }
        if (StartsWithNoCase(p, i, "am/pm")) {
            out += t.hour < 12 ? (raw == 'A' ? "AM" : "am") : (raw == 'A' ? "PM" : "pm");
            i += 5;
            continue;
        }
        if (StartsWithNoCase(p, i, "a/p")) {
            out += t.hour < 12 ? (raw == 'A' ? "A" : "a") : (raw == 'A' ? "P" : "p");
            i += 3;
            continue;
        }
        switch (c) {
        case 'd': {
            const std::size_t n = RunLength(p, i, 'd');
            if (n == 1)
                out += std::to_string(date->day);
            else if (n == 2)
                out += Digits(date->day, 2);
            else if (n == 3)
                out += locale.shortDayName(DayOfWeek(*date));
            else
                out += locale.longDayName(DayOfWeek(*date));
            i += n < 4 ? n : 4;
            lastWasHour = false;
            continue;
        }
        case 'm': {
            const std::size_t n = RunLength(p, i, 'm');
            if (lastWasHour && n <= 2) {
                out += n == 1 ? std::to_string(t.minute) : Digits(t.minute, 2);
            } else if (n == 1) {
                out += std::to_string(date->month);
            } else if (n == 2) {
                out += Digits(date->month, 2);
            } else if (n == 3) {
                out += locale.shortMonthName(date->month);
            } else {
                out += locale.longMonthName(date->month);
            }
            i += n < 4 ? n : 4;
            lastWasHour = false;
            continue;
        }
        case 'y': {
            const std::size_t n = RunLength(p, i, 'y');
            out += n <= 2 ? Digits(date->year % 100, 2) : Digits(date->year, 4);
            i += n;
            lastWasHour = false;
            continue;
        }
        case 'h': {
            const std::size_t n = RunLength(p, i, 'h');
            int hour = t.hour;
            if (twelveHour) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            out += n == 1 ? std::to_string(hour) : Digits(hour, 2);
            i += n < 2 ? n : 2;
            lastWasHour = true;
            continue;
        }
        case 'n': {
            const std::size_t n = RunLength(p, i, 'n');
            out += n == 1 ? std::to_string(t.minute) : Digits(t.minute, 2);
            i += n < 2 ? n : 2;
            lastWasHour = false;
            continue;
        }
        case 's': {
            const std::size_t n = RunLength(p, i, 's');
            out += n == 1 ? std::to_string(t.second) : Digits(t.second, 2);
            i += n < 2 ? n : 2;
            lastWasHour = false;
            continue;
        }
        case 'z': {
            const std::size_t n = RunLength(p, i, 'z');
            out += n >= 3 ? Digits(t.millisecond, 3) : std::to_string(t.millisecond);
            i += n >= 3 ? 3 : 1;
            lastWasHour = false;
            continue;
        }
        case '/':
            out += locale.dateSeparator();
            ++i;
            continue;
        case ':':
            out += locale.timeSeparator();
            ++i;
            continue;
        default:
            // Separators such as blanks keep an hour field's hold on a following "m" ("h mm").
            out += raw;
            ++i;
            continue;
        }
    }
    return out;
}

std::string DateToStr(const FormatSettings& formats, const platform::Locale& locale, double value) {
    return FormatDateTime(formats.ShortDateFormat, value, locale);
}

std::string TimeToStr(const FormatSettings& formats, const platform::Locale& locale, double value) {
    return FormatDateTime(formats.LongTimeFormat, value, locale);
}

namespace {
constexpr std::array<const char*, 12> LongMonths = {"January",   "February", "March",    "April",
                                                    "May",       "June",     "July",     "August",
                                                    "September", "October",  "November", "December"};
constexpr std::array<const char*, 7> LongDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                 "Thursday", "Friday", "Saturday"};
} // namespace

std::string EnglishLocale::longMonthName(int month) const {
    return month >= 1 && month <= 12 ? LongMonths[month - 1] : "";
}
std::string EnglishLocale::shortMonthName(int month) const {
    return longMonthName(month).substr(0, 3);
}
std::string EnglishLocale::longDayName(int dayOfWeek) const {
    return dayOfWeek >= 1 && dayOfWeek <= 7 ? LongDays[dayOfWeek - 1] : "";
}
std::string EnglishLocale::shortDayName(int dayOfWeek) const {
    return longDayName(dayOfWeek).substr(0, 3);
}

} // namespace tw
