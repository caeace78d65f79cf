// The monitor with repeating reminders: a finished one comes back at its next occurrence, a snooze
// moves one occurrence only, a missed one leaves one expired copy and moves on, and each step that
// sets reminders aside unseen reports them once.
#include <gtest/gtest.h>

#include <limits>

#include "StoreTestSupport.h"
#include "engine/MissedNotice.h"
#include "store/IoError.h"
#include "store/Recurrence.h"
#include "tests/fakes/FakeTimeZone.h"
#include "tests/fakes/RecordingNotifier.h"

using namespace tw;
using namespace tw::testing;

namespace {

struct RepeatTest : ::testing::Test, MonitorRig, MissedListener {
    const double today = Day(2026, 12, 8); // a Tuesday
    std::vector<MissedReport> reports;

    RepeatTest() { monitor.repeats().setMissedListener(this); }
    void report(const MissedReport& r) override { reports.push_back(r); }
    void at(int h, int mi, int d = 8) { clock.set(2026, 12, d, h, mi); }
    ReminderRecord Series(Repeat rep, double date, double time, std::string_view note, int kind = KindPopUp) {
        ReminderRecord r = Make(kind, false, date, time, note);
        WriteRule(r, RuleAt(rep, date, time));
        return r;
    }
    // The active reminder with this note.
    const ReminderRecord* active(std::string_view note) {
        for (int i = 0; i < store.ActiveCount; ++i)
            if (NoteText(store.ActiveTable[i]) == note)
                return &store.ActiveTable[i];
        return nullptr;
    }
};

} // namespace

TEST_F(RepeatTest, FinishedDailyReminderComesBackTomorrowAtItsTimeAndIsSaved) {
    add(Series(Repeat::EveryDay, today, At(9, 0, 41), "daily"));
    at(9, 0);
    monitor.Mon_Rem();
    ASSERT_EQ(store.MonitorState, MonitorShowing);
    at(9, 2);
    activation.dismiss();
    monitor.Mon_Rem();
    EXPECT_EQ(store.MonitorState, MonitorIdle);
    ASSERT_EQ(store.ActiveCount, 1);
    const ReminderRecord& r = store.ActiveTable[0];
    EXPECT_EQ(r.RemDate, today + 1);
    EXPECT_EQ(r.RemTime, At(9, 0));
    EXPECT_EQ(ReadRule(r).repeat, Repeat::EveryDay);
    ASSERT_EQ(activeFile().size(), 1u);
    EXPECT_EQ(activeFile()[0].RemDate, today + 1);
    EXPECT_EQ(store.ExpiredCount, 0);
}

TEST_F(RepeatTest, TitleAndIconDisplaysEndingAsFinishedComeBackToo) {
    add(Series(Repeat::EveryWeek, today, At(10, 0), "title", KindTitle));
    add(Series(Repeat::EveryWeekday, today, At(11, 0), "icon", KindIcon));
    at(10, 0);
    monitor.Mon_Rem(); // the title display runs to its end within the step
    ASSERT_NE(active("title"), nullptr);
    EXPECT_EQ(active("title")->RemDate, today + 7);
    at(11, 0);
    monitor.Mon_Rem();
    activation.endFlash();
    monitor.Mon_Rem();
    ASSERT_NE(active("icon"), nullptr);
    EXPECT_EQ(active("icon")->RemDate, today + 1);
}

TEST_F(RepeatTest, SnoozeMovesOneOccurrenceAndTheSeriesGoesOnAtItsOwnTime) {
    add(Series(Repeat::EveryDay, today, At(9, 0), "daily"));
    at(9, 0);
    monitor.Mon_Rem();
    activation.repeatAt(today, At(9, 30));
    monitor.Mon_Rem();
    ASSERT_EQ(store.ActiveCount, 1);
    EXPECT_EQ(store.ActiveTable[0].RemTime, At(9, 30));
    EXPECT_EQ(ReadRule(store.ActiveTable[0]).repeat, Repeat::EveryDay);
    at(9, 30);
    monitor.Mon_Rem();
    ASSERT_EQ(activation.shown.size(), 2u);
    activation.dismiss();
    monitor.Mon_Rem();
    EXPECT_EQ(store.ActiveTable[0].RemDate, today + 1);
    EXPECT_EQ(store.ActiveTable[0].RemTime, At(9, 0));
}

