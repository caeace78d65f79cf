// Day-count dates and times, the date and time patterns the windows use, and the single-instance
// identifier.
#include <gtest/gtest.h>

#include <limits>

#include "StoreTestSupport.h"
#include "platform/SingleInstance.h"
#include "store/DateFormat.h"

using namespace tw;
using namespace tw::testing;

namespace {

// A locale with other separators, to see that "/" and ":" stand for the locale's.
class DottedLocale : public EnglishLocale {
public:
    std::string dateSeparator() const override { return "."; }
    std::string timeSeparator() const override { return "-"; }
    std::string shortMonthName(int m) const override { return "M" + std::to_string(m); }
};

std::string Fmt(std::string_view pattern, double value) {
    static const EnglishLocale english;
    return FormatDateTime(pattern, value, english);
}

} // namespace

TEST(DayCount, LeapYearsAndMonthLengths) {
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2026));
    EXPECT_EQ(DaysInMonth(2, 2024), 29);
    EXPECT_EQ(DaysInMonth(2, 1900), 28);
    EXPECT_EQ(DaysInMonth(12, 2026), 31);
    EXPECT_EQ(DaysInMonth(11, 2026), 30);
    EXPECT_EQ(DaysInMonth(0, 2026), 0);
    EXPECT_EQ(DaysInMonth(13, 2026), 0);
}

TEST(DayCount, EncodeDateCountsFromTheEpochAndRefusesNonDates) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2026, 12, 7), 46363.0);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
    EXPECT_FALSE(EncodeDate(2026, 2, 29));
    EXPECT_FALSE(EncodeDate(2026, 4, 31));
    EXPECT_FALSE(EncodeDate(0, 12, 31));
    EXPECT_FALSE(EncodeDate(10000, 1, 1));
    EXPECT_FALSE(EncodeDate(2026, 0, 1));
    EXPECT_FALSE(EncodeDate(2026, 1, 0));
}

TEST(DayCount, DaysRoundTripAcrossTheCalendar) {
    // Day by day near both ends of the calendar and around the epoch and today.
    const int ranges[][2] = {{1, 3}, {1896, 1904}, {1999, 2030}, {9997, 9999}};
    for (const auto& range : ranges) {
        const double first = *EncodeDate(range[0], 1, 1);
        const double last = *EncodeDate(range[1], 12, 31);
        int previousDay = 31, previousMonth = 12;
        for (double d = first; d <= last; d += 1.0) {
            // Late in the day; before the epoch the time of day counts away from zero (-1.25 is
            // day -1 at 6:00), so the value lies on day d either way.
            const auto date = DecodeDate(d < 0 ? d - 0.999 : d + 0.999);
            ASSERT_TRUE(date) << d;
            ASSERT_EQ(EncodeDate(date->year, date->month, date->day), d);
            // Consecutive days: the next day of the month, or the first of the next month.
            const int monthBefore = date->month == 1 ? 12 : date->month - 1;
            const bool next = (date->day == previousDay + 1 && date->month == previousMonth) ||
                              (date->day == 1 && previousMonth == monthBefore &&
                               previousDay == DaysInMonth(previousMonth, date->year - (date->month == 1)));
            ASSERT_TRUE(next) << date->year << "-" << date->month << "-" << date->day;
            previousDay = date->day;
            previousMonth = date->month;
        }
    }
    EXPECT_FALSE(DecodeDate(*EncodeDate(1, 1, 1) - 1));
    EXPECT_FALSE(DecodeDate(*EncodeDate(9999, 12, 31) + 1));
    EXPECT_EQ(DecodeDate(*EncodeDate(2000, 2, 29)), (CivilDate{2000, 2, 29}));
}

