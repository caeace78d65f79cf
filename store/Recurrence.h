// Repeating reminders: the rule a record carries in its padding bytes (a "Once" record keeps them
// all zero, the bytes of a record that has no rule), and the occurrence rules on the local calendar. The layout
// and the reasons for it are in docs/repeat.md.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/Clock.h"
#include "platform/LocalTimeZone.h"
#include "store/ReminderRecord.h"

namespace tw {

// The rules in the order of the editor's drop-down; the values are the codes stored in the files.
enum class Repeat : std::uint8_t {
    Once = 0,
    EveryDay = 1,
    EveryWeekday = 2,
    EveryWeek = 3,
    EveryMonth = 4,
    EveryYear = 5
};
inline constexpr int RepeatRuleCount = 6;

// "Once", "Every day", "Every weekday", "Every week", "Every month", "Every year".
inline constexpr std::array<std::string_view, RepeatRuleCount> RepeatTexts = {
    "Once", "Every day", "Every weekday", "Every week", "Every month", "Every year"};

std::string_view RepeatText(Repeat r);

// A series: its rule and what brings each occurrence back to the series' own day and time (a
// snooze moves one occurrence only; a month's last day stands in for a missing 29th to 31st).
struct RepeatRule {
    Repeat repeat = Repeat::Once;
    int day = 1;         // day of the month of the first occurrence, 1..31
    int month = 1;       // its month, 1..12 (every year)
    int weekday = 1;     // its weekday, 1 Monday .. 7 Sunday (every week)
    int minuteOfDay = 0; // the series' time of day in minutes, 0..1439
    friend bool operator==(const RepeatRule&, const RepeatRule&) = default;
};

// Byte offsets of the rule inside the record's padding.
inline constexpr std::size_t RuleCodeOffset = 2;
inline constexpr std::size_t RuleCheckOffset = 3;
inline constexpr std::size_t RuleDayOffset = 9;
inline constexpr std::size_t RuleMonthOffset = 10;
inline constexpr std::size_t RuleWeekdayOffset = 11;
inline constexpr std::size_t RuleMinuteOffset = 12; // two bytes, little-endian
inline constexpr std::size_t RuleMarkOffset = 14;
inline constexpr std::size_t RuleSpareOffset = 15;
inline constexpr std::uint8_t RuleMark = 0xA1; // layout 1

// The rule of a record. All-zero padding, and any padding that is not a whole, consistent rule of
// this layout (a damaged file, a future layout), read as "Once".
RepeatRule ReadRule(const ReminderRecord& r);
// Writes the rule into the padding; "Once" sets every padding byte to zero.
void WriteRule(ReminderRecord& r, const RepeatRule& rule);
// Clears the padding (the record becomes a one-off).
void ClearRule(ReminderRecord& r);
inline bool Repeats(const ReminderRecord& r) {
    return ReadRule(r).repeat != Repeat::Once;
}

// The rule of a series whose first occurrence is the day of `date` at the time of day of `time`
// (day-count values, as the editor holds them). "Once" for Once or a date that is no calendar date.
RepeatRule RuleAt(Repeat repeat, double date, double time);

// Occurrence days as day numbers (days since 30 December 1899, as DayNumber gives them).
// The first day on or after `day` on which the series falls; nothing past the year 9999.
std::optional<std::int64_t> FirstDayFrom(const RepeatRule& rule, std::int64_t day);
// The last day before `day` on which the series falls; nothing before the year 1.
std::optional<std::int64_t> LastDayBefore(const RepeatRule& rule, std::int64_t day);

// The occurrence on a day on which the series falls: the series' time of day on the local clock;
// where that minute does not exist (the span skipped when daylight saving time begins), the first
// minute after it that does.
platform::LocalTime OccurrenceOn(const RepeatRule& rule, std::int64_t day, const platform::LocalTimeZone& zone);

// The first occurrence whose minute comes after the minute of now; nothing for "Once" or past 9999.
std::optional<platform::LocalTime> NextOccurrenceAfter(const RepeatRule& rule, const platform::LocalTime& now,
                                                       const platform::LocalTimeZone& zone);

// Puts an occurrence into the record: RemDate its day (whole), RemTime its time of day.
void SetOccurrence(ReminderRecord& r, const platform::LocalTime& at);

// Minutes since the epoch of a local time, for comparing occurrences (seconds ignored).
std::int64_t LocalMinute(const platform::LocalTime& t);

} // namespace tw
