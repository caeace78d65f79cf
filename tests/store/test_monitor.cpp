// The monitor step on a settable clock: the due window, the overdue rule, the catch-up after an
// absence, each MonitorState, and the cases where a reminder must not be lost or shown wrongly.
#include <gtest/gtest.h>

#include <limits>

#include "StoreTestSupport.h"
#include "store/IoError.h"

using namespace tw;
using namespace tw::testing;

namespace {

using Shown = fake::RecordingMessageBoxes::Shown;

struct MonitorTest : ::testing::Test, MonitorRig {
    const double today = Day(2026, 12, 8);

    void at(int h, int mi, int s = 0) { clock.set(2026, 12, 8, h, mi, s); }
    std::vector<std::string> notes(const ReminderTable& t, int n) {
        std::vector<std::string> out;
        for (int i = 0; i < n; ++i)
            out.push_back(NoteText(t[i]));
        return out;
    }
    std::vector<std::string> expiredNotes() { return notes(store.ExpiredTable, store.ExpiredCount); }
    std::vector<std::string> activeNotes() { return notes(store.ActiveTable, store.ActiveCount); }
};

using Strings = std::vector<std::string>;

platform::LocalTime Now(int h, int mi, int s = 0, int d = 8) {
    return {2026, 12, d, h, mi, s, 0};
}

} // namespace

TEST(DueRules, RecordNotEmptyLooksAtFlagDateTimeAndNoteLength) {
    ReminderRecord r{};
    EXPECT_FALSE(RecordNotEmpty(r));
    r.Kind = KindPopUp; // kind and beep do not count
    r.Beep = 1;
    EXPECT_FALSE(RecordNotEmpty(r));
    r.Flag = 1;
    EXPECT_TRUE(RecordNotEmpty(r));
    r = {};
    r.RemTime = 1e-300;
    EXPECT_TRUE(RecordNotEmpty(r));
    r = {};
    r.RemDate = -0.0; // exact comparison: negative zero is zero
    EXPECT_FALSE(RecordNotEmpty(r));
    r.Note[0] = 1;
    EXPECT_TRUE(RecordNotEmpty(r));
}

TEST(DueRules, TheSixMinuteWindow) {
    const ReminderRecord r = PopUp(Day(2026, 12, 8), At(10, 30));
    EXPECT_FALSE(IsDueNow(r, Now(10, 29, 59)));
    EXPECT_FALSE(IsOverdue(r, Now(10, 29, 59)));
    EXPECT_TRUE(IsDueNow(r, Now(10, 30, 0)));
    EXPECT_TRUE(IsDueNow(r, Now(10, 35, 59)));
    EXPECT_FALSE(IsOverdue(r, Now(10, 35, 59)));
    EXPECT_FALSE(IsDueNow(r, Now(10, 36, 0)));
    EXPECT_TRUE(IsOverdue(r, Now(10, 36, 0)));
}

TEST(DueRules, TheWindowEndsWithTheHour) {
    const ReminderRecord r = PopUp(Day(2026, 12, 8), At(10, 58));
    EXPECT_TRUE(IsDueNow(r, Now(10, 59, 59)));
    EXPECT_FALSE(IsDueNow(r, Now(11, 0, 0)));
    EXPECT_TRUE(IsOverdue(r, Now(11, 0, 0)));
}

TEST(DueRules, AcrossMidnightAndOtherDays) {
    const ReminderRecord late = PopUp(Day(2026, 12, 8), At(23, 57));
    EXPECT_TRUE(IsDueNow(late, Now(23, 59, 59)));
    EXPECT_FALSE(IsDueNow(late, Now(0, 0, 0, 9)));
    EXPECT_TRUE(IsOverdue(late, Now(0, 0, 0, 9)));

    const ReminderRecord yesterday = PopUp(Day(2026, 12, 7), At(23, 0));
    EXPECT_TRUE(IsOverdue(yesterday, Now(8, 0)));
    EXPECT_FALSE(IsDueNow(yesterday, Now(23, 0, 0))); // same hour, other day

    const ReminderRecord tomorrow = PopUp(Day(2026, 12, 9), At(0, 1));
    for (int h : {0, 8, 23}) {
        EXPECT_FALSE(IsDueNow(tomorrow, Now(h, 1)));
        EXPECT_FALSE(IsOverdue(tomorrow, Now(h, 59)));
    }
}