TEST(DayCount, TimesRoundToTheMillisecond) {
    for (int m = 0; m < 24 * 60; ++m) {
        const double t = EncodeTime(m / 60, m % 60, 0, 0);
        const ClockTime c = DecodeTime(t);
        ASSERT_EQ(c.hour * 60 + c.minute, m);
        ASSERT_EQ(c.second, 0);
        ASSERT_EQ(c.millisecond, 0);
    }
    const double oneMs = 1.0 / 86'400'000.0;
    EXPECT_EQ(DecodeTime(EncodeTime(9, 59, 59, 999) + 0.6 * oneMs), (ClockTime{10, 0, 0, 0}));
    EXPECT_EQ(DecodeTime(EncodeTime(9, 59, 59, 999) + 0.4 * oneMs), (ClockTime{9, 59, 59, 999}));
    EXPECT_EQ(DecodeTime(3.5), (ClockTime{12, 0, 0, 0}));
    // A negative value has its time of day measured forward: -1.25 is 6:00 of day -1.
    EXPECT_EQ(DecodeTime(-1.25), (ClockTime{6, 0, 0, 0}));
    // Just before midnight rounds to the next day's 0:00, and the date follows.
    const double nearlyNext = 46363.0 + 1.0 - 0.2 * oneMs;
    EXPECT_EQ(DecodeTime(nearlyNext), (ClockTime{0, 0, 0, 0}));
    EXPECT_EQ(DecodeDate(nearlyNext), (CivilDate{2026, 12, 8}));
}

TEST(DayCount, DamagedValuesDecodeToNothingAndNeverOverflow) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double denorm = std::numeric_limits<double>::denorm_min();
    for (double v : {nan, inf, -inf, 1e300, -1e300, 1e11, -1e11, 5e10 + 0.5, -5e10 - 0.5, 3e6, -3e6}) {
        EXPECT_FALSE(DecodeDate(v)) << v;
        EXPECT_FALSE(FromDayCount(v)) << v;
        const ClockTime t = DecodeTime(v);
        EXPECT_GE(t.hour, 0);
        EXPECT_LT(t.hour, 24);
        const std::int64_t ms = MillisecondOfDay(v);
        EXPECT_GE(ms, 0);
        EXPECT_LT(ms, MsPerDay);
        (void)DayNumber(v);
    }
    EXPECT_EQ(DecodeTime(denorm), (ClockTime{0, 0, 0, 0}));
    EXPECT_FALSE(IsValidDayCount(nan));
    EXPECT_TRUE(IsValidDayCount(0.0));
}

TEST(DayCount, LocalTimesRoundTripAndTheFakeClockCrossesTheYear) {
    const platform::LocalTime t{2024, 2, 29, 23, 59, 59, 999};
    EXPECT_EQ(FromDayCount(ToDayCount(t)), t);
    fake::FakeClock clock;
    clock.set(2026, 12, 31, 23, 59, 59, 500);
    clock.advanceMs(1000);
    EXPECT_EQ(clock.now(), (platform::LocalTime{2027, 1, 1, 0, 0, 0, 500}));
    clock.advanceMs(-86'400'000LL * 365);
    EXPECT_EQ(clock.now(), (platform::LocalTime{2026, 1, 1, 0, 0, 0, 500}));
}

TEST(DateFormat, ThePatternsTheWindowsUse) {
    const double v = *EncodeDate(2026, 12, 8) + EncodeTime(9, 5, 7, 0);
    EXPECT_EQ(Fmt("mmmm dd yyyy", v), "December 08 2026");
    EXPECT_EQ(Fmt("h:mm", v), "9:05");
    EXPECT_EQ(Fmt("dd/mmm/yy", v), "08/Dec/26");
    EXPECT_EQ(Fmt("hh:nn", v), "09:05");
    EXPECT_EQ(Fmt("dd/mm/yy", v), "08/12/26");
    EXPECT_EQ(Fmt("hh:nn:ss", v), "09:05:07");
    const double afternoon = *EncodeDate(2026, 1, 3) + EncodeTime(14, 7, 0, 0);
    EXPECT_EQ(Fmt("h:mm", afternoon), "14:07");
    EXPECT_EQ(Fmt("mmmm dd yyyy", afternoon), "January 03 2026");
}

TEST(DateFormat, MonthOrMinuteDependsOnWhatCameBefore) {
    const double v = *EncodeDate(2026, 3, 4) + EncodeTime(7, 45, 0, 0);
    EXPECT_EQ(Fmt("mm/dd", v), "03/04");
    EXPECT_EQ(Fmt("m", v), "3");
    EXPECT_EQ(Fmt("hh:mm:ss", v), "07:45:00");
    EXPECT_EQ(Fmt("h:m", v), "7:45");
    EXPECT_EQ(Fmt("hh:nn mm", v), "07:45 03"); // after a minute field "mm" is the month again
    EXPECT_EQ(Fmt("HH:MM", v), "07:45");       // letters in either case
}

