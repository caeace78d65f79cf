// The table operations: the sort and its tie order, the comparisons, RecordsEqual, taking and
// putting reminders, the list's delete and the editor's give-back.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "StoreTestSupport.h"
#include "store/IoError.h"

using namespace tw;
using namespace tw::testing;

namespace {

constexpr double Ms = 1.0 / 86'400'000.0;

struct Tables : ::testing::Test {
    fake::FakeFileSystem fs;
    Store s{fs};

    std::vector<std::string> activeNotes() {
        std::vector<std::string> out;
        for (int i = 0; i < s.ActiveCount; ++i)
            out.push_back(NoteText(s.ActiveTable[i]));
        return out;
    }
    void fillActive(int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(s.AppendActive(PopUp(46000 + i, At(12, 0))), 0);
    }
};

using Strings = std::vector<std::string>;

} // namespace

TEST(Comparisons, CompareDayLooksAtTheWholeDaysOnly) {
    EXPECT_EQ(CompareDay(46363.0, 46363.9), 0);
    EXPECT_EQ(CompareDay(46363.9, 46363.0), 0);
    EXPECT_EQ(CompareDay(46364.0, 46363.9), 1);
    EXPECT_EQ(CompareDay(46362.99, 46363.0), -1);
    // Truncation toward zero: -0.5 and 0.5 are both day 0.
    EXPECT_EQ(CompareDay(-0.5, 0.5), 0);
    EXPECT_EQ(CompareDay(-1.5, -0.5), -1);
}

TEST(Comparisons, CompareTimeOfDayIgnoresWholeDaysAndSubMillisecondDifferences) {
    EXPECT_EQ(CompareTimeOfDay(0.5, 3.5), 0);
    EXPECT_EQ(CompareTimeOfDay(0.5, 0.5 + 0.9 * Ms), 0);
    EXPECT_EQ(CompareTimeOfDay(0.5 + 0.9 * Ms, 0.5), 0);
    EXPECT_EQ(CompareTimeOfDay(0.5 + 1.5 * Ms, 0.5), 1);
    EXPECT_EQ(CompareTimeOfDay(0.25, 46363.75), -1);
}

TEST(Comparisons, DamagedValuesCompareWithoutFaultingAndSymmetrically) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {nan, inf, -inf, 1e300, -1e300}) {
        for (double good : {0.0, 46363.5, -3.25}) {
            EXPECT_EQ(CompareDay(bad, good), -CompareDay(good, bad)) << bad << " " << good;
            EXPECT_EQ(CompareTimeOfDay(bad, good), -CompareTimeOfDay(good, bad)) << bad << " " << good;
        }
    }
    EXPECT_EQ(CompareDay(nan, 46363.0), 0);
    EXPECT_EQ(CompareDay(inf, 46363.0), 1);
}

TEST(Comparisons, RecordsEqualIgnoresWhatIsNotSignificant) {
    const ReminderRecord a = Make(KindPopUp, true, 46363.0, At(9, 30), "note");
    ReminderRecord b = a;
    b.Flag = 7;
    b.Spare = 9;
    b.Pad1[0] = 1;
    b.Pad2[6] = 1;
    b.Note[10] = 'z'; // past the length
    b.RemDate = 46363.9;
    b.RemTime = At(9, 30) + 2.0 + 0.5 * Ms;
    b.Beep = 2;
    EXPECT_TRUE(RecordsEqual(a, b));

    ReminderRecord c = a;
    c.Kind = KindIcon;
    EXPECT_FALSE(RecordsEqual(a, c));
    c = a;
    c.Beep = 0;
    EXPECT_FALSE(RecordsEqual(a, c));
    c = a;
    c.RemDate = 46364.0;
    EXPECT_FALSE(RecordsEqual(a, c));
    c = a;
    c.RemTime = At(9, 31);
    EXPECT_FALSE(RecordsEqual(a, c));
    c = a;
    SetNote(c, "notE");
    EXPECT_FALSE(RecordsEqual(a, c));
    c = a;
    SetNote(c, "not");
    EXPECT_FALSE(RecordsEqual(a, c));
}