TEST(DueRules, DateAndTimeAreReadRoundedToTheMillisecond) {
    // 10:29:59.9996 rounds to 10:30:00.000, so the window runs to 10:35:59 (truncated, it would
    // be minute 29 and end at 10:34:59).
    const double almost = At(10, 30) - 0.4 / 86'400'000.0;
    const ReminderRecord r = PopUp(Day(2026, 12, 8), almost);
    EXPECT_TRUE(IsDueNow(r, Now(10, 35, 59)));
    EXPECT_FALSE(IsOverdue(r, Now(10, 35, 59)));
    // The whole part of the time and the fraction of the date do not count.
    const ReminderRecord s = PopUp(Day(2026, 12, 8) + 0.75, At(10, 30) + 3.0);
    EXPECT_TRUE(IsDueNow(s, Now(10, 31)));
    // A date a hair before midnight belongs, by its rounded day, to the next day.
    const ReminderRecord t = PopUp(Day(2026, 12, 8) - 0.1 / 86'400'000.0, At(10, 30));
    EXPECT_TRUE(IsDueNow(t, Now(10, 30)));
}

TEST(DueRules, DamagedDatesAreNeverDueAndAlwaysOverdue) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double bad[] = {nan, inf, -inf, 1e300, -1e300, 1e11, Day(1, 1, 1) - 1, Day(9999, 12, 31) + 1};
    for (double d : bad) {
        const ReminderRecord r = PopUp(d, At(0, 0));
        for (int h : {0, 12, 23}) {
            EXPECT_FALSE(IsDueNow(r, Now(h, 0))) << d;
            EXPECT_TRUE(IsOverdue(r, Now(h, 0))) << d;
        }
    }
    // A good date with a time that is no number is never shown either.
    for (double t : {nan, inf, -inf}) {
        const ReminderRecord r = PopUp(Day(2026, 12, 8), t);
        EXPECT_FALSE(IsDueNow(r, Now(0, 0)));
        EXPECT_TRUE(IsOverdue(r, Now(0, 0)));
    }
    // The edges of the calendar are still dates.
    EXPECT_FALSE(IsOverdue(PopUp(Day(9999, 12, 31), At(23, 59)), Now(0, 0)));
    EXPECT_TRUE(IsOverdue(PopUp(Day(1, 1, 1), At(0, 0)), Now(0, 0)));
}

TEST_F(MonitorTest, DueReminderIsTakenOutAndShown) {
    add(PopUp(today, At(10, 30), "due"));
    add(PopUp(today, At(12, 0), "later"));
    at(10, 30, 0);
    monitor.Mon_Rem();
    ASSERT_EQ(activation.shown.size(), 1u);
    EXPECT_EQ(NoteText(activation.shown[0]), "due");
    EXPECT_EQ(store.MonitorState, MonitorShowing);
    EXPECT_EQ(activeNotes(), (Strings{"later"}));
    EXPECT_EQ(NoteText(store.CurrentReminder), "due");
}

TEST_F(MonitorTest, NothingHappensBeforeTheWindowOrForTomorrow) {
    add(PopUp(today + 1, At(9, 0), "tomorrow"));
    add(PopUp(today, At(10, 30), "soon"));
    at(10, 29, 59);
    monitor.Mon_Rem();
    EXPECT_TRUE(activation.shown.empty());
    EXPECT_EQ(store.ActiveCount, 2);
    EXPECT_TRUE(files.files.empty());
}

