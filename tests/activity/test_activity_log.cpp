// The activity sampler: counting, day roots, the climb to the top-level window, the sort, the guard
// against a second sample inside a yield, and clearing.
#include <gtest/gtest.h>

#include "ActivityFixture.h"

using namespace tw;

namespace {

class Sampler : public ::testing::Test, protected test::ActivityServices {
protected:
    AsciiNoCaseCollation collation;
    test::FlagTimer timer;
    ActivityLog log{services, collation, timer};

    // What the one-second tick and the 10 ms timer do together: arm, then take the sample.
    void sample(int times = 1) {
        for (int i = 0; i < times; ++i) {
            timer.enabled = true;
            log.hwn_TimerS();
        }
    }
    platform::WindowId front(const std::string& title) {
        const platform::WindowId w = windows.add(title);
        windows.foreground = w;
        return w;
    }
    const DayRoot& day() const { return log.roots().at(static_cast<std::size_t>(log.CurrentDayNode)); }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const ActivityNode& n : day().children)
            t.push_back(n.text);
        return t;
    }
};

TEST_F(Sampler, FirstSampleAddsDayRootThenEntryAtZero) {
    store.Formats.LongTimeFormat = "h:nn"; // the sample sets its own formats
    const platform::WindowId w = front("Editor");
    sample();
    ASSERT_EQ(log.roots().size(), 1u);
    EXPECT_EQ(day().text, "08/12/26     Start in: 09:00:00");
    EXPECT_EQ(texts(), std::vector<std::string>{"00:00:00    Editor"});
    EXPECT_EQ(day().children[0].entry.Window, w);
    EXPECT_EQ(day().children[0].entry.Title, "Editor");
    EXPECT_EQ(log.SampledWindow, w);
    EXPECT_FALSE(timer.enabled);
    EXPECT_EQ(store.Formats.LongTimeFormat, "hh:nn:ss");
    EXPECT_EQ(store.Formats.ShortDateFormat, "dd/mm/yy");
    EXPECT_EQ(store.Formats.LongDateFormat, "dd/mm/yy");
    EXPECT_EQ(log.LogDay, *EncodeDate(2026, 12, 8));
}

TEST_F(Sampler, TenSamplesOfOneWindowShowNineSeconds) {
    front("Editor");
    for (int i = 0; i < 10; ++i) {
        sample();
        clock.advanceMs(1000);
    }
    EXPECT_EQ(texts(), std::vector<std::string>{"00:00:09    Editor"});
    EXPECT_DOUBLE_EQ(day().children[0].entry.Elapsed * 86400.0, 9.0);
    EXPECT_EQ(log.roots().size(), 1u);
}

TEST_F(Sampler, CountsSamplesNotClockTimeAndTheArmingInterval) {
    front("Editor");
    sample();
    clock.advanceMs(5 * 60 * 1000); // a slow second still counts as one
    sample();
    EXPECT_EQ(texts()[0], "00:00:01    Editor");
    log.setArmIntervalMs(2400); // rounded to whole seconds
    sample();
    EXPECT_EQ(texts()[0], "00:00:03    Editor");
}

TEST_F(Sampler, NewTitleOfTheSameWindowIsANewEntry) {
    const platform::WindowId w = front("Report.txt - Editor");
    sample(3);
    windows.windows[w].title = "Letter.txt - Editor";
    sample(2);
    EXPECT_EQ(texts(),
              (std::vector<std::string>{"00:00:02    Report.txt - Editor", "00:00:01    Letter.txt - Editor"}));
}

TEST_F(Sampler, TitleContainedInAnEarlierEntryCountsThereAndKeepsItsTitle) {
    const platform::WindowId w = front("Report.txt - Editor");
    sample();
    windows.windows[w].title = "Editor";
    sample(2);
    ASSERT_EQ(day().children.size(), 1u);
    EXPECT_EQ(texts()[0], "00:00:02    Report.txt - Editor");
    EXPECT_EQ(day().children[0].entry.Title, "Report.txt - Editor");
    // Digits and colons of the time part match too.
    windows.windows[w].title = "00:02";
    sample();
    ASSERT_EQ(day().children.size(), 1u);
    EXPECT_EQ(texts()[0], "00:00:03    Report.txt - Editor");
}

TEST_F(Sampler, SubstringMatchIsCaseSensitiveAndPerWindow) {
    const platform::WindowId w = front("Report - Editor");
    sample();
    windows.windows[w].title = "editor";
    sample();
    EXPECT_EQ(day().children.size(), 2u);
    front("Editor"); // another window, whose title is part of the first one's
    sample();
    EXPECT_EQ(day().children.size(), 3u);
}

TEST_F(Sampler, TwoWindowsWithOneTitleAreTwoEntries) {
    const platform::WindowId a = front("Terminal");
    sample(3);
    const platform::WindowId b = front("Terminal");
    sample(2);
    ASSERT_EQ(texts(), (std::vector<std::string>{"00:00:02    Terminal", "00:00:01    Terminal"}));
    EXPECT_EQ(day().children[0].entry.Window, a);
    EXPECT_EQ(day().children[1].entry.Window, b);
}