TEST_F(Tables, SortPutsTheLatestFirstAndTheEarliestLast) {
    ASSERT_EQ(s.AppendActive(PopUp(46363, At(9, 0), "b")), 0);
    ASSERT_EQ(s.AppendActive(PopUp(46364, At(8, 0), "d")), 0);
    ASSERT_EQ(s.AppendActive(PopUp(46362.7, At(23, 0), "a")), 0);
    ASSERT_EQ(s.AppendActive(PopUp(46363.2, At(9, 0) + 1.0 + 2 * Ms, "c")), 0);
    s.SortActive();
    EXPECT_EQ(activeNotes(), (Strings{"d", "c", "b", "a"}));
}

TEST_F(Tables, TiesStayInAppendOrderOnAnEmptyTable) {
    const double d = 46363, t = At(10, 0);
    s.AppendActive(Make(KindTitle, false, d, t, "title"));
    s.AppendActive(Make(KindPopUp, false, d, t, "pop-up"));
    s.AppendActive(Make(KindIcon, false, d, t, "icon"));
    s.SortActive();
    EXPECT_EQ(activeNotes(), (Strings{"title", "pop-up", "icon"}));
}

TEST_F(Tables, TiesBehindAnEarlierRecordEndInTheBindingPassOrder) {
    const double d = 46363, t = At(10, 0);
    s.AppendActive(PopUp(d, At(9, 0), "E"));
    s.AppendActive(Make(KindTitle, false, d, t, "title"));
    s.AppendActive(Make(KindPopUp, false, d, t, "pop-up"));
    s.AppendActive(Make(KindIcon, false, d, t + 0.5 * Ms, "icon")); // within a millisecond: a tie
    s.SortActive();
    EXPECT_EQ(activeNotes(), (Strings{"icon", "title", "pop-up", "E"}));
}

TEST_F(Tables, SortOfOneOrNoRecordStillMarksTheTablesChanged) {
    s.SortActive();
    EXPECT_TRUE(s.TablesChanged);
    s.AppendActive(PopUp(46363, At(9, 0), "x"));
    s.TablesChanged = false;
    s.SortActive();
    EXPECT_TRUE(s.TablesChanged);
    EXPECT_EQ(activeNotes(), (Strings{"x"}));
}

TEST_F(Tables, SortWithDamagedDatesTerminatesAndKeepsEveryRecord) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double vals[] = {nan, 46363, std::numeric_limits<double>::infinity(), -1e300, 46000, nan, 1e300};
    for (std::size_t i = 0; i < std::size(vals); ++i)
        s.AppendActive(PopUp(vals[i], i % 2 ? nan : At(9, 0), std::to_string(i)));
    s.SortActive();
    auto notes = activeNotes();
    std::sort(notes.begin(), notes.end());
    EXPECT_EQ(notes, (Strings{"0", "1", "2", "3", "4", "5", "6"}));
}

TEST_F(Tables, PeekAndPopTakeTheLastSlot) {
    s.AppendActive(PopUp(46364, At(9, 0), "later"));
    s.AppendActive(PopUp(46363, At(9, 0), "earliest"));
    ReminderRecord r = PopUp(1, 1, "junk");
    s.PeekEarliest(r);
    EXPECT_EQ(NoteText(r), "earliest");
    EXPECT_EQ(s.ActiveCount, 2);
    s.TablesChanged = false;
    s.PopEarliest(r);
    EXPECT_EQ(NoteText(r), "earliest");
    EXPECT_EQ(s.ActiveCount, 1);
    EXPECT_TRUE(s.TablesChanged);
}

TEST_F(Tables, PopOnAnEmptyTableClearsTheDestinationAndChangesNothingElse) {
    ReminderRecord r = PopUp(46363, At(9, 0), "junk");
    r.Flag = 1;
    s.TablesChanged = false;
    s.PopEarliest(r);
    EXPECT_FALSE(RecordNotEmpty(r));
    EXPECT_EQ(s.ActiveCount, 0);
    EXPECT_FALSE(s.TablesChanged);
    r.RemDate = 5;
    s.PeekEarliest(r);
    EXPECT_EQ(r.RemDate, 0.0);
}

