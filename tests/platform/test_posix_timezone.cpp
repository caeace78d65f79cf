// The POSIX time zone back end in a fixed zone given as a POSIX TZ string (no zone database needed):
// Central European time, summer time from the last Sunday of March 02:00 to the last Sunday of
// October 03:00.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/posix/PosixTimeZone.h"
#include "store/DayCount.h"
#include "store/Recurrence.h"

using namespace tw;
using platform::LocalTime;

namespace {

class CentralEurope : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("TZ");
        m_had = old != nullptr;
        if (m_had)
            m_old = old;
        ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        ::tzset();
    }
    void TearDown() override {
        if (m_had)
            ::setenv("TZ", m_old.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    platform::PosixTimeZone zone;

private:
    bool m_had = false;
    std::string m_old;
};

} // namespace

TEST_F(CentralEurope, TheSkippedHourMovesToItsEndAndOtherMinutesStay) {
    EXPECT_FALSE(platform::PosixMinuteExists({2027, 3, 28, 2, 30, 0, 0}));
    EXPECT_EQ(zone.firstExistingMinute({2027, 3, 28, 2, 0, 0, 0}), (LocalTime{2027, 3, 28, 3, 0, 0, 0}));
    EXPECT_EQ(zone.firstExistingMinute({2027, 3, 28, 2, 59, 30, 0}), (LocalTime{2027, 3, 28, 3, 0, 0, 0}));
    EXPECT_EQ(zone.firstExistingMinute({2027, 3, 28, 1, 59, 10, 0}), (LocalTime{2027, 3, 28, 1, 59, 0, 0}));
    EXPECT_EQ(zone.firstExistingMinute({2027, 3, 29, 2, 30, 0, 0}), (LocalTime{2027, 3, 29, 2, 30, 0, 0}));
    // The repeated hour in October exists (once the first time round, once the second).
    EXPECT_TRUE(platform::PosixMinuteExists({2027, 10, 31, 2, 30, 0, 0}));
}

TEST_F(CentralEurope, EveryDayAtNineStaysAtNineAndTwoThirtyMovesForOneDay) {
    const RepeatRule nine = RuleAt(Repeat::EveryDay, *EncodeDate(2027, 3, 1), EncodeTime(9, 0, 0, 0));
    EXPECT_EQ(NextOccurrenceAfter(nine, {2027, 3, 27, 9, 0, 0, 0}, zone), (LocalTime{2027, 3, 28, 9, 0, 0, 0}));
    EXPECT_EQ(NextOccurrenceAfter(nine, {2027, 10, 30, 9, 0, 0, 0}, zone), (LocalTime{2027, 10, 31, 9, 0, 0, 0}));
    const RepeatRule night = RuleAt(Repeat::EveryDay, *EncodeDate(2027, 3, 1), EncodeTime(2, 30, 0, 0));
    EXPECT_EQ(NextOccurrenceAfter(night, {2027, 3, 27, 2, 30, 0, 0}, zone), (LocalTime{2027, 3, 28, 3, 0, 0, 0}));
    EXPECT_EQ(NextOccurrenceAfter(night, {2027, 3, 28, 3, 0, 0, 0}, zone), (LocalTime{2027, 3, 29, 2, 30, 0, 0}));
}

// The wall-clock alarm arms for the instant the local clock shows: the offset of the day itself,
// the end of a skipped span for a minute inside it, the first showing of a repeated one.
TEST_F(CentralEurope, LocalTimesTurnIntoTheInstantTheClockShowsThem) {
    struct Row {
        LocalTime local;
        const char* utc; // as date -u prints it
    };
    const Row rows[] = {
        {{2027, 1, 15, 10, 30, 15, 0}, "2027-01-15 09:30:15"}, {{2027, 7, 15, 10, 30, 0, 0}, "2027-07-15 08:30:00"},
        {{2027, 3, 28, 2, 30, 0, 0}, "2027-03-28 01:00:00"},   {{2027, 3, 28, 3, 0, 0, 0}, "2027-03-28 01:00:00"},
        {{2027, 10, 31, 2, 30, 0, 0}, "2027-10-31 00:30:00"},  {{2027, 10, 31, 3, 0, 0, 0}, "2027-10-31 02:00:00"},
    };
    for (const Row& row : rows) {
        const std::time_t t = static_cast<std::time_t>(platform::PosixLocalToUtc(row.local));
        std::tm tm{};
        ::gmtime_r(&t, &tm);
        char text[32];
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
        EXPECT_STREQ(text, row.utc) << row.local.hour << ":" << row.local.minute;
    }
}