TEST_F(Sampler, NoTitleOrNoWindowCountsNothing) {
    front("");
    sample();
    ASSERT_EQ(log.roots().size(), 1u);
    EXPECT_TRUE(day().children.empty());
    windows.foreground = 0;
    sample();
    EXPECT_TRUE(day().children.empty());
    EXPECT_EQ(log.SampledWindow, 0u);
    windows.foreground = 999; // closed meanwhile
    sample();
    EXPECT_TRUE(day().children.empty());
}

TEST_F(Sampler, WithoutAccessToOtherWindowsOnlyTheDayRootIsAdded) {
    front("Editor");
    platform::NoForeignWindows none;
    Services blindServices{store, clock, locale, codePage, boxes, beeper, pump, help, none};
    ActivityLog blind{blindServices, collation, timer};
    for (int i = 0; i < 2; ++i) {
        timer.enabled = true;
        blind.hwn_TimerS();
    }
    ASSERT_EQ(blind.roots().size(), 1u);
    EXPECT_TRUE(blind.roots().at(static_cast<std::size_t>(blind.CurrentDayNode)).children.empty());
}

TEST_F(Sampler, DialogAndChildWindowCountForTheirTopLevelWindow) {
    const platform::WindowId main = windows.add("Spreadsheet");
    const platform::WindowId dialog = windows.add("Save As", main);
    const platform::WindowId child = windows.add("", 0, dialog);
    windows.foreground = dialog;
    sample();
    windows.foreground = child;
    sample();
    ASSERT_EQ(texts(), std::vector<std::string>{"00:00:01    Spreadsheet"});
    EXPECT_EQ(log.SampledWindow, main);
}

TEST_F(Sampler, OwnerCycleEndsTheClimb) {
    const platform::WindowId a = windows.add("A");
    const platform::WindowId b = windows.add("B", a);
    windows.windows[a].owner = b;
    windows.foreground = a;
    sample();
    EXPECT_EQ(day().children.size(), 1u);
}

TEST_F(Sampler, LongTitleIsCutTo254AndCountedIntoItsOwnEntry) {
    front(std::string(300, 'x'));
    sample(3);
    ASSERT_EQ(day().children.size(), 1u);
    EXPECT_EQ(day().children[0].entry.Title, std::string(254, 'x'));
    EXPECT_EQ(day().children[0].text, "00:00:02    " + std::string(254, 'x'));
}

TEST_F(Sampler, MidnightStartsANewDayRoot) {
    clock.set(2026, 12, 8, 23, 59, 59);
    front("Editor");
    sample(3);
    clock.set(2026, 12, 9, 0, 0, 0);
    sample(2);
    ASSERT_EQ(log.roots().size(), 2u);
    EXPECT_EQ(log.CurrentDayNode, 1);
    EXPECT_EQ(log.roots()[0].children[0].text, "00:00:02    Editor");
    EXPECT_EQ(log.roots()[1].text, "09/12/26     Start in: 00:00:00");
    EXPECT_EQ(texts(), std::vector<std::string>{"00:00:01    Editor"});
}

TEST_F(Sampler, NothingIsCountedWhileAReminderIsShown) {
    front("Editor");
    sample();
    store.MonitorState = MonitorShowing;
    for (int i = 0; i < 5; ++i)
        sample();
    EXPECT_TRUE(timer.enabled); // retried by the 10 ms timer
    EXPECT_EQ(texts()[0], "00:00:00    Editor");
    store.MonitorState = MonitorDone;
    log.hwn_TimerS(); // the waiting sample runs once the display has ended
    EXPECT_FALSE(timer.enabled);
    EXPECT_EQ(texts()[0], "00:00:01    Editor");
}

TEST_F(Sampler, SiblingsStandLongestFirstThenByTitleDescendingIgnoringCase) {
    front("beta");
    sample();
    front("Alpha");
    sample();
    const platform::WindowId gamma = front("gamma");
    sample();
    front("Delta");
    // The sort comes before the count: a new entry is placed by the next sample's sort.
    sample(2);
    EXPECT_EQ(texts(), (std::vector<std::string>{"00:00:00    gamma", "00:00:01    Delta", "00:00:00    beta",
                                                 "00:00:00    Alpha"}));
    windows.foreground = gamma;
    sample();
    EXPECT_EQ(texts(), (std::vector<std::string>{"00:00:01    Delta", "00:00:01    gamma", "00:00:00    beta",
                                                 "00:00:00    Alpha"}));
    sample();
    EXPECT_EQ(texts()[0], "00:00:02    gamma");
}

