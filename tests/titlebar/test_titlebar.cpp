// The title-bar display on fake windows: the exact titles written, the pauses, the hand-back to the
// monitor, and what happens when the window's program, the user or the shell acts meanwhile.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/TitleBar.h"
#include "platform/Cp1252.h"
#include "store/DateFormat.h"
#include "tests/fakes/CountingBeeper.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeWindows.h"
#include "tests/fakes/RecordingHelp.h"
#include "tests/fakes/RecordingMessageBoxes.h"
#include "tests/fakes/RecordingPump.h"

namespace {

using tw::platform::WindowId;

// Fake windows whose ANSI reads are lossy for bytes >= 0x80 (as for characters outside the code
// page), while the snapshot keeps the exact title.
class LossyWindows : public tw::fake::FakeWindows {
public:
    int getTitle(WindowId w, char* buffer, int size) override {
        const int n = FakeWindows::getTitle(w, buffer, size);
        for (int i = 0; i < n; ++i)
            if (static_cast<unsigned char>(buffer[i]) >= 0x80)
                buffer[i] = '?';
        return n;
    }
};

struct Rig {
    explicit Rig(bool withWindows = true)
        : services{store,    clock, locale,
                   codePage, boxes, beeper,
                   pump,     help,  tw::fake::WindowsOrNone(windows, withWindows)} {
        pump.onProcess = [this] {
            if (onProcess)
                onProcess();
        };
    }

    tw::fake::FakeFileSystem files;
    tw::Store store{files};
    tw::fake::FakeClock clock;
    tw::EnglishLocale locale;
    tw::platform::Cp1252 codePage;
    tw::fake::RecordingMessageBoxes boxes;
    tw::fake::CountingBeeper beeper;
    tw::fake::RecordingPump pump{&clock};
    tw::fake::RecordingHelp help;
    LossyWindows windows;
    std::function<void()> onProcess;
    tw::Services services;
    tw::HandBack handBack{store};
    tw::TitleBar bar{services, handBack};

