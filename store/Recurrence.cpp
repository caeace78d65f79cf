// The rule bytes of a repeating reminder and its occurrences, on std::chrono's civil calendar.
#include "store/Recurrence.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "store/DayCount.h"

namespace tw {

namespace {

using namespace std::chrono;

constexpr std::int64_t FirstDay = FirstValidDay;
constexpr std::int64_t LastDay = LastValidDay;

std::uint8_t* Bytes(ReminderRecord& r) {
    return reinterpret_cast<std::uint8_t*>(&r);
}
const std::uint8_t* Bytes(const ReminderRecord& r) {
    return reinterpret_cast<const std::uint8_t*>(&r);
}

// Bytes 2, then 9 to 15: every padding byte except the check byte itself.
constexpr std::array<std::size_t, 8> CheckedOffsets = {2, 9, 10, 11, 12, 13, 14, 15};

std::uint8_t CheckByte(const std::uint8_t* b) {
    std::uint8_t c = 0x5A;
    for (std::size_t off : CheckedOffsets)
        c = static_cast<std::uint8_t>(((c << 1) | (c >> 7)) ^ b[off]);
    return c;
}

sys_days ToSys(std::int64_t day) {
    return DayCountEpoch + days{day};
}
std::int64_t FromSys(sys_days d) {
    return (d - DayCountEpoch).count();
}

// The series' day in a month: its own day, or the month's last day where the month is shorter.
sys_days DayInMonth(year_month ym, int day) {
    const unsigned lastDay = static_cast<unsigned>((ym / std::chrono::last).day());
    const unsigned d = std::min(static_cast<unsigned>(day), lastDay);
    return sys_days{ym / d};
}

// 1 Monday .. 7 Sunday.
int IsoWeekday(sys_days d) {
    return static_cast<int>(weekday{d}.iso_encoding());
}

std::optional<std::int64_t> InRange(std::int64_t day) {
    if (day < FirstDay || day > LastDay)
        return std::nullopt;
    return day;
}

} // namespace

std::string_view RepeatText(Repeat r) {
    const auto i = static_cast<std::size_t>(r);
    return i < RepeatTexts.size() ? RepeatTexts[i] : RepeatTexts[0];
}

RepeatRule ReadRule(const ReminderRecord& r) {
    const std::uint8_t* b = Bytes(r);
    const int code = b[RuleCodeOffset];
    if (code < 1 || code >= RepeatRuleCount || b[RuleMarkOffset] != RuleMark || b[RuleSpareOffset] != 0 ||
        b[RuleCheckOffset] != CheckByte(b))
        return {};
    RepeatRule rule;
    rule.repeat = static_cast<Repeat>(code);
    rule.day = b[RuleDayOffset];
    rule.month = b[RuleMonthOffset];
    rule.weekday = b[RuleWeekdayOffset];
    rule.minuteOfDay = b[RuleMinuteOffset] | (b[RuleMinuteOffset + 1] << 8);
    if (rule.day < 1 || rule.day > 31 || rule.month < 1 || rule.month > 12 || rule.weekday < 1 || rule.weekday > 7 ||
        rule.minuteOfDay >= 24 * 60)
        return {};
    return rule;
}

void ClearRule(ReminderRecord& r) {
    std::uint8_t* b = Bytes(r);
    b[2] = b[3] = 0;
    for (std::size_t off = 9; off <= 15; ++off)
        b[off] = 0;
}

void WriteRule(ReminderRecord& r, const RepeatRule& rule) {
    ClearRule(r);
    if (rule.repeat == Repeat::Once)
        return;
    std::uint8_t* b = Bytes(r);
    b[RuleCodeOffset] = static_cast<std::uint8_t>(rule.repeat);
    b[RuleDayOffset] = static_cast<std::uint8_t>(rule.day);
    b[RuleMonthOffset] = static_cast<std::uint8_t>(rule.month);
    b[RuleWeekdayOffset] = static_cast<std::uint8_t>(rule.weekday);
    b[RuleMinuteOffset] = static_cast<std::uint8_t>(rule.minuteOfDay & 0xFF);
    b[RuleMinuteOffset + 1] = static_cast<std::uint8_t>(rule.minuteOfDay >> 8);
    b[RuleMarkOffset] = RuleMark;
    b[RuleCheckOffset] = CheckByte(b);
}

RepeatRule RuleAt(Repeat repeat, double date, double time) {
    const auto d = DecodeDate(date);
    if (repeat == Repeat::Once || !d || !std::isfinite(time))
        return {};
    const ClockTime t = DecodeTime(time);
    RepeatRule rule;
    rule.repeat = repeat;
    rule.day = d->day;
    rule.month = d->month;
    rule.weekday =
        IsoWeekday(sys_days{year{d->year} / month{static_cast<unsigned>(d->month)} / static_cast<unsigned>(d->day)});
    rule.minuteOfDay = t.hour * 60 + t.minute;
    return rule;
}

std::optional<std::int64_t> FirstDayFrom(const RepeatRule& rule, std::int64_t day) {
    if (day < FirstDay)
        day = FirstDay;
    if (day > LastDay)
        return std::nullopt;
    const sys_days from = ToSys(day);
    switch (rule.repeat) {
    case Repeat::Once:
        return std::nullopt;
    case Repeat::EveryDay:
        return day;
    case Repeat::EveryWeekday: {
        const int wd = IsoWeekday(from);
        return InRange(day + (wd == 6 ? 2 : wd == 7 ? 1 : 0));
    }
    case Repeat::EveryWeek:
        return InRange(day + (rule.weekday - IsoWeekday(from) + 7) % 7);
    case Repeat::EveryMonth: {
        const year_month_day ymd{from};
        year_month ym = ymd.year() / ymd.month();
        sys_days candidate = DayInMonth(ym, rule.day);
        if (candidate < from) {
            ym += months{1};
            if (ym.year() > year{9999})
                return std::nullopt;
            candidate = DayInMonth(ym, rule.day);
        }
        return InRange(FromSys(candidate));
    }
    case Repeat::EveryYear: {
        year y = year_month_day{from}.year();
        sys_days candidate = DayInMonth(y / month{static_cast<unsigned>(rule.month)}, rule.day);
        if (candidate < from) {
            if (++y > year{9999})
                return std::nullopt;
            candidate = DayInMonth(y / month{static_cast<unsigned>(rule.month)}, rule.day);
        }
        return InRange(FromSys(candidate));
    }
    }
    return std::nullopt;
}

std::optional<std::int64_t> LastDayBefore(const RepeatRule& rule, std::int64_t day) {
    if (day > LastDay + 1)
        day = LastDay + 1;
    if (day <= FirstDay)
        return std::nullopt;
    const sys_days d = ToSys(day - 1);
    switch (rule.repeat) {
    case Repeat::Once:
        return std::nullopt;
    case Repeat::EveryDay:
        return day - 1;
    case Repeat::EveryWeekday: {
        const int wd = IsoWeekday(d);
        return InRange(day - 1 - (wd == 6 ? 1 : wd == 7 ? 2 : 0));
    }
    case Repeat::EveryWeek:
        return InRange(day - 1 - (IsoWeekday(d) - rule.weekday + 7) % 7);
    case Repeat::EveryMonth: {
        const year_month_day ymd{d};
        year_month ym = ymd.year() / ymd.month();
        sys_days candidate = DayInMonth(ym, rule.day);
        if (candidate > d) {
            ym -= months{1};
            if (ym.year() < year{1})
                return std::nullopt;
            candidate = DayInMonth(ym, rule.day);
        }
        return InRange(FromSys(candidate));
    }
    case Repeat::EveryYear: {
        year y = year_month_day{d}.year();
        sys_days candidate = DayInMonth(y / month{static_cast<unsigned>(rule.month)}, rule.day);
        if (candidate > d) {
            if (--y < year{1})
                return std::nullopt;
            candidate = DayInMonth(y / month{static_cast<unsigned>(rule.month)}, rule.day);
        }
        return InRange(FromSys(candidate));
    }
    }
    return std::nullopt;
}

platform::LocalTime OccurrenceOn(const RepeatRule& rule, std::int64_t day, const platform::LocalTimeZone& zone) {
    const year_month_day ymd{ToSys(day)};
    const platform::LocalTime wall{static_cast<int>(ymd.year()),
                                   static_cast<int>(static_cast<unsigned>(ymd.month())),
                                   static_cast<int>(static_cast<unsigned>(ymd.day())),
                                   rule.minuteOfDay / 60,
                                   rule.minuteOfDay % 60,
                                   0,
                                   0};
    return zone.firstExistingMinute(wall);
}

std::int64_t LocalMinute(const platform::LocalTime& t) {
    const auto date = EncodeDate(t.year, t.month, t.day);
    const std::int64_t day = date ? static_cast<std::int64_t>(*date) : 0;
    return day * 1440 + t.hour * 60 + t.minute;
}

std::optional<platform::LocalTime> NextOccurrenceAfter(const RepeatRule& rule, const platform::LocalTime& now,
                                                       const platform::LocalTimeZone& zone) {
    const auto today = EncodeDate(now.year, now.month, now.day);
    if (rule.repeat == Repeat::Once || !today)
        return std::nullopt;
    const std::int64_t nowMinute = LocalMinute(now);
    // A skipped span can move yesterday's last occurrence past midnight: start a day early.
    std::optional<std::int64_t> day = FirstDayFrom(rule, static_cast<std::int64_t>(*today) - 1);
    for (int i = 0; day && i < 4; ++i) {
        const platform::LocalTime at = OccurrenceOn(rule, *day, zone);
        if (LocalMinute(at) > nowMinute)
            return at;
        day = FirstDayFrom(rule, *day + 1);
    }
    return std::nullopt;
}

void SetOccurrence(ReminderRecord& r, const platform::LocalTime& at) {
    r.RemDate = EncodeDate(at.year, at.month, at.day).value_or(0.0);
    r.RemTime = EncodeTime(at.hour, at.minute, 0, 0);
}

} // namespace tw