TEST_F(Sampler, YieldsAfterTheRootAtEachClimbStepAndTwicePerVisitedNode) {
    const platform::WindowId main = windows.add("Main");
    windows.foreground = windows.add("Dialog", main);
    sample();
    // root added 1, climb 2, search over the root alone 2
    EXPECT_EQ(pump.processed, 5);
    pump.processed = 0;
    sample();
    // climb 2, search over root and one entry 4, update 1
    EXPECT_EQ(pump.processed, 7);
}

TEST_F(Sampler, NoSecondSampleStartsInsideAYield) {
    front("Editor");
    sample();
    int nested = 0;
    pump.onProcess = [&] {
        // The shell's one-second tick and the 10 ms timer fire while the sample yields.
        ++nested;
        timer.enabled = true;
        log.hwn_TimerS();
        EXPECT_TRUE(log.sampling());
    };
    sample();
    pump.onProcess = nullptr;
    EXPECT_GT(nested, 0);
    EXPECT_EQ(texts(), std::vector<std::string>{"00:00:01    Editor"});
    EXPECT_FALSE(log.sampling());
    // The arming that came in meanwhile is kept and runs after the sample.
    EXPECT_TRUE(timer.enabled);
    log.hwn_TimerS();
    EXPECT_EQ(texts()[0], "00:00:02    Editor");
}

TEST_F(Sampler, ClearAllInsideAYieldEndsTheSampleSafely) {
    log.ActivityLogEnabled = true;
    front("Editor");
    sample(3);
    for (int i = 0; i < 8; ++i)
        front("Other " + std::to_string(i)), sample();
    bool cleared = false;
    pump.processed = 0;
    pump.onProcess = [&] {
        if (!cleared && pump.processed == 6) {
            cleared = true;
            log.Clear_All_Records();
        }
    };
    front("Editor");
    sample();
    pump.onProcess = nullptr;
    ASSERT_TRUE(cleared);
    ASSERT_EQ(log.roots().size(), 1u);
    EXPECT_TRUE(day().children.empty());
    sample();
    EXPECT_EQ(texts(), std::vector<std::string>{"00:00:00    Editor"});
}

TEST_F(Sampler, ClearAllWithLoggingOffLeavesAnEmptyTree) {
    front("Editor");
    sample(2);
    clock.set(2026, 12, 10, 14, 30, 5);
    log.Clear_All_Records();
    EXPECT_TRUE(log.roots().empty());
    EXPECT_EQ(log.CurrentDayNode, -1);
    EXPECT_EQ(log.LogDay, *EncodeDate(2026, 12, 10));
    sample(); // the empty tree gets its root from the next sample
    ASSERT_EQ(log.roots().size(), 1u);
    EXPECT_EQ(day().text, "10/12/26     Start in: 14:30:05");
    EXPECT_EQ(texts(), std::vector<std::string>{"00:00:00    Editor"});
}

TEST_F(Sampler, ClearAllWithLoggingOnLeavesOneRootInTheFormatsAsTheyStand) {
    log.ActivityLogEnabled = true;
    front("Editor");
    sample(2);
    clock.set(2026, 12, 8, 17, 45, 12);
    store.Formats.ShortDateFormat = "yyyy-mm-dd"; // set meanwhile by another window
    store.Formats.LongTimeFormat = "hh:nn";
    log.Clear_All_Records();
    ASSERT_EQ(log.roots().size(), 1u);
    EXPECT_EQ(log.CurrentDayNode, 0);
    EXPECT_EQ(day().text, "2026-12-08     Start in: 17:45");
    EXPECT_TRUE(day().children.empty());
    sample(); // same day: counts into the root made by the clear
    EXPECT_EQ(log.roots().size(), 1u);
    EXPECT_EQ(texts(), std::vector<std::string>{"00:00:00    Editor"});
}

TEST_F(Sampler, EntriesReadBackAreNeverCountedInto) {
    DayRoot root;
    root.dateText = "08/12/26";
    root.timeText = "08:00:00";
    root.text = "08/12/26     Start in: 08:00:00";
    ActivityNode node;
    node.entry.Window = 777;
    node.entry.Title = "Editor";
    node.entry.Elapsed = 60.0 / 86400.0;
    node.text = "00:01:00    Editor";
    root.children.push_back(node);
    std::vector<DayRoot> roots{root};
    log.appendRoots(roots);
    EXPECT_EQ(log.roots()[0].children[0].entry.Window, 0u);
    windows.windows[777] = {"Editor"};
    windows.foreground = 777;
    sample();
    ASSERT_EQ(log.roots().size(), 2u);
    EXPECT_EQ(log.roots()[0].children[0].text, "00:01:00    Editor");
    EXPECT_EQ(texts(), std::vector<std::string>{"00:00:00    Editor"});
}

TEST(AsciiNoCase, OrdersIgnoringCaseThenByLength) {
    const AsciiNoCaseCollation c;
    EXPECT_EQ(c.compare("abc", "ABC"), 0);
    EXPECT_LT(c.compare("abc", "abd"), 0);
    EXPECT_GT(c.compare("B", "a"), 0);
    EXPECT_LT(c.compare("ab", "abc"), 0);
}

} // namespace