TEST_F(RepeatTest, LongAbsenceLeavesOneCopyOfTheLatestMissedOccurrence) {
    add(Series(Repeat::EveryDay, Day(2026, 11, 1), At(9, 0), "daily"));
    add(PopUp(Day(2026, 11, 20), At(12, 0), "one-off"));
    add(Series(Repeat::EveryDay, Day(2026, 11, 1), At(18, 0), "evening"));
    store.SaveActive();
    const auto oldActiveFile = files.files.at(ActiveFileName);
    at(10, 0);
    monitor.Mon_Rem();
    ASSERT_EQ(store.ExpiredCount, 3);
    EXPECT_EQ(NoteText(store.ExpiredTable[0]), "daily");
    EXPECT_EQ(store.ExpiredTable[0].RemDate, today); // this morning's
    EXPECT_EQ(NoteText(store.ExpiredTable[1]), "evening");
    EXPECT_EQ(store.ExpiredTable[1].RemDate, today - 1); // yesterday's was the last one missed
    EXPECT_EQ(store.ExpiredTable[1].RemTime, At(18, 0));
    EXPECT_EQ(NoteText(store.ExpiredTable[2]), "one-off");
    for (int i = 0; i < store.ExpiredCount; ++i)
        EXPECT_EQ(ReadRule(store.ExpiredTable[i]).repeat, Repeat::Once); // copies carry no rule
    ASSERT_EQ(store.ActiveCount, 2);
    EXPECT_EQ(active("evening")->RemDate, today);
    EXPECT_EQ(active("daily")->RemDate, today + 1);
    EXPECT_EQ(activeFile().size(), 2u); // the series' new dates are saved
    EXPECT_EQ(files.writeCount(ExpiredFileName), 1);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].count, 3);
    EXPECT_EQ(NoteText(reports[0].latest), "daily");
    EXPECT_EQ(reports[0].latest.RemDate, today);

    // Started again from the old "rd.dt" (the program was killed before the save): nothing is
    // doubled, nothing reported again, and the series move on as in the first run.
    files.files[ActiveFileName] = oldActiveFile;
    store.LoadActive();
    monitor.Mon_Rem();
    EXPECT_EQ(store.ExpiredCount, 3);
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(store.ActiveCount, 2);
}

TEST_F(RepeatTest, SeriesMissedNowInsideTodaysWindowIsShownToday) {
    add(Series(Repeat::EveryWeekday, Day(2026, 12, 4), At(9, 0), "standup")); // last Friday
    at(9, 3);
    monitor.Mon_Rem();
    ASSERT_EQ(store.ExpiredCount, 1);
    EXPECT_EQ(store.ExpiredTable[0].RemDate, Day(2026, 12, 7)); // Monday's, not the weekend's
    monitor.Mon_Rem();
    ASSERT_EQ(activation.shown.size(), 1u);
    EXPECT_EQ(activation.shown[0].RemDate, today);
}

TEST_F(RepeatTest, SnoozedOccurrenceMissedIsTheCopyAndTheSeriesGoesOn) {
    ReminderRecord snoozed = Series(Repeat::EveryDay, today - 1, At(9, 0), "daily");
    snoozed.RemTime = At(23, 0); // yesterday's 09:00, snoozed to 23:00
    add(snoozed);
    at(8, 0);
    monitor.Mon_Rem();
    ASSERT_EQ(store.ExpiredCount, 1);
    EXPECT_EQ(store.ExpiredTable[0].RemDate, today - 1);
    EXPECT_EQ(store.ExpiredTable[0].RemTime, At(23, 0));
    EXPECT_EQ(store.ActiveTable[0].RemDate, today);
    EXPECT_EQ(store.ActiveTable[0].RemTime, At(9, 0));
}

TEST_F(RepeatTest, DisabledMeanwhileThenEverythingMissedInOneStep) {
    add(Series(Repeat::EveryDay, today, At(9, 0), "daily"));
    store.RemindersEnabled = false;
    for (int h = 9; h < 12; ++h) {
        at(h, 0);
        monitor.Mon_Rem();
    }
    EXPECT_EQ(store.ExpiredCount, 0);
    store.RemindersEnabled = true;
    monitor.Mon_Rem();
    EXPECT_EQ(store.ExpiredCount, 1);
    EXPECT_EQ(store.ActiveTable[0].RemDate, today + 1);
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(RepeatTest, FinishedSeriesFindingTheTableFullIsKeptWithItsRule) {
    add(Series(Repeat::EveryDay, today, At(9, 0), "daily"));
    at(9, 0);
    monitor.Mon_Rem();
    for (int i = 0; i < MaxReminders; ++i) // the editor filled the table meanwhile
        ASSERT_EQ(store.AppendActive(PopUp(today + 1 + i, At(9, 0))), 0);
    activation.dismiss();
    monitor.Mon_Rem();
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"Error Save reminder"}));
    ASSERT_EQ(store.ExpiredCount, 1);
    EXPECT_EQ(ReadRule(store.ExpiredTable[0]).repeat, Repeat::EveryDay);
    EXPECT_EQ(store.MonitorState, MonitorIdle);
}