TEST_F(MonitorTest, ReminderTwoMinutesLateAfterTheHourGoesToExpiredUnseen) {
    add(PopUp(today, At(10, 58), "missed"));
    at(11, 0);
    monitor.Mon_Rem();
    EXPECT_TRUE(activation.shown.empty());
    EXPECT_EQ(expiredNotes(), (Strings{"missed"}));
    EXPECT_EQ(store.ActiveCount, 0);
    EXPECT_EQ(expiredFile().size(), 1u);
    EXPECT_FALSE(files.has(ActiveFileName)); // moving missed reminders does not save "rd.dt"
}

TEST_F(MonitorTest, CatchUpMovesEveryMissedReminderInOneStepAndShowsTheDueOneNext) {
    for (int i = 0; i < 5; ++i)
        add(PopUp(today - 1, At(8 + i, 0), "past" + std::to_string(i)));
    add(PopUp(today, At(10, 0), "due"));
    add(PopUp(today + 3, At(9, 0), "ahead"));
    at(10, 1);
    monitor.setBatchExpiredSaves(false);
    monitor.Mon_Rem();
    EXPECT_EQ(expiredNotes(), (Strings{"past0", "past1", "past2", "past3", "past4"}));
    EXPECT_EQ(files.writeCount(ExpiredFileName), 5); // one rewrite per move when not batched
    EXPECT_TRUE(activation.shown.empty());
    EXPECT_EQ(activeNotes(), (Strings{"ahead", "due"}));

    monitor.Mon_Rem();
    ASSERT_EQ(activation.shown.size(), 1u);
    EXPECT_EQ(NoteText(activation.shown[0]), "due");
}

TEST_F(MonitorTest, BatchedCatchUpWritesTheSameFileOnce) {
    for (int i = 0; i < 5; ++i)
        add(PopUp(today - 1, At(8 + i, 0), "past" + std::to_string(i)));
    at(10, 1);
    monitor.Mon_Rem(); // batching is the default
    EXPECT_EQ(files.writeCount(ExpiredFileName), 1);
    const auto batched = files.files.at(ExpiredFileName);

    MonitorRig other;
    for (int i = 0; i < 5; ++i)
        other.add(PopUp(today - 1, At(8 + i, 0), "past" + std::to_string(i)));
    other.clock.set(2026, 12, 8, 10, 1);
    other.monitor.setBatchExpiredSaves(false);
    other.monitor.Mon_Rem();
    EXPECT_EQ(other.files.files.at(ExpiredFileName), batched);
}

TEST_F(MonitorTest, MissedReminderAlreadyExpiredIsNotDoubled) {
    const ReminderRecord r = PopUp(today - 1, At(8, 0), "again");
    ASSERT_EQ(store.AppendExpired(r), 0);
    add(r);
    at(9, 0);
    monitor.Mon_Rem();
    EXPECT_EQ(store.ActiveCount, 0);
    EXPECT_EQ(store.ExpiredCount, 1);
}

TEST_F(MonitorTest, BlankRecordsAreRemovedOnePerStepWithASave) {
    add(PopUp(today + 1, At(9, 0), "ahead"));
    store.AppendActive(ReminderRecord{});
    store.AppendActive(ReminderRecord{}); // unsorted, as from a damaged file
    at(9, 0);
    monitor.Mon_Rem();
    EXPECT_EQ(store.ActiveCount, 2);
    EXPECT_EQ(activeFile().size(), 2u);
    monitor.Mon_Rem();
    EXPECT_EQ(store.ActiveCount, 1);
    EXPECT_EQ(files.writeCount(ActiveFileName), 2);
    monitor.Mon_Rem();
    EXPECT_EQ(store.ActiveCount, 1);
    EXPECT_EQ(files.writeCount(ActiveFileName), 2);
}

TEST_F(MonitorTest, OverdueLoopStopsAtABlankRecord) {
    store.AppendActive(PopUp(today - 2, At(8, 0), "older"));
    store.AppendActive(ReminderRecord{});
    store.AppendActive(PopUp(today - 1, At(8, 0), "old"));
    at(9, 0);
    monitor.Mon_Rem();
    EXPECT_EQ(expiredNotes(), (Strings{"old"}));
    monitor.Mon_Rem(); // the blank one
    monitor.Mon_Rem();
    EXPECT_EQ(expiredNotes(), (Strings{"old", "older"}));
}

