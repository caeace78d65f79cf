// Day-count date and time values: doubles counting days since 30 December 1899, the whole part the
// day, the fraction the time of day. The conversions round to the millisecond, as every reader of a
// reminder's date and time does.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "platform/Clock.h"

namespace tw {

inline constexpr std::int64_t MsPerDay = 86'400'000;

// Day 0, 30 December 1899, on std::chrono's calendar; and the first and last day numbers of the
// years 1 to 9999, the dates the program shows and computes with.
inline constexpr std::chrono::sys_days DayCountEpoch{std::chrono::year{1899} / std::chrono::December / 30};
inline constexpr std::int64_t FirstValidDay =
    (std::chrono::sys_days{std::chrono::year{1} / std::chrono::January / 1} - DayCountEpoch).count();
inline constexpr std::int64_t LastValidDay =
    (std::chrono::sys_days{std::chrono::year{9999} / std::chrono::December / 31} - DayCountEpoch).count();

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

struct ClockTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    friend bool operator==(const ClockTime&, const ClockTime&) = default;
};

bool IsLeapYear(int year);
// Days of month 1..12 of the given year; 0 for any other month.
int DaysInMonth(int month, int year);

// True when value is finite and its day lies in the years 1 to 9999. Values outside (a damaged file
// can hold any 8 bytes) are never decoded into a calendar date.
bool IsValidDayCount(double value);

// The day number of a value rounded to the millisecond (whole part, truncated toward zero). Both
// give 0 for a value that is not finite or lies 1e11 days or more from the epoch.
std::int64_t DayNumber(double value);
// Milliseconds into the day of a value rounded to the millisecond (0 .. 86,399,999).
std::int64_t MillisecondOfDay(double value);

// The calendar date of a value; nothing for an invalid value.
std::optional<CivilDate> DecodeDate(double value);
// The time of day of a value; midnight for an invalid value.
ClockTime DecodeTime(double value);

// The value of a calendar date (whole number); nothing when the date does not exist.
std::optional<double> EncodeDate(int year, int month, int day);
// The fraction of a day of a time of day.
double EncodeTime(int hour, int minute, int second, int millisecond);

// A local time as one day-count value (date plus time of day).
double ToDayCount(const platform::LocalTime& t);
// A day-count value as a local time; nothing for an invalid value.
std::optional<platform::LocalTime> FromDayCount(double value);

} // namespace tw
