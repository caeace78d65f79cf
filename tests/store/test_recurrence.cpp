// Repeating reminders' rule bytes (a "Once" record is the record of old, rules round-trip, damaged
// bytes read as "Once") and the occurrence rules on the calendar.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <tuple>

#include "StoreTestSupport.h"
#include "store/Recurrence.h"
#include "tests/fakes/FakeTimeZone.h"

using namespace tw;
using namespace tw::testing;

namespace {

std::int64_t D(int y, int m, int d) {
    return static_cast<std::int64_t>(Day(y, m, d));
}

RepeatRule Rule(Repeat rep, int y, int m, int d, int h = 9, int mi = 0) {
    return RuleAt(rep, Day(y, m, d), At(h, mi));
}

// The days on which a series falls, from `from` on, n of them.
std::vector<std::int64_t> Days(const RepeatRule& rule, std::int64_t from, int n) {
    std::vector<std::int64_t> out;
    for (auto d = FirstDayFrom(rule, from); d && static_cast<int>(out.size()) < n; d = FirstDayFrom(rule, *d + 1))
        out.push_back(*d);
    return out;
}

const std::uint8_t* Bytes(const ReminderRecord& r) {
    return reinterpret_cast<const std::uint8_t*>(&r);
}

} // namespace

TEST(RuleBytes, OnceIsTheRecordOfOld) {
    const ReminderRecord old = Make(KindPopUp, true, 46363.0, EncodeTime(9, 30, 0, 0), "abc");
    ReminderRecord r = old;
    WriteRule(r, RuleAt(Repeat::Once, 46363.0, 0.4));
    EXPECT_EQ(0, std::memcmp(&r, &old, RecordSize));
    WriteRule(r, Rule(Repeat::EveryWeek, 2026, 12, 7));
    WriteRule(r, RepeatRule{}); // back to Once: every padding byte zero again
    EXPECT_EQ(0, std::memcmp(&r, &old, RecordSize));
    EXPECT_EQ(ReadRule(old).repeat, Repeat::Once);
}

TEST(RuleBytes, LayoutAndRoundTripThroughTheFiles) {
    ReminderRecord r = Make(KindIcon, false, Day(2026, 12, 7), At(9, 30), "x");
    const ReminderRecord before = r;
    const RepeatRule rule = Rule(Repeat::EveryMonth, 2026, 12, 7, 9, 30);
    EXPECT_EQ(rule.day, 7);
    EXPECT_EQ(rule.month, 12);
    EXPECT_EQ(rule.weekday, 1); // Monday
    EXPECT_EQ(rule.minuteOfDay, 570);
    WriteRule(r, rule);
    const std::uint8_t* b = Bytes(r);
    EXPECT_EQ(b[2], 4);
    EXPECT_EQ(b[9], 7);
    EXPECT_EQ(b[10], 12);
    EXPECT_EQ(b[11], 1);
    EXPECT_EQ(b[12], 570 & 0xFF);
    EXPECT_EQ(b[13], 570 >> 8);
    EXPECT_EQ(b[14], RuleMark);
    EXPECT_EQ(b[15], 0);
    // Nothing outside the padding changes.
    for (std::size_t i : {0u, 1u, 4u, 5u, 6u, 7u, 8u})
        EXPECT_EQ(b[i], Bytes(before)[i]) << i;
    EXPECT_EQ(0, std::memcmp(b + 16, Bytes(before) + 16, RecordSize - 16));

    fake::FakeFileSystem fs;
    auto stored = std::make_unique<Store>(fs); // two stores are too much for a Windows stack
    Store& s = *stored;
    for (int rep = 1; rep < RepeatRuleCount; ++rep) {
        ReminderRecord x = r;
        WriteRule(x, Rule(static_cast<Repeat>(rep), 2028, 2, 29, 23, 59));
        ASSERT_EQ(s.AppendActive(x), 0);
    }
    s.SaveActive();
    auto loaded = std::make_unique<Store>(fs);
    Store& t = *loaded;
    t.LoadActive();
    ASSERT_EQ(t.ActiveCount, RepeatRuleCount - 1);
    for (int i = 0; i < t.ActiveCount; ++i) {
        EXPECT_EQ(0, std::memcmp(&t.ActiveTable[i], &s.ActiveTable[i], RecordSize));
        EXPECT_EQ(ReadRule(t.ActiveTable[i]), Rule(static_cast<Repeat>(i + 1), 2028, 2, 29, 23, 59));
    }
}