TEST_F(MonitorTest, DisabledOrEditingOrShowingStepsDoNothing) {
    add(PopUp(today - 1, At(8, 0), "missed"));
    add(PopUp(today, At(9, 0), "due"));
    store.TablesChanged = false;
    at(9, 0);
    store.RemindersEnabled = false;
    monitor.Mon_Rem();
    store.RemindersEnabled = true;
    store.EditInProgress = true;
    monitor.Mon_Rem();
    store.EditInProgress = false;
    store.MonitorState = MonitorShowing;
    monitor.Mon_Rem();
    EXPECT_EQ(store.ActiveCount, 2);
    EXPECT_TRUE(activation.shown.empty());
    EXPECT_TRUE(files.files.empty());
    EXPECT_FALSE(store.TablesChanged);
}

TEST_F(MonitorTest, AfterDisableAllEverythingMissedGoesInTheNextStep) {
    add(PopUp(today, At(9, 0), "a"));
    add(PopUp(today, At(9, 30), "b"));
    add(PopUp(today, At(11, 0), "c"));
    store.RemindersEnabled = false;
    for (int m = 0; m < 60; ++m) {
        at(9, 59, m % 60);
        monitor.Mon_Rem();
    }
    store.RemindersEnabled = true;
    at(10, 0);
    monitor.Mon_Rem();
    EXPECT_EQ(expiredNotes(), (Strings{"a", "b"}));
    EXPECT_EQ(activeNotes(), (Strings{"c"}));
    EXPECT_TRUE(activation.shown.empty());
}

TEST_F(MonitorTest, DismissDropsTheReminderInTheNextStepAndMissedOnesGoInTheStepAfter) {
    add(PopUp(today, At(9, 0), "shown"));
    add(PopUp(today, At(9, 5), "passes"));
    add(PopUp(today, At(12, 0), "ahead"));
    at(9, 0);
    monitor.Mon_Rem();
    ASSERT_EQ(store.MonitorState, MonitorShowing);
    at(9, 20);
    monitor.Mon_Rem(); // the pop-up is still open
    EXPECT_EQ(store.ActiveCount, 2);
    activation.dismiss();
    const int savesByClick = files.writeCount(ActiveFileName);
    monitor.Mon_Rem();
    EXPECT_EQ(store.MonitorState, MonitorIdle);
    EXPECT_EQ(files.writeCount(ActiveFileName), savesByClick + 1);
    EXPECT_EQ(store.ExpiredCount, 0);
    monitor.Mon_Rem();
    EXPECT_EQ(expiredNotes(), (Strings{"passes"}));
    EXPECT_EQ(activeNotes(), (Strings{"ahead"}));
    EXPECT_EQ(activation.shown.size(), 1u);
}

TEST_F(MonitorTest, TitleDisplayIsSettledInTheStepThatStartedIt) {
    add(Make(KindTitle, false, today, At(9, 0), "title"));
    add(Make(KindTitle, false, today, At(9, 0), "second"));
    at(9, 0);
    monitor.Mon_Rem();
    EXPECT_EQ(store.MonitorState, MonitorIdle);
    EXPECT_EQ(activation.shown.size(), 1u);
    EXPECT_EQ(activeFile().size(), 1u); // dropped and saved in the same step
    monitor.Mon_Rem();
    EXPECT_EQ(activation.shown.size(), 2u);
}

