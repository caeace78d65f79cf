// Day-count arithmetic on top of std::chrono's civil calendar.
#include "store/DayCount.h"

#include <chrono>
#include <cmath>

namespace tw {

namespace {

using namespace std::chrono;

// Beyond this many days the milliseconds no longer fit in 64 bits (and a double holds no time of
// day any more); such values come only from damaged files.
constexpr double MaxConvertibleDays = 1e11;

bool Convertible(double value) {
    return std::isfinite(value) && std::fabs(value) < MaxConvertibleDays;
}

std::int64_t RoundedMs(double value) {
    return static_cast<std::int64_t>(std::llround(value * static_cast<double>(MsPerDay)));
}

} // namespace

bool IsLeapYear(int y) {
    return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}

int DaysInMonth(int month, int year) {
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool IsValidDayCount(double value) {
    if (!std::isfinite(value))
        return false;
    // Checked before any multiplication so that huge values never reach the integer conversion.
    if (value < static_cast<double>(FirstValidDay) - 1.0 || value > static_cast<double>(LastValidDay) + 1.0)
        return false;
    const std::int64_t day = DayNumber(value);
    return day >= FirstValidDay && day <= LastValidDay;
}

std::int64_t DayNumber(double value) {
    if (!Convertible(value))
        return 0;
    return RoundedMs(value) / MsPerDay;
}

std::int64_t MillisecondOfDay(double value) {
    if (!Convertible(value))
        return 0;
    const std::int64_t ms = RoundedMs(value);
    return (ms < 0 ? -ms : ms) % MsPerDay;
}

std::optional<CivilDate> DecodeDate(double value) {
    if (!IsValidDayCount(value))
        return std::nullopt;
    const year_month_day ymd{DayCountEpoch + days{DayNumber(value)}};
    return CivilDate{static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                     static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

ClockTime DecodeTime(double value) {
    const std::int64_t ms = MillisecondOfDay(value);
    return ClockTime{static_cast<int>(ms / 3'600'000), static_cast<int>(ms / 60'000 % 60),
                     static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000)};
}

std::optional<double> EncodeDate(int y, int m, int d) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(m, y))
        return std::nullopt;
    const sys_days day{year{y} / month{static_cast<unsigned>(m)} / static_cast<unsigned>(d)};
    return static_cast<double>((day - DayCountEpoch).count());
}

double EncodeTime(int hour, int minute, int second, int millisecond) {
    const std::int64_t ms =
        static_cast<std::int64_t>(hour) * 3'600'000 + minute * 60'000LL + second * 1000LL + millisecond;
    return static_cast<double>(ms) / static_cast<double>(MsPerDay);
}

double ToDayCount(const platform::LocalTime& t) {
    const double day = EncodeDate(t.year, t.month, t.day).value_or(0.0);
    return day + EncodeTime(t.hour, t.minute, t.second, t.millisecond);
}

std::optional<platform::LocalTime> FromDayCount(double value) {
    const auto date = DecodeDate(value);
    if (!date)
        return std::nullopt;
    const ClockTime time = DecodeTime(value);
    return platform::LocalTime{date->year,  date->month, date->day,       time.hour,
                               time.minute, time.second, time.millisecond};
}

} // namespace tw
