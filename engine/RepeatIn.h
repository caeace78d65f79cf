// "Repeat in": the 21 snooze intervals of the pop-up and the arithmetic that moves a reminder's own
// date and time on by one of them, with the carries of minutes into hours, hours into days, days
// into months and months into years. Window-free.
#pragma once

#include <array>
#include <string_view>

#include "store/ReminderRecord.h"

namespace tw {

inline constexpr int RepeatIntervalCount = 21;

// The texts of the interval list, "5 minutes" first; the position chooses the interval.
extern const std::array<std::string_view, RepeatIntervalCount> RepeatIntervalTexts;

struct RepeatIncrement {
    int minutes = 0;
    int hours = 0;
    int days = 0;
    int weeks = 0;
    int months = 0;
};

// The increment of the interval at position 0..20; all zero for any other position.
RepeatIncrement RepeatIncrementAt(int position);

// Moves RemDate and RemTime of r on by the interval at position, counted from the reminder's own
// date and time (not from the present). RemDate becomes a whole day, RemTime the new time of day
// with the old seconds and milliseconds. Returns false, and leaves r unchanged, for a position out
// of range or a date that is not a calendar date or would leave the years 1 to 9999.
bool ApplyRepeatIn(ReminderRecord& r, int position);

} // namespace tw
