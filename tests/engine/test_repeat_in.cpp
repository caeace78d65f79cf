// "Repeat in" arithmetic over all 21 intervals and the carry cases, and the note's leading break.
#include <gtest/gtest.h>

#include "engine/PopUpLogic.h"
#include "engine/RepeatIn.h"
#include "store/DayCount.h"

using namespace tw;

namespace {

struct When {
    int y, mo, d, h, mi, s;
};

When Repeat(When from, int position) {
    ReminderRecord r{};
    r.RemDate = *EncodeDate(from.y, from.mo, from.d);
    r.RemTime = EncodeTime(from.h, from.mi, from.s, 0);
    EXPECT_TRUE(ApplyRepeatIn(r, position)) << "position " << position;
    EXPECT_EQ(r.RemDate, static_cast<double>(static_cast<long long>(r.RemDate))) << "date keeps no time part";
    const CivilDate d = *DecodeDate(r.RemDate);
    const ClockTime t = DecodeTime(r.RemTime);
    return {d.year, d.month, d.day, t.hour, t.minute, t.second};
}

void ExpectWhen(When got, When want, const std::string& what) {
    EXPECT_EQ(got.y, want.y) << what;
    EXPECT_EQ(got.mo, want.mo) << what;
    EXPECT_EQ(got.d, want.d) << what;
    EXPECT_EQ(got.h, want.h) << what;
    EXPECT_EQ(got.mi, want.mi) << what;
    EXPECT_EQ(got.s, want.s) << what;
}

} // namespace

TEST(RepeatIn, IntervalTextsAndIncrements) {
    EXPECT_EQ(RepeatIntervalTexts.front(), "5 minutes");
    EXPECT_EQ(RepeatIntervalTexts[11], "1 hour");
    EXPECT_EQ(RepeatIntervalTexts[14], "8 hours");
    EXPECT_EQ(RepeatIntervalTexts[19], "1 week");
    EXPECT_EQ(RepeatIntervalTexts.back(), "1 month");
    EXPECT_EQ(RepeatIncrementAt(10).minutes, 55);
    EXPECT_EQ(RepeatIncrementAt(13).hours, 4);
    EXPECT_EQ(RepeatIncrementAt(18).days, 4);
}

// Every interval from an ordinary mid-month moment, and from the last minutes of 31 December.
TEST(RepeatIn, AllIntervalsPlainAndAtYearEnd) {
    const When plain{2026, 6, 10, 12, 0, 15};
    const When yearEnd{2026, 12, 31, 23, 58, 30};
    const When expectPlain[21] = {{2026, 6, 10, 12, 5, 15},  {2026, 6, 10, 12, 10, 15}, {2026, 6, 10, 12, 15, 15},
                                  {2026, 6, 10, 12, 20, 15}, {2026, 6, 10, 12, 25, 15}, {2026, 6, 10, 12, 30, 15},
                                  {2026, 6, 10, 12, 35, 15}, {2026, 6, 10, 12, 40, 15}, {2026, 6, 10, 12, 45, 15},
                                  {2026, 6, 10, 12, 50, 15}, {2026, 6, 10, 12, 55, 15}, {2026, 6, 10, 13, 0, 15},
                                  {2026, 6, 10, 14, 0, 15},  {2026, 6, 10, 16, 0, 15},  {2026, 6, 10, 20, 0, 15},
                                  {2026, 6, 11, 12, 0, 15},  {2026, 6, 12, 12, 0, 15},  {2026, 6, 13, 12, 0, 15},
                                  {2026, 6, 14, 12, 0, 15},  {2026, 6, 17, 12, 0, 15},  {2026, 7, 10, 12, 0, 15}};
    const When expectYearEnd[21] = {{2027, 1, 1, 0, 3, 30},   {2027, 1, 1, 0, 8, 30},   {2027, 1, 1, 0, 13, 30},
                                    {2027, 1, 1, 0, 18, 30},  {2027, 1, 1, 0, 23, 30},  {2027, 1, 1, 0, 28, 30},
                                    {2027, 1, 1, 0, 33, 30},  {2027, 1, 1, 0, 38, 30},  {2027, 1, 1, 0, 43, 30},
                                    {2027, 1, 1, 0, 48, 30},  {2027, 1, 1, 0, 53, 30},  {2027, 1, 1, 0, 58, 30},
                                    {2027, 1, 1, 1, 58, 30},  {2027, 1, 1, 3, 58, 30},  {2027, 1, 1, 7, 58, 30},
                                    {2027, 1, 1, 23, 58, 30}, {2027, 1, 2, 23, 58, 30}, {2027, 1, 3, 23, 58, 30},
                                    {2027, 1, 4, 23, 58, 30}, {2027, 1, 7, 23, 58, 30}, {2027, 1, 31, 23, 58, 30}};
    for (int p = 0; p < RepeatIntervalCount; ++p) {
        ExpectWhen(Repeat(plain, p), expectPlain[p], "plain, " + std::string(RepeatIntervalTexts[p]));
        ExpectWhen(Repeat(yearEnd, p), expectYearEnd[p], "31 Dec, " + std::string(RepeatIntervalTexts[p]));
    }
}

