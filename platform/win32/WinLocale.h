// Month and day names and the date and time separators of the user's locale (GetLocaleInfoEx),
// read once at start; English where the system gives nothing.
#pragma once

#include <array>
#include <string>

#include "platform/Locale.h"

namespace tw::platform::win32 {

class WinLocale : public Locale {
public:
    WinLocale();
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

} // namespace tw::platform::win32