TEST_F(Tables, PopIntoTheSlotItReadsFromIsSafe) {
    s.AppendActive(PopUp(46363, At(9, 0), "self"));
    s.PopEarliest(s.ActiveTable[0]);
    EXPECT_EQ(NoteText(s.ActiveTable[0]), "self");
    EXPECT_EQ(s.ActiveCount, 0);
}

TEST_F(Tables, InsertSortsIntoPlace) {
    s.AppendActive(PopUp(46365, At(9, 0), "b"));
    s.AppendActive(PopUp(46363, At(9, 0), "a"));
    EXPECT_EQ(s.InsertActive(PopUp(46366, At(0, 0), "latest")), 0);
    EXPECT_EQ(s.InsertActive(PopUp(46362, At(23, 59), "earliest")), 0);
    EXPECT_EQ(s.InsertActive(PopUp(46364, At(12, 0), "middle")), 0);
    EXPECT_EQ(activeNotes(), (Strings{"latest", "b", "middle", "a", "earliest"}));
    EXPECT_TRUE(fs.files.empty()); // inserting writes no file
}

TEST_F(Tables, InsertIntoAFullTableIsRefusedAndChangesNothing) {
    fillActive(MaxReminders);
    const ReminderRecord last = s.ActiveTable[900];
    EXPECT_EQ(s.InsertActive(PopUp(1, At(1, 0), "extra")), 1);
    EXPECT_EQ(s.ActiveCount, MaxReminders);
    EXPECT_EQ(0, std::memcmp(&last, &s.ActiveTable[900], RecordSize));
    EXPECT_EQ(s.AppendActive(PopUp(1, At(1, 0), "extra")), 1);
}

TEST_F(Tables, InsertOfARecordFromItsOwnTableCopiesItFirst) {
    s.AppendActive(PopUp(46363, At(9, 0), "a"));
    s.AppendActive(PopUp(46362, At(9, 0), "b"));
    EXPECT_EQ(s.InsertActive(s.ActiveTable[1]), 0);
    EXPECT_EQ(activeNotes(), (Strings{"a", "b", "b"}));
}

TEST_F(Tables, AppendExpiredSavesAndRefusesDuplicatesAndAFullTable) {
    const ReminderRecord r = Make(KindPopUp, true, 46363, At(9, 30), "n");
    EXPECT_EQ(s.AppendExpired(r), 0);
    EXPECT_EQ(s.ExpiredCount, 1);
    EXPECT_TRUE(s.TablesChanged);
    EXPECT_EQ(Records(fs.files.at("re.dt")).size(), 1u);

    ReminderRecord flagged = r;
    flagged.Flag = 1;
    EXPECT_EQ(s.AppendExpired(flagged), 1);
    ReminderRecord beep2 = r;
    beep2.Beep = 2;
    EXPECT_EQ(s.AppendExpired(beep2), 1);
    ReminderRecord otherKind = r;
    otherKind.Kind = KindIcon;
    EXPECT_EQ(s.AppendExpired(otherKind), 0);
    EXPECT_EQ(s.ExpiredCount, 2);
    EXPECT_EQ(fs.writeCount("re.dt"), 2);
    EXPECT_EQ(Records(fs.files.at("re.dt")).size(), 2u);

    for (int i = s.ExpiredCount; i < MaxReminders; ++i)
        s.ExpiredTable[i] = PopUp(40000 + i, At(1, 0));
    s.ExpiredCount = MaxReminders;
    EXPECT_EQ(s.AppendExpired(PopUp(1, At(2, 0), "no room")), 1);
    EXPECT_EQ(s.ExpiredCount, MaxReminders);
}

TEST_F(Tables, AppendExpiredKeepsTheRecordWhenItsSaveFails) {
    fs.writeError["re.dt"] = IoCode::AccessDenied;
    EXPECT_THROW(s.AppendExpired(PopUp(46363, At(9, 0), "kept")), IoError);
    ASSERT_EQ(s.ExpiredCount, 1);
    EXPECT_EQ(NoteText(s.ExpiredTable[0]), "kept");
}