TEST_F(MonitorTest, ActivationsThatCannotStartAreTriedAgainThenSetAsideAmongTheExpired) {
    add(Make(KindTitle, false, today, At(9, 1), "no window"));
    activation.titleFindsWindow = false;
    at(9, 2);
    monitor.Mon_Rem();
    EXPECT_EQ(store.MonitorState, MonitorIdle);
    monitor.Mon_Rem();
    EXPECT_EQ(store.MonitorState, MonitorIdle);
    // Nothing is behind it: each step tries it again while its minutes last.
    EXPECT_EQ(activation.shown.size(), 2u);
    EXPECT_EQ(activeNotes(), (Strings{"no window"}));
    EXPECT_EQ(store.ExpiredCount, 0);
    at(9, 7);
    monitor.Mon_Rem();
    EXPECT_EQ(store.ActiveCount, 0);
    EXPECT_EQ(expiredNotes(), (Strings{"no window"}));
    EXPECT_EQ(activation.shown.size(), 2u);
}

// An unshowable reminder holds nothing up: as soon as the reminder behind it is due or overdue, it
// goes to the expired list and that reminder is handled in the same step, on time.
TEST_F(MonitorTest, AnUnshowableReminderGivesWayToTheNextDueOne) {
    ReminderRecord odd = PopUp(today, At(9, 0), "odd kind");
    odd.Kind = 3;
    add(PopUp(today, At(9, 4), "later pop-up"));
    add(Make(KindTitle, false, today, At(9, 1), "no window"));
    add(odd);
    activation.titleFindsWindow = false;
    at(9, 2);
    monitor.Mon_Rem(); // the odd one gives way to the due title one, which holds nothing up yet
    EXPECT_EQ(store.MonitorState, MonitorIdle);
    EXPECT_EQ(expiredNotes(), (Strings{"odd kind"}));
    EXPECT_EQ(activeNotes(), (Strings{"later pop-up", "no window"}));
    EXPECT_EQ(activation.shown.size(), 2u);
    at(9, 4);
    monitor.Mon_Rem(); // the pop-up is due: the title one is set aside and the pop-up shown at once
    EXPECT_EQ(expiredNotes(), (Strings{"odd kind", "no window"}));
    EXPECT_EQ(store.MonitorState, MonitorShowing);
    EXPECT_EQ(NoteText(store.CurrentReminder), "later pop-up");
    EXPECT_EQ(store.ActiveCount, 0);
    EXPECT_EQ(expiredFile().size(), 2u);

    // A pop-up of the same minute is shown, not expired unseen.
    MonitorRig same;
    same.add(PopUp(today, At(9, 0), "same minute"));
    same.add(Make(KindTitle, false, today, At(9, 0), "no window"));
    same.activation.titleFindsWindow = false;
    same.clock.set(2026, 12, 8, 9, 0, 0);
    ASSERT_EQ(NoteText(same.store.ActiveTable[1]), "no window"); // the title one is taken first
    same.monitor.Mon_Rem();
    EXPECT_EQ(same.store.MonitorState, MonitorShowing);
    EXPECT_EQ(NoteText(same.store.CurrentReminder), "same minute");
    ASSERT_EQ(same.store.ExpiredCount, 1);
    EXPECT_EQ(NoteText(same.store.ExpiredTable[0]), "no window");
}

TEST_F(MonitorTest, IconFlashEndIsSettledLikeADismiss) {
    add(Make(KindIcon, true, today, At(9, 0), "icon"));
    at(9, 0);
    monitor.Mon_Rem();
    EXPECT_EQ(store.MonitorState, MonitorShowing);
    activation.endFlash();
    monitor.Mon_Rem();
    EXPECT_EQ(store.MonitorState, MonitorIdle);
    EXPECT_EQ(store.ActiveCount, 0);
    EXPECT_TRUE(activeFile().empty());
}

