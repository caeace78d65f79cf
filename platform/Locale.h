// What the date and time formatting needs to know of the user's locale: month names and the
// date and time separators. Texts are UTF-8.
#pragma once

#include <array>
#include <cstddef>
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
    // The short date as a pattern of store/DateFormat.h ("dd/mm/yyyy", "m/d/yyyy"): the order in
    // which typed dates give the day, the month and the year.
    virtual std::string shortDateFormat() const { return "dd/mm/yyyy"; }
};

// A locale whose names and separators are read once, into tables, by the back end's constructor.
class TableLocale : public Locale {
public:
    std::string longMonthName(int month) const override { return pick(m_longMonths, month); }
    std::string shortMonthName(int month) const override { return pick(m_shortMonths, month); }
    std::string longDayName(int dayOfWeek) const override { return pick(m_longDays, dayOfWeek); }
    std::string shortDayName(int dayOfWeek) const override { return pick(m_shortDays, dayOfWeek); }
    std::string dateSeparator() const override { return m_dateSep; }
    std::string timeSeparator() const override { return m_timeSep; }
    std::string shortDateFormat() const override { return m_shortDate; }

protected:
    std::array<std::string, 12> m_longMonths, m_shortMonths;
    std::array<std::string, 7> m_longDays, m_shortDays; // from Sunday
    std::string m_dateSep = "/";
    std::string m_timeSep = ":";
    std::string m_shortDate = "dd/mm/yyyy";

private:
    // Counting from 1; out of range gives an empty name.
    template <std::size_t N> static std::string pick(const std::array<std::string, N>& names, int n) {
        return n >= 1 && static_cast<std::size_t>(n) <= N ? names[static_cast<std::size_t>(n - 1)] : std::string();
    }
};

} // namespace tw::platform