TEST_F(RepeatTest, AFullTableOfMissedSeriesStaysWholeWithOneWriteOfEachFile) {
    for (int i = 0; i < MaxReminders; ++i)
        ASSERT_EQ(store.AppendActive(Series(Repeat::EveryDay, today - 3, At(i % 23, i % 60), std::to_string(i))), 0);
    store.SortActive();
    at(23, 59);
    monitor.Mon_Rem();
    EXPECT_EQ(store.ActiveCount, MaxReminders);
    EXPECT_EQ(store.ExpiredCount, MaxReminders);
    for (int i = 0; i < store.ActiveCount; ++i)
        ASSERT_EQ(store.ActiveTable[i].RemDate, today + 1) << i;
    EXPECT_EQ(files.writeCount(ExpiredFileName), 1);
    EXPECT_EQ(files.writeCount(ActiveFileName), 1);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].count, MaxReminders);
}

TEST_F(RepeatTest, SeriesDueAtTheSameMinuteKeepTheirOrderAfterASweep) {
    add(Series(Repeat::EveryDay, today - 2, At(9, 0), "taken second"));
    add(Series(Repeat::EveryDay, today - 2, At(9, 0), "taken first", KindIcon));
    ASSERT_EQ(NoteText(store.ActiveTable[1]), "taken first"); // the last slot is taken first
    at(10, 0);
    monitor.Mon_Rem();
    ASSERT_EQ(store.ActiveCount, 2);
    EXPECT_EQ(NoteText(store.ActiveTable[1]), "taken first");
    EXPECT_EQ(NoteText(store.ActiveTable[0]), "taken second");
}

TEST_F(RepeatTest, AFailedWriteMidSweepLosesNoSeries) {
    add(Series(Repeat::EveryDay, today - 1, At(8, 0), "a"));
    add(Series(Repeat::EveryDay, today - 1, At(9, 0), "b"));
    files.writeError[ExpiredFileName] = IoCode::DiskFull;
    monitor.setBatchExpiredSaves(false);
    at(10, 0);
    monitor.Mon_Rem();
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"Disk full"}));
    ASSERT_EQ(store.ActiveCount, 2);
    EXPECT_EQ(active("a")->RemDate, today + 1); // moved on
    EXPECT_EQ(active("b")->RemDate, today - 1); // waits for the next step
}

TEST_F(RepeatTest, DaylightSavingPlacesTheSkippedMinuteAtTheEndOfTheGap) {
    fake::FakeTimeZone zone;
    zone.skip({2027, 3, 28, 2, 0, 0, 0}, {2027, 3, 28, 3, 0, 0, 0});
    monitor.repeats().setTimeZone(zone);
    add(Series(Repeat::EveryDay, Day(2027, 3, 27), At(2, 30), "night"));
    clock.set(2027, 3, 27, 2, 30);
    monitor.Mon_Rem();
    activation.dismiss();
    monitor.Mon_Rem();
    EXPECT_EQ(store.ActiveTable[0].RemDate, Day(2027, 3, 28));
    EXPECT_EQ(store.ActiveTable[0].RemTime, At(3, 0));
    clock.set(2027, 3, 28, 3, 0);
    monitor.Mon_Rem();
    activation.dismiss();
    monitor.Mon_Rem();
    EXPECT_EQ(store.ActiveTable[0].RemDate, Day(2027, 3, 29));
    EXPECT_EQ(store.ActiveTable[0].RemTime, At(2, 30));
}

TEST_F(RepeatTest, ReportsCountWhatPassedUnseenButNotDamagedOrDoubledRecords) {
    const ReminderRecord again = PopUp(today - 1, At(7, 0), "again");
    ASSERT_EQ(store.AppendExpired(again), 0);
    add(again);
    add(PopUp(std::numeric_limits<double>::quiet_NaN(), At(8, 0), "damaged"));
    at(10, 0);
    monitor.Mon_Rem();
    EXPECT_TRUE(reports.empty());
    add(PopUp(today, At(8, 0), "first"));
    add(PopUp(today, At(9, 0), "second"));
    monitor.Mon_Rem();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].count, 2);
    EXPECT_EQ(NoteText(reports[0].latest), "second");
}

TEST(MissedNoticeText, CountDateTimeAndNoteOnlyWhileTheTrayIconIsShown) {
    fake::FakeFileSystem fs;
    Store store(fs);
    EnglishLocale locale;
    struct Plain : platform::CodePage {
        std::string toUtf8(std::string_view s) const override { return std::string(s); }
        std::string fromUtf8(std::string_view s) const override { return std::string(s); }
    } cp;
    fake::RecordingNotifier notifier;
    MissedNotice notice(store, locale, cp, notifier);
    MissedReport report{3, PopUp(Day(2026, 12, 8), At(9, 5), "Call\r\nthe garage")};
    notice.report(report);
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0].title, "Missed reminders");
    EXPECT_EQ(notifier.notices[0].text,
              "3 reminders passed while they could not be shown\n08/Dec/26 09:05 Call  the garage");
    report.count = 1;
    EXPECT_EQ(MissedText(report, locale, cp).substr(0, 46), "1 reminder passed while it could not be shown\n");
    store.TrayIconShown = false;
    notice.report(report);
    EXPECT_EQ(notifier.notices.size(), 1u);
}
