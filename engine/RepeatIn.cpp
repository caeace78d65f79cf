// The snooze arithmetic, step by step on unsigned 16-bit date and time parts as the files' own
// program did it: add, then carry minutes, hours, months, days and months again.
#include "engine/RepeatIn.h"

#include <cstdint>
#include <optional>

#include "store/DayCount.h"

namespace tw {

const std::array<std::string_view, RepeatIntervalCount> RepeatIntervalTexts = {
    "5 minutes",  "10 minutes", "15 minutes", "20 minutes", "25 minutes", "30 minutes", "35 minutes",
    "40 minutes", "45 minutes", "50 minutes", "55 minutes", "1 hour",     "2 hours",    "4 hours",
    "8 hours",    "1 day",      "2 days",     "3 days",     "4 days",     "1 week",     "1 month"};

RepeatIncrement RepeatIncrementAt(int position) {
    RepeatIncrement inc;
    if (position >= 0 && position <= 10)
        inc.minutes = 5 * (position + 1);
    else if (position >= 11 && position <= 14)
        inc.hours = 1 << (position - 11); // 1, 2, 4, 8
    else if (position >= 15 && position <= 18)
        inc.days = position - 14;
    else if (position == 19)
        inc.weeks = 1;
    else if (position == 20)
        inc.months = 1;
    return inc;
}

bool ApplyRepeatIn(ReminderRecord& r, int position) {
    if (position < 0 || position >= RepeatIntervalCount)
        return false;
    const std::optional<CivilDate> date = DecodeDate(r.RemDate);
    if (!date)
        return false;
    const ClockTime time = DecodeTime(r.RemTime);
    const RepeatIncrement inc = RepeatIncrementAt(position);

    auto y = static_cast<std::uint16_t>(date->year);
    auto mo = static_cast<std::uint16_t>(date->month);
    auto d = static_cast<std::uint16_t>(date->day);
    auto h = static_cast<std::uint16_t>(time.hour);
    auto mi = static_cast<std::uint16_t>(time.minute);

    mo = static_cast<std::uint16_t>(mo + inc.months);
    d = static_cast<std::uint16_t>(d + inc.days + 7 * inc.weeks);
    h = static_cast<std::uint16_t>(h + inc.hours);
    mi = static_cast<std::uint16_t>(mi + inc.minutes);
    if (mi > 59) {
        h = static_cast<std::uint16_t>(h + mi / 60);
        mi = static_cast<std::uint16_t>(mi % 60);
    }
    if (h > 23) {
        d = static_cast<std::uint16_t>(d + h / 24);
        h = static_cast<std::uint16_t>(h % 24);
    }
    if (mo > 12) {
        y = static_cast<std::uint16_t>(y + mo / 12);
        mo = static_cast<std::uint16_t>(mo % 12);
    }
    if (const int len = DaysInMonth(mo, y); d > len) {
        mo = static_cast<std::uint16_t>(mo + d / len);
        d = static_cast<std::uint16_t>(d % len);
    }
    if (mo > 12) {
        y = static_cast<std::uint16_t>(y + mo / 12);
        mo = static_cast<std::uint16_t>(mo % 12);
    }

    const std::optional<double> newDate = EncodeDate(y, mo, d);
    if (!newDate)
        return false;
    r.RemDate = *newDate;
    r.RemTime = EncodeTime(h, mi, time.second, time.millisecond);
    return true;
}

} // namespace tw
