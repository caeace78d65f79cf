// Month and day names and separators from the session's LC_TIME locale (nl_langinfo). Names come
// from a UTF-8 locale only; any other falls back to English.
#pragma once

#include <array>
#include <string>

#include "platform/Locale.h"

namespace tw::platform {

class PosixLocale : public Locale {
public:
    PosixLocale();
    std::string longMonthName(int month) const override;
    std::string shortMonthName(int month) const override;
    std::string longDayName(int dayOfWeek) const override;
    std::string shortDayName(int dayOfWeek) const override;
    std::string dateSeparator() const override { return m_dateSep; }
    std::string timeSeparator() const override { return m_timeSep; }

private:
    std::array<std::string, 12> m_longMonths, m_shortMonths;
    std::array<std::string, 7> m_longDays, m_shortDays;
    std::string m_dateSep = "/";
    std::string m_timeSep = ":";
};

} // namespace tw::platform
