// The process-wide date and time format settings and the conversion of day-count values to text.
// Each window sets the patterns it needs right before it formats; a conversion that sets nothing
// (such as the tooltip of a blinking reminder) uses whatever was set last.
//
// Pattern letters: d dd ddd dddd (day, two digits, short and long day name), m mm mmm mmmm (month,
// two digits, short and long month name; minutes right after an hour field), yy yyyy, h hh (hour),
// n nn (minute), s ss (second), z zzz (millisecond), am/pm and a/p (12-hour clock), "/" and ":"
// (the locale's date and time separators), and text in single or double quotes.
#pragma once

#include <string>
#include <string_view>

#include "platform/Locale.h"

namespace tw {

struct FormatSettings {
    std::string ShortDateFormat = "dd/mm/yyyy";
    std::string LongDateFormat = "dd mmmm yyyy";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
};

// Text shown for a value that is not a calendar date (from a damaged file).
inline constexpr std::string_view InvalidDateText = "(invalid)";

// Formats value with pattern; UTF-8 result.
std::string FormatDateTime(std::string_view pattern, double value, const platform::Locale& locale);

// The date of value in the short date format, and its time in the long time format.
std::string DateToStr(const FormatSettings& formats, const platform::Locale& locale, double value);
std::string TimeToStr(const FormatSettings& formats, const platform::Locale& locale, double value);

// English names and "/" ":" separators; used where no system locale is wanted (tests, fallbacks).
class EnglishLocale : public platform::Locale {
public:
    std::string longMonthName(int month) const override;
    std::string shortMonthName(int month) const override;
    std::string longDayName(int dayOfWeek) const override;
    std::string shortDayName(int dayOfWeek) const override;
    std::string dateSeparator() const override { return "/"; }
    std::string timeSeparator() const override { return ":"; }
};

} // namespace tw