TEST_F(MonitorTest, RepeatInLaterTodayIsReinsertedInPlaceAndSaved) {
    add(PopUp(today, At(9, 0), "snoozed"));
    add(PopUp(today, At(9, 30), "next"));
    add(PopUp(today + 1, At(9, 0), "tomorrow"));
    at(9, 0);
    monitor.Mon_Rem();
    at(9, 2);
    activation.repeatAt(today, At(9, 15));
    // "rd.dt" now lacks the snoozed reminder: a crash here would lose it without the next save.
    EXPECT_EQ(activeFile().size(), 2u);
    monitor.Mon_Rem();
    EXPECT_EQ(store.MonitorState, MonitorIdle);
    EXPECT_EQ(activeNotes(), (Strings{"tomorrow", "next", "snoozed"}));
    const auto saved = activeFile();
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(NoteText(saved[2]), "snoozed");
    EXPECT_EQ(saved[2].RemTime, At(9, 15));

    at(9, 15);
    monitor.Mon_Rem();
    ASSERT_EQ(activation.shown.size(), 2u);
    EXPECT_EQ(NoteText(activation.shown[1]), "snoozed");
}

TEST_F(MonitorTest, RepeatInToALaterDayAtAnEarlierTimeIsReinserted) {
    add(PopUp(today, At(22, 0), "snoozed"));
    at(22, 0);
    monitor.Mon_Rem();
    activation.repeatAt(today + 1, At(6, 0));
    monitor.Mon_Rem();
    EXPECT_EQ(store.MonitorState, MonitorIdle);
    EXPECT_EQ(activeNotes(), (Strings{"snoozed"}));
}

TEST_F(MonitorTest, RepeatInNotAheadOfTheClockIsReinsertedAtOnceAndNeverBlocks) {
    add(PopUp(today, At(9, 0), "short snooze"));
    add(PopUp(today, At(9, 40), "other"));
    at(9, 0);
    monitor.Mon_Rem();
    at(9, 12); // the pop-up stayed open twelve minutes; "Repeat in" 5 minutes from 9:00
    activation.repeatAt(today, At(9, 5));
    monitor.Mon_Rem();
    EXPECT_EQ(store.MonitorState, MonitorIdle);
    EXPECT_EQ(store.ActiveCount, 2);
    EXPECT_EQ(activeFile().size(), 2u);
    monitor.Mon_Rem(); // its window has passed: expired, where the user sees it
    EXPECT_EQ(expiredNotes(), (Strings{"short snooze"}));
    at(9, 40);
    monitor.Mon_Rem();
    ASSERT_EQ(activation.shown.size(), 2u);
    EXPECT_EQ(NoteText(activation.shown[1]), "other");
}

TEST_F(MonitorTest, RepeatInStillInsideItsWindowIsShownAgainInTheNextStep) {
    add(PopUp(today, At(9, 0), "quick"));
    at(9, 0);
    monitor.Mon_Rem();
    at(9, 3);
    activation.repeatAt(today, At(9, 1));
    monitor.Mon_Rem();
    EXPECT_EQ(store.MonitorState, MonitorIdle);
    monitor.Mon_Rem();
    EXPECT_EQ(activation.shown.size(), 2u);
    EXPECT_EQ(store.MonitorState, MonitorShowing);
}

TEST_F(MonitorTest, RepeatInIntoAFullTableAsksAndKeepsTheReminderAmongTheExpired) {
    add(PopUp(today, At(9, 0), "snoozed"));
    at(9, 0);
    monitor.Mon_Rem();
    for (int i = 0; i < MaxReminders; ++i) // the editor filled the table meanwhile
        ASSERT_EQ(store.AppendActive(PopUp(today + 1 + i, At(9, 0))), 0);
    store.SortActive();
    activation.repeatAt(today, At(10, 0));
    boxes.setNextAnswer(platform::Answer::Yes);
    monitor.Mon_Rem();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, Shown::Confirm);
    EXPECT_EQ(boxes.shown[0].text, "Error Save reminder");
    EXPECT_EQ(store.MonitorState, MonitorIdle);
    EXPECT_EQ(store.ActiveCount, MaxReminders);
    ASSERT_EQ(expiredNotes(), (Strings{"snoozed"}));
    EXPECT_EQ(store.ExpiredTable[0].RemTime, At(10, 0));
    EXPECT_EQ(expiredFile().size(), 1u);
}

