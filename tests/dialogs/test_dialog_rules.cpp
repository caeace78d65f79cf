// The dialogs' window-free rules: records built for the ticked boxes, storing them into a table
// with few free slots, giving back an edit, the pickers' held values, the note's conversions, and
// the list's rows, indexes and texts.
#include <gtest/gtest.h>

#include "DialogHarness.h"
#include "dialogs/EditorRules.h"
#include "dialogs/ListRules.h"
#include "store/IoError.h"

using namespace tw;
using tw::test::DialogEnv;
using tw::test::MakeReminder;

namespace {

ActivationChoices Ticked(bool title, bool popUp, bool icon) {
    ActivationChoices c{};
    c[RowTitle].checked = title;
    c[RowPopUp].checked = popUp;
    c[RowIcon].checked = icon;
    return c;
}

TEST(BuildRecords, OneRecordPerTickedBoxInRowOrder) {
    ActivationChoices c = Ticked(true, true, true);
    c[RowTitle].beep = true;
    c[RowIcon].beep = true;
    const NewRecords n = BuildRecords(c, 46363.25, 46360.5, "abc");
    ASSERT_EQ(n.count, 3);
    EXPECT_EQ(n.records[0].Kind, KindTitle);
    EXPECT_EQ(n.records[1].Kind, KindPopUp);
    EXPECT_EQ(n.records[2].Kind, KindIcon);
    EXPECT_EQ(n.records[0].Beep, 1);
    EXPECT_EQ(n.records[1].Beep, 0);
    EXPECT_EQ(n.records[2].Beep, 1);
    for (const ReminderRecord& r : n.records) {
        EXPECT_EQ(r.RemDate, 46363.25);
        EXPECT_EQ(r.RemTime, 46360.5);
        EXPECT_EQ(NoteText(r), "abc");
    }
}

TEST(BuildRecords, EveryByteNotSetIsZeroAndUntickedBeepIsIgnored) {
    ActivationChoices c = Ticked(false, true, false);
    c[RowTitle].beep = true; // unticked: contributes nothing
    const NewRecords n = BuildRecords(c, 1.0, 2.0, "n");
    ASSERT_EQ(n.count, 1);
    ReminderRecord expected{};
    expected.Kind = KindPopUp;
    expected.RemDate = 1.0;
    expected.RemTime = 2.0;
    SetNote(expected, "n");
    EXPECT_EQ(tw::test::Bytes(n.records[0]), tw::test::Bytes(expected));
    EXPECT_EQ(BuildRecords(Ticked(false, false, false), 1, 2, "n").count, 0);
}

TEST(BuildRecords, NoteIsCutTo255) {
    const NewRecords n = BuildRecords(Ticked(true, false, false), 1, 2, std::string(300, 'z'));
    EXPECT_EQ(n.records[0].Note[0], 255);
}

TEST(ChoicesFromRecord, KindAndBeepTickTheirRowOnly) {
    const auto icon = ChoicesFromRecord(MakeReminder(KindIcon, 2027, 1, 1, 0, 0, "", 7));
    EXPECT_TRUE(icon[RowIcon].checked);
    EXPECT_TRUE(icon[RowIcon].beep);
    EXPECT_FALSE(icon[RowTitle].checked || icon[RowPopUp].checked || icon[RowTitle].beep || icon[RowPopUp].beep);
    const auto unknown = ChoicesFromRecord(MakeReminder(2, 2027, 1, 1, 0, 0, "", 1));
    for (const auto& row : unknown)
        EXPECT_FALSE(row.checked);
}

class StoreRecordsTest : public ::testing::Test {
protected:
    DialogEnv env;
    void fill(int n) {
        for (int i = 0; i < n; ++i)
            env.store.ActiveTable[i] = MakeReminder(KindTitle, 2027, 6, 1, 12, 0, "filler");
        env.store.ActiveCount = n;
    }
    NewRecords three() {
        return BuildRecords(Ticked(true, true, true), *EncodeDate(2027, 1, 1), EncodeTime(9, 0, 0, 0), "new");
    }
};

TEST_F(StoreRecordsTest, StoresAllWhenThereIsRoomAndEndsAnEdit) {
    env.store.EditInProgress = true;
    env.store.EditorMode = EditorEdit;
    const ApplyOutcome out = StoreRecords(env.store, env.boxes, three());
    EXPECT_EQ(out.stored, 3);
    EXPECT_FALSE(out.tableFull);
    EXPECT_EQ(env.store.ActiveCount, 3);
    EXPECT_FALSE(env.store.EditInProgress);
    EXPECT_TRUE(env.store.TablesChanged);
    EXPECT_TRUE(env.boxes.shown.empty());
}

TEST_F(StoreRecordsTest, SortsTheNewOnesIntoPlace) {
    fill(2); // later than the new ones
    StoreRecords(env.store, env.boxes, three());
    EXPECT_EQ(NoteText(env.store.ActiveTable[0]), "filler");
    EXPECT_EQ(NoteText(env.store.ActiveTable[4]), "new");
}

TEST_F(StoreRecordsTest, StoresOnlyWhatFitsAndSaysSoOnce) {
    fill(MaxReminders - 1);
    const ApplyOutcome out = StoreRecords(env.store, env.boxes, three());
    EXPECT_EQ(out.stored, 1);
    EXPECT_TRUE(out.tableFull);
    EXPECT_FALSE(out.stopped);
    EXPECT_EQ(env.store.ActiveCount, MaxReminders);
    EXPECT_EQ(env.boxes.texts(), std::vector<std::string>{"Count of reminder must be less 901"});
    EXPECT_EQ(env.store.ActiveTable[MaxReminders - 1].Kind, KindTitle); // Title came first
}

TEST_F(StoreRecordsTest, FullTableChangesNothingAndKeepsAPendingEdit) {
    fill(MaxReminders);
    env.store.TablesChanged = false;
    env.store.EditInProgress = true;
    env.store.EditorMode = EditorEdit;
    env.store.EditBuffer = MakeReminder(KindIcon, 2026, 1, 1, 1, 1, "held");
    const ApplyOutcome out = StoreRecords(env.store, env.boxes, three());
    EXPECT_TRUE(out.stopped);
    EXPECT_EQ(out.stored, 0);
    EXPECT_EQ(env.store.ActiveCount, MaxReminders);
    EXPECT_EQ(env.store.ExpiredCount, 1);
    EXPECT_EQ(NoteText(env.store.ExpiredTable[0]), "held");
    EXPECT_FALSE(env.store.EditInProgress);
    EXPECT_EQ(env.store.EditorMode, EditorIdle);
    EXPECT_EQ(env.boxes.texts().size(), 1u);
}

TEST_F(StoreRecordsTest, EmptyChoiceStillSortsAndEndsTheEdit) {
    env.store.EditInProgress = true;
    env.store.EditorMode = EditorEdit;
    env.store.TablesChanged = false;
    const ApplyOutcome out = StoreRecords(env.store, env.boxes, NewRecords{});
    EXPECT_EQ(out.stored, 0);
    EXPECT_FALSE(out.tableFull);
    EXPECT_TRUE(env.store.TablesChanged);
    EXPECT_FALSE(env.store.EditInProgress);
}

TEST_F(StoreRecordsTest, GivingBackEndsTheEditEvenWhenTheExpiredFileFails) {
    fill(MaxReminders);
    env.files.writeError["re.dt"] = 101;
    env.store.EditInProgress = true;
    env.store.EditorMode = EditorEdit;
    env.store.EditBuffer = MakeReminder(KindIcon, 2026, 1, 1, 1, 1, "held");
    EXPECT_THROW(env.store.CancelEdit(), IoError);
    EXPECT_EQ(env.store.ExpiredCount, 1); // in memory; the file follows at the next save
    EXPECT_FALSE(env.store.EditInProgress);
    EXPECT_EQ(env.store.EditorMode, EditorIdle);
}

TEST(HeldValues, DayAndTimeAreReplacedSeparately) {
    const double held = *EncodeDate(2026, 12, 8) + EncodeTime(9, 0, 17, 250);
    const double d = ReplaceDay(held, 2027, 2, 28);
    EXPECT_EQ(DayNumber(d), std::int64_t(*EncodeDate(2027, 2, 28)));
    EXPECT_EQ(MillisecondOfDay(d), MillisecondOfDay(held));
    const double t = ReplaceHourMinute(held, 23, 59);
    EXPECT_EQ(DayNumber(t), DayNumber(held));
    EXPECT_EQ(MillisecondOfDay(t), std::int64_t(((23 * 60 + 59) * 60 + 17) * 1000 + 250));
    EXPECT_EQ(ReplaceDay(held, 2027, 2, 30), held); // no such day: unchanged
}

TEST(HeldValues, ValuesFromDamagedFilesGiveAUsableTime) {
    const double t = ReplaceHourMinute(std::numeric_limits<double>::quiet_NaN(), 8, 15);
    EXPECT_EQ(MillisecondOfDay(t), std::int64_t((8 * 60 + 15) * 60 * 1000));
    const double d = ReplaceDay(-0.25, 2000, 1, 1); // 29 Dec 1899, 06:00
    EXPECT_EQ(DayNumber(d), std::int64_t(*EncodeDate(2000, 1, 1)));
    EXPECT_EQ(MillisecondOfDay(d), std::int64_t(6 * 3600 * 1000));
}

TEST(Note, LineBreaksAndCodePage) {
    platform::Cp1252 cp;
    EXPECT_EQ(NoteToStored("a\nb", cp), "a\r\nb");
    EXPECT_EQ(NoteToStored("caf\xc3\xa9\r\n", cp), "caf\xe9\r\n");
    ReminderRecord r{};
    SetNote(r, "x\r\ny\rz\n\xe9");
    EXPECT_EQ(NoteToEditor(r, cp), "x\ny\nz\n\xc3\xa9");
    EXPECT_EQ(NoteInputLength(u"ab\ncd"), 6);
}

TEST(ListRules, RowCountAndRowToIndex) {
    EXPECT_EQ(GridRowCount(0), 11);
    EXPECT_EQ(GridRowCount(10), 11);
    EXPECT_EQ(GridRowCount(11), 12);
    EXPECT_EQ(GridRowCount(15), 16);
    EXPECT_EQ(GridRowCount(MaxReminders), MaxReminders + 1);
    EXPECT_EQ(RowToIndex(1, 15), 14); // the last slot: next due
    EXPECT_EQ(RowToIndex(15, 15), 0);
    EXPECT_EQ(RowToIndex(16, 15), -1);
    EXPECT_EQ(RowToIndex(0, 15), -1);
    EXPECT_EQ(RowToIndex(1, 0), -1);
}

TEST(ListRules, RowTexts) {
    DialogEnv env;
    SetReminderFormats(env.store.Formats);
    const auto t = RowTexts(MakeReminder(KindIcon, 2026, 12, 7, 9, 30, "two\r\nlines\xe9", 1), env.store.Formats,
                            env.locale, env.codePage);
    EXPECT_EQ(t[0], "07/Dec/26");
    EXPECT_EQ(t[1], "09:30");
    EXPECT_EQ(t[2], "Icon");
    EXPECT_EQ(t[3], "Beep");
    EXPECT_EQ(t[4], "Once");
    EXPECT_EQ(t[5], "two  lines\xc3\xa9");
    EXPECT_EQ(t[6], "");
    EXPECT_EQ(KindText(KindTitle), "Title");
    EXPECT_EQ(KindText(KindPopUp), "PopUp");
    EXPECT_EQ(KindText(0), "");
    EXPECT_EQ(BeepText(0), "Mute");
    EXPECT_EQ(ActiveCaption(3), "Active Reminders:  3");
    EXPECT_EQ(ExpiredCaption(0), "Expired Reminders:  0");
}

TEST(ListRules, OnlyTheDayOfTheDateAndTheTimeOfTheTime) {
    DialogEnv env;
    SetReminderFormats(env.store.Formats);
    ReminderRecord r = MakeReminder(KindPopUp, 2026, 12, 7, 0, 0, "");
    r.RemDate += 0.9;                                               // a time of day in the date is not shown
    r.RemTime = *EncodeDate(2020, 1, 1) + EncodeTime(23, 5, 59, 0); // nor a day in the time
    const auto t = RowTexts(r, env.store.Formats, env.locale, env.codePage);
    EXPECT_EQ(t[0], "07/Dec/26");
    EXPECT_EQ(t[1], "23:05");
}

} // namespace