TEST(RuleBytes, DamagedOrUnknownBytesReadAsOnce) {
    ReminderRecord r = Make(KindPopUp, false, Day(2026, 12, 7), At(9, 0), "x");
    WriteRule(r, Rule(Repeat::EveryDay, 2026, 12, 7));
    ASSERT_EQ(ReadRule(r).repeat, Repeat::EveryDay);
    // Any one padding byte changed, to any other value.
    for (std::size_t off : {2u, 3u, 9u, 10u, 11u, 12u, 13u, 14u, 15u}) {
        for (int v = 0; v < 256; ++v) {
            ReminderRecord x = r;
            auto* b = reinterpret_cast<std::uint8_t*>(&x);
            if (b[off] == v)
                continue;
            b[off] = static_cast<std::uint8_t>(v);
            ASSERT_EQ(ReadRule(x).repeat, Repeat::Once) << "offset " << off << " value " << v;
        }
    }
    // A consistent check over values out of range (a rule code this program does not know, a
    // minute past the day) still reads as Once.
    RepeatRule bad = Rule(Repeat::EveryDay, 2026, 12, 7);
    bad.minuteOfDay = 1440;
    ReminderRecord x = r;
    WriteRule(x, bad);
    EXPECT_EQ(ReadRule(x).repeat, Repeat::Once);
    bad = Rule(Repeat::EveryDay, 2026, 12, 7);
    bad.repeat = static_cast<Repeat>(6);
    WriteRule(x, bad);
    EXPECT_EQ(ReadRule(x).repeat, Repeat::Once);
    // Random padding: whatever is read is a whole, valid rule.
    std::mt19937 rng(13);
    int rules = 0;
    for (int i = 0; i < 100000; ++i) {
        auto* b = reinterpret_cast<std::uint8_t*>(&x);
        for (std::size_t off : {2u, 3u, 9u, 10u, 11u, 12u, 13u, 14u, 15u})
            b[off] = static_cast<std::uint8_t>(rng());
        const RepeatRule got = ReadRule(x);
        if (got.repeat != Repeat::Once) {
            ++rules;
            EXPECT_TRUE(got.day >= 1 && got.day <= 31 && got.month >= 1 && got.month <= 12 && got.minuteOfDay < 1440);
        }
    }
    EXPECT_EQ(rules, 0); // code, mark, spare byte and check: about one chance in 800 million
}

TEST(Occurrences, MonthEndsAndBackToTheOriginalDay) {
    const RepeatRule rule = Rule(Repeat::EveryMonth, 2027, 1, 31);
    EXPECT_EQ(Days(rule, D(2027, 1, 31), 5), (std::vector<std::int64_t>{D(2027, 1, 31), D(2027, 2, 28), D(2027, 3, 31),
                                                                        D(2027, 4, 30), D(2027, 5, 31)}));
    EXPECT_EQ(Days(rule, D(2028, 2, 1), 1), std::vector<std::int64_t>{D(2028, 2, 29)});
    EXPECT_EQ(LastDayBefore(rule, D(2027, 3, 31)), D(2027, 2, 28));
    EXPECT_EQ(LastDayBefore(rule, D(2027, 3, 1)), D(2027, 2, 28));
    EXPECT_EQ(LastDayBefore(rule, D(2027, 2, 28)), D(2027, 1, 31));
    const RepeatRule thirtieth = Rule(Repeat::EveryMonth, 2026, 12, 30);
    EXPECT_EQ(Days(thirtieth, D(2027, 1, 31), 2), (std::vector<std::int64_t>{D(2027, 2, 28), D(2027, 3, 30)}));
}

TEST(Occurrences, TwentyNinthOfFebruary) {
    const RepeatRule rule = Rule(Repeat::EveryYear, 2028, 2, 29);
    EXPECT_EQ(Days(rule, D(2028, 3, 1), 5), (std::vector<std::int64_t>{D(2029, 2, 28), D(2030, 2, 28), D(2031, 2, 28),
                                                                       D(2032, 2, 29), D(2033, 2, 28)}));
    EXPECT_EQ(LastDayBefore(rule, D(2032, 2, 29)), D(2031, 2, 28));
    EXPECT_EQ(LastDayBefore(rule, D(2032, 3, 1)), D(2032, 2, 29));
    // Every month from the 29th of February: the 29th wherever the month has one.
    EXPECT_EQ(Days(Rule(Repeat::EveryMonth, 2028, 2, 29), D(2028, 3, 1), 2),
              (std::vector<std::int64_t>{D(2028, 3, 29), D(2028, 4, 29)}));
}