TEST_F(MonitorTest, ShowingWhileDisabledIsSettledOnlyAfterEnabling) {
    add(PopUp(today, At(9, 0), "shown"));
    at(9, 0);
    monitor.Mon_Rem();
    store.RemindersEnabled = false;
    activation.dismiss();
    monitor.Mon_Rem();
    EXPECT_EQ(store.MonitorState, MonitorDone);
    store.RemindersEnabled = true;
    monitor.Mon_Rem();
    EXPECT_EQ(store.MonitorState, MonitorIdle);
}

TEST_F(MonitorTest, ClockJumpsForwardAndBack) {
    add(PopUp(today, At(2, 30), "skipped"));
    add(PopUp(today, At(3, 10), "after"));
    at(2, 0);
    monitor.Mon_Rem();
    at(3, 10); // the clock jumps an hour forward over 2:30
    monitor.Mon_Rem();
    EXPECT_EQ(expiredNotes(), (Strings{"skipped"}));
    EXPECT_TRUE(activation.shown.empty());
    monitor.Mon_Rem();
    ASSERT_EQ(activation.shown.size(), 1u);
    activation.dismiss();
    monitor.Mon_Rem();
    at(2, 10); // and back: what was shown has left the table
    for (int i = 0; i < 3600; ++i) {
        clock.advanceMs(1000);
        monitor.Mon_Rem();
    }
    EXPECT_EQ(activation.shown.size(), 1u);
}

TEST_F(MonitorTest, IoErrorsEndTheStepWithTheirMessageAndTheNextStepStartsAfresh) {
    add(PopUp(today - 1, At(8, 0), "a"));
    add(PopUp(today - 1, At(9, 0), "b"));
    files.writeError[ExpiredFileName] = IoCode::DiskFull;
    monitor.setBatchExpiredSaves(false);
    at(10, 0);
    monitor.Mon_Rem();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, Shown::Error);
    EXPECT_EQ(boxes.shown[0].text, "Disk full");
    EXPECT_EQ(store.ExpiredCount, 1); // the first move stays in memory
    files.writeError.clear();
    monitor.Mon_Rem();
    EXPECT_EQ(expiredNotes(), (Strings{"a", "b"}));
    EXPECT_EQ(expiredFile().size(), 2u);
}

TEST_F(MonitorTest, BatchedSaveFailureIsReportedOnce) {
    for (int i = 0; i < 3; ++i)
        add(PopUp(today - 1, At(8 + i, 0), std::to_string(i)));
    files.writeError[ExpiredFileName] = IoCode::AccessDenied;
    at(10, 0);
    monitor.Mon_Rem();
    EXPECT_EQ(boxes.texts(), (Strings{"File access denied"}));
    EXPECT_EQ(store.ExpiredCount, 3);
    EXPECT_EQ(store.ActiveCount, 0);
}

TEST_F(MonitorTest, DamagedRecordsGoToTheExpiredTableAndAreNeverShown) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<ReminderRecord> recs = {PopUp(today + 2, At(9, 0), "fine"), PopUp(nan, At(9, 0), "nan"),
                                        PopUp(inf, At(9, 0), "inf"),        PopUp(1e300, At(9, 0), "huge"),
                                        PopUp(-1e300, At(9, 0), "tiny"),    PopUp(today, nan, "nan time"),
                                        PopUp(today, At(9, 0), "due"),      PopUp(Day(1, 1, 1) - 2, 0.5, "bc")};
    files.files[ActiveFileName] = FileOf(recs);
    store.LoadActive();
    at(9, 0);
    for (int i = 0; i < 20; ++i) {
        monitor.Mon_Rem();
        if (store.MonitorState == MonitorShowing)
            activation.dismiss();
    }
    for (const auto& r : activation.shown)
        EXPECT_EQ(NoteText(r), "due");
    auto expired = expiredNotes();
    std::sort(expired.begin(), expired.end());
    EXPECT_EQ(expired, (Strings{"bc", "huge", "inf", "nan", "nan time", "tiny"}));
    EXPECT_EQ(activeNotes(), (Strings{"fine"}));
}