TEST_F(Tables, DelRemClosesTheGapKeepingTheOrder) {
    for (const char* n : {"a", "b", "c", "d"})
        s.AppendActive(PopUp(46363, At(9, 0), n));
    s.TablesChanged = false;
    s.Del_Rem(TableId::Active, 1);
    EXPECT_EQ(activeNotes(), (Strings{"a", "c", "d"}));
    EXPECT_TRUE(s.TablesChanged);
    s.Del_Rem(TableId::Active, 2);
    EXPECT_EQ(activeNotes(), (Strings{"a", "c"}));
    s.Del_Rem(TableId::Active, 0);
    s.Del_Rem(TableId::Active, 0);
    EXPECT_EQ(s.ActiveCount, 0);
    EXPECT_FALSE(RecordNotEmpty(s.ActiveTable[0]));
    EXPECT_TRUE(fs.files.empty()); // deleting writes no file

    s.ExpiredTable[0] = PopUp(1, At(1, 0), "x");
    s.ExpiredTable[1] = PopUp(2, At(1, 0), "y");
    s.ExpiredCount = 2;
    s.Del_Rem(TableId::Expired, 0);
    ASSERT_EQ(s.ExpiredCount, 1);
    EXPECT_EQ(NoteText(s.ExpiredTable[0]), "y");
}

TEST_F(Tables, AnEditTakesTheReminderOutAndCancelPutsItBackSorted) {
    s.AppendActive(PopUp(46365, At(9, 0), "late"));
    s.AppendActive(PopUp(46364, At(9, 0), "edited"));
    s.AppendActive(PopUp(46363, At(9, 0), "early"));
    s.BeginEdit(TableId::Active, 1);
    EXPECT_EQ(activeNotes(), (Strings{"late", "early"}));
    EXPECT_TRUE(s.EditPending());
    EXPECT_EQ(NoteText(s.EditBuffer), "edited");
    s.CancelEdit();
    EXPECT_EQ(activeNotes(), (Strings{"late", "edited", "early"}));
    EXPECT_FALSE(s.EditInProgress);
    EXPECT_EQ(s.EditorMode, EditorIdle);
    // Cancel of a new reminder gives nothing back.
    s.BeginNew();
    s.CancelEdit();
    EXPECT_EQ(s.ActiveCount, 3);
    EXPECT_EQ(s.EditorMode, EditorIdle);
}

TEST_F(Tables, CancelEditIntoAFullTableKeepsItAmongTheExpired) {
    fillActive(MaxReminders);
    s.EditInProgress = true;
    s.EditorMode = EditorEdit;
    s.EditBuffer = PopUp(46363, At(9, 0), "edited");
    s.CancelEdit();
    EXPECT_EQ(s.ActiveCount, MaxReminders);
    ASSERT_EQ(s.ExpiredCount, 1);
    EXPECT_EQ(NoteText(s.ExpiredTable[0]), "edited");
    EXPECT_FALSE(s.EditInProgress);
}

TEST_F(Tables, CancelEditEndsTheEditEvenWhenTheExpiredSaveFails) {
    fillActive(MaxReminders);
    fs.writeError["re.dt"] = IoCode::DiskFull;
    s.EditInProgress = true;
    s.EditorMode = EditorEdit;
    s.EditBuffer = PopUp(46363, At(9, 0), "edited");
    EXPECT_THROW(s.CancelEdit(), IoError);
    EXPECT_FALSE(s.EditInProgress); // else the monitor would stay idle for good
    EXPECT_EQ(s.EditorMode, EditorIdle);
    EXPECT_EQ(s.ExpiredCount, 1);
}

#if GTEST_HAS_DEATH_TEST
TEST(TableChecksDeathTest, OutOfRangeIndexesAndCountsAbort) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    fake::FakeFileSystem fs;
    EXPECT_DEATH(
        {
            Store s(fs);
            (void)s.ActiveTable[MaxReminders];
        },
        "table index");
    EXPECT_DEATH(
        {
            Store s(fs);
            (void)s.ExpiredTable[-1];
        },
        "table index");
    EXPECT_DEATH(
        {
            Store s(fs);
            s.ActiveCount = MaxReminders + 1;
            s.SortActive();
        },
        "table count");
    EXPECT_DEATH(
        {
            Store s(fs);
            s.AppendActive(PopUp(1, 0.5));
            s.Del_Rem(TableId::Active, 1);
        },
        "delete index");
}
#endif