TEST(RepeatIn, MonthEndsAndLeapYears) {
    ExpectWhen(Repeat({2026, 12, 15, 9, 0, 0}, 20), {2027, 1, 15, 9, 0, 0}, "15 Dec + 1 month");
    ExpectWhen(Repeat({2026, 12, 31, 23, 30, 0}, 11), {2027, 1, 1, 0, 30, 0}, "31 Dec 23:30 + 1 hour");
    ExpectWhen(Repeat({2027, 1, 31, 8, 0, 0}, 20), {2027, 3, 3, 8, 0, 0}, "31 Jan + 1 month, common year");
    ExpectWhen(Repeat({2028, 1, 31, 8, 0, 0}, 20), {2028, 3, 2, 8, 0, 0}, "31 Jan + 1 month, leap year");
    ExpectWhen(Repeat({2028, 2, 29, 8, 0, 0}, 19), {2028, 3, 7, 8, 0, 0}, "29 Feb + 1 week");
    ExpectWhen(Repeat({2027, 2, 28, 22, 0, 0}, 15), {2027, 3, 1, 22, 0, 0}, "28 Feb + 1 day, common year");
    ExpectWhen(Repeat({2028, 2, 28, 22, 0, 0}, 15), {2028, 2, 29, 22, 0, 0}, "28 Feb + 1 day, leap year");
    ExpectWhen(Repeat({2100, 2, 28, 20, 0, 0}, 14), {2100, 3, 1, 4, 0, 0}, "2100 is no leap year");
    ExpectWhen(Repeat({2000, 2, 28, 20, 0, 0}, 14), {2000, 2, 29, 4, 0, 0}, "2000 is a leap year");
    ExpectWhen(Repeat({2026, 4, 30, 23, 10, 0}, 10), {2026, 5, 1, 0, 5, 0}, "30 Apr 23:10 + 55 minutes");
    ExpectWhen(Repeat({2026, 8, 31, 12, 0, 0}, 20), {2026, 10, 1, 12, 0, 0}, "31 Aug + 1 month");
    ExpectWhen(Repeat({2026, 11, 30, 12, 0, 0}, 20), {2026, 12, 30, 12, 0, 0}, "30 Nov + 1 month stays in Dec");
    ExpectWhen(Repeat({2026, 12, 28, 12, 0, 0}, 19), {2027, 1, 4, 12, 0, 0}, "28 Dec + 1 week");
}

TEST(RepeatIn, KeepsSecondsAndMillisecondsAndCountsFromTheReminderNotTheClock) {
    ReminderRecord r{};
    r.RemDate = *EncodeDate(2026, 12, 8);
    r.RemTime = EncodeTime(23, 58, 30, 250);
    ASSERT_TRUE(ApplyRepeatIn(r, 0));
    EXPECT_EQ(*DecodeDate(r.RemDate), (CivilDate{2026, 12, 9}));
    EXPECT_EQ(DecodeTime(r.RemTime), (ClockTime{0, 3, 30, 250}));

    // A reminder at 10:00 snoozed at 10:20 for 5 minutes gets 10:05, already past: the arithmetic
    // knows nothing of the present moment.
    ExpectWhen(Repeat({2026, 12, 8, 10, 0, 0}, 0), {2026, 12, 8, 10, 5, 0}, "10:00 + 5 minutes");
}

TEST(RepeatIn, RefusesWhatItCannotMove) {
    ReminderRecord r{};
    r.RemDate = *EncodeDate(2026, 12, 8);
    EXPECT_FALSE(ApplyRepeatIn(r, -1));
    EXPECT_FALSE(ApplyRepeatIn(r, 21));
    r.RemDate = 1e300; // a damaged file's date
    EXPECT_FALSE(ApplyRepeatIn(r, 0));
    r.RemDate = *EncodeDate(9999, 12, 31);
    r.RemTime = EncodeTime(23, 0, 0, 0);
    EXPECT_FALSE(ApplyRepeatIn(r, 11)) << "year 10000 is no date";
    EXPECT_EQ(r.RemDate, *EncodeDate(9999, 12, 31));
}

TEST(LeadingBreak, RoundTrips) {
    bool lead = false;
    // A note that does not start with a break is shown one line down and stored back unchanged.
    std::string memo = MemoFromNote("Call Anna", lead);
    EXPECT_TRUE(lead);
    EXPECT_EQ(memo, "\r\nCall Anna");
    EXPECT_EQ(NoteFromMemo(memo, lead), "Call Anna");
    // Edited text after the break is taken as it is.
    EXPECT_EQ(NoteFromMemo("\r\nCall Anna at 5", lead), "Call Anna at 5");
    // The user removed the leading empty line: the memo text is stored unchanged.
    EXPECT_EQ(NoteFromMemo("Call Anna", lead), "Call Anna");

    // A note that already starts with a break (CR first, or LF second) is shown unchanged.
    memo = MemoFromNote("\r\nHeading", lead);
    EXPECT_FALSE(lead);
    EXPECT_EQ(memo, "\r\nHeading");
    EXPECT_EQ(NoteFromMemo(memo, lead), "\r\nHeading") << "no break is taken off that was not added";
    EXPECT_FALSE(NoteNeedsLeadingBreak("x\nrest"));
    EXPECT_FALSE(NoteNeedsLeadingBreak("\r"));

    // An empty note gets the break too.
    EXPECT_EQ(MemoFromNote("", lead), "\r\n");
    EXPECT_TRUE(lead);
    EXPECT_EQ(NoteFromMemo("\r\n", lead), "");
}

TEST(LeadingBreak, EditorLineBreaks) {
    EXPECT_EQ(BreaksToLf("\r\na\r\nb"), "\na\nb");
    EXPECT_EQ(BreaksToLf("a\rb\nc"), "a\nb\nc");
    EXPECT_EQ(BreaksToCrLf("\na\nb"), "\r\na\r\nb");
    const std::string note = "\r\nline one\r\nline two";
    EXPECT_EQ(BreaksToCrLf(BreaksToLf(note)), note);
}