TEST(DateFormat, SeparatorsNamesClockAndQuotes) {
    const DottedLocale dotted;
    const double v = *EncodeDate(2026, 12, 8) + EncodeTime(14, 5, 0, 0);
    EXPECT_EQ(FormatDateTime("dd/mmm/yy hh:nn", v, dotted), "08.M12.26 14-05");
    EXPECT_EQ(Fmt("dddd ddd d", v), "Tuesday Tue 8");
    EXPECT_EQ(Fmt("h:nn am/pm", v), "2:05 pm");
    EXPECT_EQ(Fmt("h:nn AM/PM", *EncodeDate(2026, 12, 8) + EncodeTime(0, 30, 0, 0)), "12:30 AM");
    EXPECT_EQ(Fmt("h a/p", v), "2 p");
    EXPECT_EQ(Fmt("'at' hh:nn \"o'clock\"", v), "at 14:05 o'clock");
    EXPECT_EQ(Fmt("'unclosed", v), "unclosed");
    EXPECT_EQ(Fmt("hh:nn:ss.zzz", v + 123.0 / 86'400'000.0), "14:05:00.123");
    EXPECT_EQ(Fmt("", v), "");
}

TEST(DateFormat, TheEdgesOfTheCalendar) {
    EXPECT_EQ(Fmt("dd/mm/yyyy", *EncodeDate(1, 1, 1)), "01/01/0001");
    EXPECT_EQ(Fmt("dd/mm/yyyy hh:nn", *EncodeDate(9999, 12, 31) + EncodeTime(23, 59, 0, 0)), "31/12/9999 23:59");
    EXPECT_EQ(Fmt("dd/mm/yyyy hh:nn", -1.5), "29/12/1899 12:00");
    EXPECT_EQ(Fmt("hh:nn", 0.0), "00:00");
}

TEST(DateFormat, DamagedValuesAreShownAsInvalidWithoutFaulting) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {nan, inf, -inf, 1e300, -1e300, 1e11}) {
        for (const char* p : {"mmmm dd yyyy", "h:mm", "dd/mmm/yy", "hh:nn", "dd/mm/yy", "hh:nn:ss"})
            EXPECT_EQ(Fmt(p, v), InvalidDateText) << p << " " << v;
    }
}

TEST(DateFormat, ProcessWideSettingsDecideDateToStrAndTimeToStr) {
    const EnglishLocale english;
    FormatSettings f;
    const double v = *EncodeDate(2026, 12, 8) + EncodeTime(9, 5, 7, 0);
    f.ShortDateFormat = "dd/mmm/yy";
    f.LongTimeFormat = "hh:nn";
    EXPECT_EQ(DateToStr(f, english, v), "08/Dec/26");
    EXPECT_EQ(TimeToStr(f, english, v), "09:05");
    f.ShortDateFormat = "dd/mm/yy";
    f.LongTimeFormat = "hh:nn:ss";
    EXPECT_EQ(DateToStr(f, english, v), "08/12/26");
    EXPECT_EQ(TimeToStr(f, english, v), "09:05:07");
}

TEST(InstanceIdentifier, UpperCasePathWithForwardSlashes) {
    EXPECT_EQ(platform::InstanceIdentifier("C:\\Program Files\\Tellwick\\tellwick.exe"),
              "C:/PROGRAM FILES/TELLWICK/TELLWICK.EXE.OneInstance.");
    EXPECT_EQ(platform::InstanceIdentifier("/usr/local/bin/tellwick"), "/USR/LOCAL/BIN/TELLWICK.OneInstance.");
    EXPECT_EQ(platform::InstanceIdentifier("/opt/caf\xe9/t"), "/OPT/CAF\xe9/T.OneInstance.");
    EXPECT_NE(platform::InstanceIdentifier("/a/tellwick"), platform::InstanceIdentifier("/b/tellwick"));
}