    WindowId front(const std::string& title) {
        const WindowId w = windows.add(title);
        windows.foreground = w;
        return w;
    }
    tw::ReminderRecord& reminder(const std::string& note, bool beep = true) {
        tw::ReminderRecord& r = store.CurrentReminder;
        tw::ClearRecord(r);
        r.Kind = tw::KindTitle;
        r.Beep = beep ? 1 : 0;
        r.RemDate = 46000.0;
        r.RemTime = 0.5;
        tw::SetNote(r, note);
        return r;
    }
    const std::vector<std::string>& written(WindowId w) { return windows.written[w]; }
    int sleepsOf(int ms) const {
        int n = 0;
        for (int s : pump.sleeps)
            n += s == ms;
        return n;
    }
};

std::string padded(const std::string& s) {
    return s + std::string(255 - s.size(), ' ');
}

std::string upTo(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
}

TEST(TitleBarDisplay, ShortTitleAndNoteWriteTheExactSequence) {
    Rig rig;
    const WindowId w = rig.front("Editor");
    tw::ReminderRecord& r = rig.reminder("Call Bob");
    rig.store.MonitorState = tw::MonitorIdle;

    rig.bar.ShowInTitleBar(r);

    const auto& t = rig.written(w);
    // Scroll-in: positions 254 down to L + 2 = 8, then 4 x (11 B + 11 O), B, and the restore.
    ASSERT_EQ(t.size(), 247u + 88u + 1u + 1u);
    EXPECT_EQ(t[0], padded("Editor"));
    // D = " Call Bob" (9 characters) first fits at position 244 (244 + 9 = 253), the 11th step.
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(t[i], padded("Editor")) << i;
    EXPECT_EQ(t[10], upTo("Editor", 244) + " Call Bob");
    EXPECT_EQ(t[11], upTo("Editor", 243) + " Call Bob");
    EXPECT_EQ(t[246], "Editor   Call Bob");
    for (int round = 0; round < 4; ++round) {
        const std::size_t base = 247 + round * 22;
        for (int i = 0; i < 11; ++i) {
            EXPECT_EQ(t[base + i], "Editor Call Bob");
            EXPECT_EQ(t[base + 11 + i], "Editor");
        }
    }
    EXPECT_EQ(t[335], "Editor Call Bob");
    EXPECT_EQ(t[336], "Editor");
    EXPECT_EQ(rig.windows.windows[w].title, "Editor");

    EXPECT_EQ(rig.beeper.beeps, 1);
    EXPECT_EQ(rig.store.MonitorState, tw::MonitorDone);
    EXPECT_EQ(r.RemDate, 0.0);
    EXPECT_EQ(r.RemTime, 0.5);
    EXPECT_FALSE(rig.bar.TitleModified);
    EXPECT_EQ(rig.bar.TitleWindow, w);
    EXPECT_EQ(rig.bar.TitleRestoreWindow, w);
    EXPECT_STREQ(rig.bar.SavedTitle, "Editor");
}

TEST(TitleBarDisplay, PausesAddUpToAboutSixteenSecondsForThirtyCharacters) {
    Rig rig;
    const std::string title(30, 'x');
    rig.front(title);
    tw::ReminderRecord& r = rig.reminder("Meeting", false);
    rig.bar.ShowInTitleBar(r);

    EXPECT_EQ(rig.sleepsOf(40), 223);
    EXPECT_EQ(rig.sleepsOf(81), 44);
    EXPECT_EQ(rig.sleepsOf(50), 44);
    EXPECT_EQ(rig.sleepsOf(10), 101);
    EXPECT_EQ(rig.pump.sleptMs, 223 * 40 + 5764 + 1010);
    EXPECT_EQ(rig.beeper.beeps, 0);
}

TEST(TitleBarDisplay, EveryPauseFollowsAYield) {
    Rig rig;
    rig.front("Shell");
    tw::ReminderRecord& r = rig.reminder("x");
    // For each yield, the number of pauses made before it: pause i must have a yield recorded with i.
    std::vector<bool> yieldedBefore(700, false);
    rig.onProcess = [&] { yieldedBefore.at(rig.pump.sleeps.size()) = true; };
    rig.bar.ShowInTitleBar(r);
    ASSERT_EQ(rig.pump.sleeps.size(), 248u + 88u + 101u); // positions 254 down to 7
    for (std::size_t i = 0; i < rig.pump.sleeps.size(); ++i)
        EXPECT_TRUE(yieldedBefore[i]) << i;
}

TEST(TitleBarDisplay, LineBreaksInTheNoteBecomeBlanks) {
    Rig rig;
    const WindowId w = rig.front("Mail");
    tw::ReminderRecord& r = rig.reminder("Line1\r\nLine2\nEnd\r");
    rig.bar.ShowInTitleBar(r);
    const auto& t = rig.written(w);
    EXPECT_EQ(t[t.size() - 2], "Mail Line1  Line2 End ");
    EXPECT_EQ(t[t.size() - 3 - 22 * 4], "Mail   Line1  Line2 End "); // the last scroll step
    for (const std::string& s : t)
        EXPECT_EQ(s.find_first_of("\r\n"), std::string::npos);
}

TEST(TitleBarDisplay, EmptyNoteRunsTheWholeDisplayWithBlanks) {
    Rig rig;
    const WindowId w = rig.front("Calc");
    tw::ReminderRecord& r = rig.reminder("");
    rig.bar.ShowInTitleBar(r);
    const auto& t = rig.written(w);
    ASSERT_EQ(t.size(), 249u + 88u + 2u);
    for (std::size_t i = 0; i + 1 < t.size(); ++i) {
        ASSERT_EQ(t[i].compare(0, 4, "Calc"), 0) << i;
        EXPECT_EQ(t[i].find_first_not_of(' ', 4), std::string::npos) << i;
    }
    EXPECT_EQ(t[248], "Calc   ");
    EXPECT_EQ(t[249], "Calc ");
    EXPECT_EQ(t.back(), "Calc");
    EXPECT_EQ(rig.store.MonitorState, tw::MonitorDone);
    EXPECT_EQ(r.RemDate, 0.0);
}

TEST(TitleBarDisplay, TitlesOf253CharactersOrMoreGetNoScrollIn) {
    for (std::size_t len : {253u, 254u, 255u, 300u}) {
        Rig rig;
        const std::string title(len, 'a');
        const WindowId w = rig.front(title);
        tw::ReminderRecord& r = rig.reminder("note");
        rig.bar.ShowInTitleBar(r);
        const std::string shown = title.substr(0, 255);
        const std::string B = (shown + " note").substr(0, 255);
        const auto& t = rig.written(w);
        ASSERT_EQ(t.size(), 90u) << len;
        EXPECT_EQ(t[0], B) << len;
        EXPECT_EQ(t[11], shown) << len;
        EXPECT_EQ(rig.sleepsOf(40), 0) << len;
        EXPECT_EQ(rig.windows.windows[w].title, title) << len; // the exact title, even past 255
        EXPECT_EQ(rig.store.MonitorState, tw::MonitorDone);
    }
}

TEST(TitleBarDisplay, LongTitleAndNoteNeverShowTheNoteDuringTheScrollIn) {
    Rig rig;
    const std::string title(200, 'T');
    const WindowId w = rig.front(title);
    tw::ReminderRecord& r = rig.reminder(std::string(100, 'n'));
    rig.bar.ShowInTitleBar(r);
    const auto& t = rig.written(w);
    ASSERT_EQ(t.size(), 53u + 90u); // positions 254 down to 202
    for (int i = 0; i < 53; ++i)
        EXPECT_EQ(t[i], padded(title)) << i;
    EXPECT_EQ(t[53], (title + " " + std::string(100, 'n')).substr(0, 255));
}

TEST(TitleBarDisplay, AtMost253NoteCharactersAreTaken) {
    Rig rig;
    const WindowId w = rig.front("A");
    std::string note(255, 'k');
    note[252] = 'L'; // the 253rd character, the last one taken
    note[253] = 'X';
    tw::ReminderRecord& r = rig.reminder(note);
    rig.bar.ShowInTitleBar(r);
    const auto& t = rig.written(w);
    const std::string B = t[t.size() - 2];
    EXPECT_EQ(B.size(), 255u);
    EXPECT_EQ(B.back(), 'L');
    // The note text of 254 characters never fits before position 253: no scroll step shows it.
    ASSERT_EQ(t.size(), 252u + 90u);
    for (int i = 0; i < 252; ++i)
        EXPECT_EQ(t[i], padded("A")) << i;
}

TEST(TitleBarDisplay, TitleChangedByItsProgramIsContinuedAndRestored) {
    Rig rig;
    const WindowId w = rig.front("Old title");
    tw::ReminderRecord& r = rig.reminder("Go");
    const std::string renamed = "Document 2 - Writer";
    rig.onProcess = [&] {
        if (rig.pump.sleeps.size() == 20 && rig.windows.windows[w].title != renamed && rig.written(w).size() == 20)
            rig.windows.windows[w].title = renamed;
    };
    rig.bar.ShowInTitleBar(r);
    const auto& t = rig.written(w);
    ASSERT_GE(t.size(), 22u);
    EXPECT_EQ(t[19], upTo("Old title", 235) + " Go");
    EXPECT_EQ(t[20], upTo(renamed, 234) + " Go");
    // The scroll-in now ends three blanks after the new, longer title.
    const std::size_t scrollSteps = 254 - (renamed.size() + 2) + 1;
    EXPECT_EQ(t[scrollSteps - 1], renamed + "   Go");
    EXPECT_EQ(t[scrollSteps], renamed + " Go");
    EXPECT_EQ(t[scrollSteps + 11], renamed);
    EXPECT_EQ(t.back(), renamed);
    EXPECT_STREQ(rig.bar.SavedTitle, renamed.c_str());
    EXPECT_EQ(rig.store.MonitorState, tw::MonitorDone);
}

TEST(TitleBarDisplay, TitleGrowingPastThePositionEndsTheScrollInEarly) {
    Rig rig;
    const WindowId w = rig.front("Short");
    tw::ReminderRecord& r = rig.reminder("Hi");
    const std::string grown(150, 'G');
    // At the step for position 140 the title grows to 150 characters.
    rig.onProcess = [&] {
        if (rig.pump.sleeps.size() == 114 && rig.written(w).size() == 114)
            rig.windows.windows[w].title = grown;
    };
    rig.bar.ShowInTitleBar(r);
    const auto& t = rig.written(w);
    // That step still writes once (the note at position 140, inside the new title), then the loop ends.
    EXPECT_EQ(rig.sleepsOf(40), 115);
    EXPECT_EQ(t[114], grown.substr(0, 140) + " Hi");
    EXPECT_EQ(t[115], grown + " Hi");
    EXPECT_EQ(t.back(), grown);
}

TEST(TitleBarDisplay, WindowClosingMidScrollHandsTheReminderBack) {
    Rig rig;
    const WindowId w = rig.front("Viewer");
    tw::ReminderRecord& r = rig.reminder("Soon");
    rig.onProcess = [&] {
        if (rig.pump.sleeps.size() == 30)
            rig.windows.close(w);
    };
    rig.bar.ShowInTitleBar(r);
    EXPECT_EQ(rig.written(w).size(), 30u);
    EXPECT_EQ(rig.store.MonitorState, tw::MonitorDone);
    EXPECT_EQ(r.RemDate, 0.0);
    EXPECT_FALSE(rig.bar.TitleModified);
    EXPECT_LT(rig.pump.sleeps.size(), 40u); // stopped at once, no blink on a window that is gone
}

TEST(TitleBarDisplay, FailedWriteOrEmptiedTitleStopsAndPutsTheTitleBack) {
    {
        Rig rig;
        const WindowId w = rig.front("Terminal");
        tw::ReminderRecord& r = rig.reminder("Tea");
        rig.onProcess = [&] {
            if (rig.pump.sleeps.size() == 5)
                rig.windows.windows[w].failWrites = true;
        };
        rig.bar.ShowInTitleBar(r);
        EXPECT_EQ(rig.windows.windows[w].title, "Terminal");
        EXPECT_EQ(rig.written(w).back(), "Terminal");
        EXPECT_EQ(rig.store.MonitorState, tw::MonitorDone);
        EXPECT_FALSE(rig.bar.TitleModified);
        EXPECT_EQ(r.RemDate, 0.0);
    }
    {
        Rig rig;
        const WindowId w = rig.front("Terminal");
        tw::ReminderRecord& r = rig.reminder("Tea");
        rig.onProcess = [&] {
            if (rig.pump.sleeps.size() == 5)
                rig.windows.windows[w].title.clear();
        };
        rig.bar.ShowInTitleBar(r);
        EXPECT_EQ(rig.written(w).size(), 6u); // five scroll steps, then the restore
        EXPECT_EQ(rig.windows.windows[w].title, "Terminal");
        EXPECT_EQ(rig.store.MonitorState, tw::MonitorDone);
    }
}

TEST(TitleBarDisplay, UnsuitableForegroundWindowGetsNoDisplay) {
    enum Case { Hidden, Owned, Untitled, Nothing, Desktop };
    for (Case c : {Hidden, Owned, Untitled, Nothing, Desktop}) {
        Rig rig;
        const WindowId main = rig.windows.add("Main");
        WindowId w = 0;
        switch (c) {
        case Hidden:
            w = rig.windows.add("Hidden");
            rig.windows.windows[w].visible = false;
            break;
        case Owned:
            w = rig.windows.add("Find", main);
            break;
        case Untitled:
            w = rig.windows.add("");
            break;
        case Nothing:
            break;
        case Desktop:
            w = tw::fake::FakeWindows::Desktop;
            break;
        }
        rig.windows.foreground = w;
        tw::ReminderRecord& r = rig.reminder("Ignored");
        rig.store.MonitorState = tw::MonitorIdle;
        rig.bar.ShowInTitleBar(r);
        EXPECT_EQ(rig.beeper.beeps, 0) << c;
        EXPECT_TRUE(rig.windows.written.empty()) << c;
        EXPECT_EQ(rig.store.MonitorState, tw::MonitorIdle) << c;
        EXPECT_EQ(r.RemDate, 46000.0) << c;
        EXPECT_FALSE(rig.bar.TitleModified) << c;
        EXPECT_TRUE(rig.pump.sleeps.empty()) << c;
        EXPECT_EQ(rig.bar.TitleWindow, w) << c;
    }
}

TEST(TitleBarDisplay, WithoutForeignWindowsNothingIsShown) {
    Rig rig(false);
    tw::ReminderRecord& r = rig.reminder("Nowhere");
    rig.bar.ShowInTitleBar(r);
    EXPECT_EQ(rig.store.MonitorState, tw::MonitorIdle);
    EXPECT_EQ(rig.beeper.beeps, 0);
    EXPECT_FALSE(rig.bar.IsTitleWindow(5));
    rig.bar.RestoreTitle(); // harmless
}

TEST(TitleBarDisplay, RestoreTitleAtCloseGivesTheTitleBackAndEndsTheDisplay) {
    Rig rig;
    const WindowId w = rig.front("Browser");
    const WindowId other = rig.windows.add("Other");
    tw::ReminderRecord& r = rig.reminder("Lunch");
    std::size_t writesAtClose = 0;
    rig.onProcess = [&] {
        // The user brings another window to the front, then closes the program.
        if (rig.pump.sleeps.size() == 10)
            rig.windows.foreground = other;
        if (rig.pump.sleeps.size() == 240 && writesAtClose == 0) {
            ASSERT_TRUE(rig.bar.TitleModified);
            EXPECT_EQ(rig.store.MonitorState, tw::MonitorShowing);
            rig.bar.RestoreTitle();
            writesAtClose = rig.written(w).size();
        }
    };
    rig.bar.ShowInTitleBar(r);
    ASSERT_GT(writesAtClose, 0u);
    EXPECT_EQ(rig.written(w).back(), "Browser");
    EXPECT_EQ(rig.written(w).size(), writesAtClose); // nothing written after the restore
    EXPECT_TRUE(rig.written(other).empty());
    EXPECT_EQ(rig.windows.windows[w].title, "Browser");
    EXPECT_FALSE(rig.bar.TitleModified);
    EXPECT_EQ(rig.store.MonitorState, tw::MonitorDone);
}

TEST(TitleBarDisplay, RestoreGivesBackTheExactTitleNotItsLossyCopy) {
    Rig rig;
    const std::string exact = "Caf\xC3\xA9 \xE2\x82\xAC"; // bytes that the ANSI read turns into '?'
    const WindowId w = rig.front(exact);
    tw::ReminderRecord& r = rig.reminder("Pay");
    bool closedOnce = false;
    rig.bar.ShowInTitleBar(r);
    EXPECT_EQ(rig.windows.windows[w].title, exact);

    // The same at close, in the middle of a display.
    Rig rig2;
    const WindowId w2 = rig2.front(exact);
    tw::ReminderRecord& r2 = rig2.reminder("Pay");
    rig2.onProcess = [&] {
        if (rig2.pump.sleeps.size() == 100 && !closedOnce) {
            closedOnce = true;
            rig2.bar.RestoreTitle();
        }
    };
    rig2.bar.ShowInTitleBar(r2);
    EXPECT_TRUE(closedOnce);
    EXPECT_EQ(rig2.windows.windows[w2].title, exact);
}

TEST(TitleBarDisplay, MonitorStaysShowingAndReentryIsIgnoredDuringADisplay) {
    Rig rig;
    const WindowId w = rig.front("Work");
    tw::ReminderRecord& r = rig.reminder("First");
    bool allShowing = true;
    bool reentered = false;
    rig.onProcess = [&] {
        allShowing = allShowing && rig.store.MonitorState == tw::MonitorShowing;
        if (!reentered && rig.pump.sleeps.size() == 50) {
            reentered = true;
            tw::ReminderRecord second = r;
            tw::SetNote(second, "Second");
            rig.bar.ShowInTitleBar(second);
        }
    };
    rig.bar.ShowInTitleBar(r);
    EXPECT_TRUE(allShowing);
    for (const std::string& s : rig.written(w))
        EXPECT_EQ(s.find("Second"), std::string::npos);
    EXPECT_EQ(rig.beeper.beeps, 1);
    EXPECT_EQ(rig.store.MonitorState, tw::MonitorDone);

    // A second display afterwards runs normally.
    tw::ReminderRecord& again = rig.reminder("Again");
    rig.bar.ShowInTitleBar(again);
    EXPECT_EQ(rig.written(w)[rig.written(w).size() - 2], "Work Again");
}

TEST(TitleBarPacing, SteadyPausesAbsorbTheWorkBetweenThemAndRestartAfterABlock) {
    Rig rig;
    rig.front(std::string(30, 'w'));
    std::int64_t workNs = 0;
    const auto now = [&] { return rig.pump.sleptMs * 1'000'000 + workNs; };
    tw::TitleBar paced(rig.services, rig.handBack, tw::TitleBar::Pauses::Steady);
    paced.setPacingClock(now);
    std::int64_t startNs = -1;
    std::size_t blockedAt = 0;
    rig.onProcess = [&] {
        workNs += 300'000; // every yield costs 0.3 ms
        if (rig.pump.sleeps.empty())
            startNs = now();
    };
    paced.ShowInTitleBar(rig.reminder("Paced"));
    // Work and pauses together keep to the nominal 15694 ms; pauses as requested would add the work.
    EXPECT_NEAR(static_cast<double>(now() - startNs) / 1e6, 15694.0, 2.0);
    EXPECT_LT(rig.pump.sleptMs, 15694 - 100);
    EXPECT_EQ(rig.store.MonitorState, tw::MonitorDone);

    // A long block (a modal box opened meanwhile) starts a new schedule: no burst of short steps.
    Rig rig2;
    rig2.front(std::string(30, 'w'));
    std::int64_t work2 = 0;
    tw::TitleBar paced2(rig2.services, rig2.handBack, tw::TitleBar::Pauses::Steady);
    paced2.setPacingClock([&] { return rig2.pump.sleptMs * 1'000'000 + work2; });
    rig2.onProcess = [&] {
        if (rig2.pump.sleeps.size() == 100 && blockedAt == 0) {
            blockedAt = rig2.pump.sleeps.size();
            work2 += 500'000'000;
        }
    };
    paced2.ShowInTitleBar(rig2.reminder("Paced"));
    ASSERT_EQ(blockedAt, 100u);
    EXPECT_EQ(rig2.pump.sleeps[99], 40);
    EXPECT_EQ(rig2.pump.sleeps[100], 40);
    EXPECT_EQ(rig2.pump.sleptMs, 15694);
}

TEST(TitleBarPad, PadsToExactly255AndYieldsPerBlank) {
    Rig rig;
    char buf[256];
    std::memset(buf, 'z', sizeof buf);
    std::strcpy(buf, "abc");
    rig.bar.PadWithBlanks(buf);
    EXPECT_EQ(std::strlen(buf), 255u);
    EXPECT_EQ(std::string(buf), padded("abc"));
    EXPECT_EQ(rig.pump.processed, 252);

    std::string full(255, 'q');
    std::strcpy(buf, full.c_str());
    rig.bar.PadWithBlanks(buf);
    EXPECT_EQ(std::string(buf), full);
    EXPECT_EQ(rig.pump.processed, 252);

    buf[0] = 0;
    rig.bar.PadWithBlanks(buf);
    EXPECT_EQ(std::string(buf), std::string(255, ' '));
}

} // namespace