TEST(Occurrences, WeekdaysAcrossAWeekendAndWeeks) {
    const RepeatRule weekdays = Rule(Repeat::EveryWeekday, 2026, 12, 11); // a Friday
    EXPECT_EQ(Days(weekdays, D(2026, 12, 11), 3),
              (std::vector<std::int64_t>{D(2026, 12, 11), D(2026, 12, 14), D(2026, 12, 15)}));
    EXPECT_EQ(FirstDayFrom(weekdays, D(2026, 12, 12)), D(2026, 12, 14)); // Saturday
    EXPECT_EQ(FirstDayFrom(weekdays, D(2026, 12, 13)), D(2026, 12, 14)); // Sunday
    EXPECT_EQ(LastDayBefore(weekdays, D(2026, 12, 14)), D(2026, 12, 11));
    EXPECT_EQ(LastDayBefore(weekdays, D(2026, 12, 13)), D(2026, 12, 11));
    const RepeatRule weekly = Rule(Repeat::EveryWeek, 2026, 12, 9); // a Wednesday
    EXPECT_EQ(Days(weekly, D(2026, 12, 10), 2), (std::vector<std::int64_t>{D(2026, 12, 16), D(2026, 12, 23)}));
    EXPECT_EQ(LastDayBefore(weekly, D(2026, 12, 16)), D(2026, 12, 9));
    EXPECT_EQ(FirstDayFrom(weekly, D(9999, 12, 30)), std::nullopt); // the calendar ends
    EXPECT_EQ(FirstDayFrom(RepeatRule{}, D(2026, 12, 9)), std::nullopt);
}

TEST(Occurrences, NextAfterNowIsAtTheSeriesTimeOnTheNextDay) {
    const fake::FakeTimeZone zone;
    const RepeatRule daily = Rule(Repeat::EveryDay, 2026, 12, 1, 9, 0);
    const platform::LocalTime at9{2026, 12, 8, 9, 0, 0, 0};
    EXPECT_EQ(NextOccurrenceAfter(daily, {2026, 12, 8, 8, 59, 59, 999}, zone), at9);
    EXPECT_EQ(NextOccurrenceAfter(daily, {2026, 12, 8, 9, 0, 0, 0}, zone),
              (platform::LocalTime{2026, 12, 9, 9, 0, 0, 0}));
    // A long absence: straight to the next one, not a day at a time.
    EXPECT_EQ(NextOccurrenceAfter(Rule(Repeat::EveryYear, 2000, 6, 1), {2026, 12, 8, 9, 0, 0, 0}, zone),
              (platform::LocalTime{2027, 6, 1, 9, 0, 0, 0}));
    EXPECT_EQ(NextOccurrenceAfter(RepeatRule{}, at9, zone), std::nullopt);
}

// The search every time zone back end shares: minute by minute across the year's end, seconds
// dropped, and the start itself when no minute within two days exists.
TEST(LocalTimeZoneSearch, FirstExistingMinuteAcrossTheYearsEnd) {
    using platform::LocalTime;
    const LocalTime newYear{2028, 1, 1, 0, 0, 0, 0};
    const auto fromNewYear = [&newYear](const LocalTime& t) {
        return std::make_tuple(t.year, t.month, t.day, t.hour, t.minute) >=
               std::make_tuple(newYear.year, newYear.month, newYear.day, newYear.hour, newYear.minute);
    };
    EXPECT_EQ(platform::FirstMinuteWhere({2027, 12, 31, 23, 58, 41, 7}, fromNewYear), newYear);
    EXPECT_EQ(platform::FirstMinuteWhere({2028, 2, 28, 23, 59, 5, 0}, fromNewYear),
              (LocalTime{2028, 2, 28, 23, 59, 0, 0}));
    EXPECT_EQ(platform::FirstMinuteWhere({2027, 6, 1, 12, 30, 59, 0}, [](const LocalTime&) { return false; }),
              (LocalTime{2027, 6, 1, 12, 30, 0, 0}));
}
