// What the date and time formatting needs to know of the user's locale: month names and the
// date and time separators. Texts are UTF-8.
#pragma once

#include <string>

namespace tw::platform {

class Locale {
public:
    virtual ~Locale() = default;
    // month counts from 1 to 12
    virtual std::string longMonthName(int month) const = 0;
    virtual std::string shortMonthName(int month) const = 0;
    // dayOfWeek counts from 1 (Sunday) to 7 (Saturday)
    virtual std::string longDayName(int dayOfWeek) const = 0;
    virtual std::string shortDayName(int dayOfWeek) const = 0;
    virtual std::string dateSeparator() const = 0;
    virtual std::string timeSeparator() const = 0;
};

} // namespace tw::platform
