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
