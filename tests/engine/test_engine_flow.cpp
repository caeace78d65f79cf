// The tray icon's states and flash, the pop-up's logic, the activation's dispatch and beeps, the
// hand-back API, and the reminder engine end to end with the monitor under a test clock.
#include <gtest/gtest.h>

#include <cstring>

#include "EngineHarness.h"
#include "store/IoError.h"

using namespace tw;
using namespace tw::test;
using platform::TrayMenu;

namespace {

const std::string Counter30 = " Reminders Counter: \n\r Active:  3\n\r Expired: 0";

} // namespace

TEST(TrayStates, StillIconAndCounterTooltipWhileIdle) {
    EngineBench b;
    b.tick();
    EXPECT_EQ(b.icon.still, "ICO_TRAY");
    EXPECT_TRUE(b.icon.visible());
    EXPECT_FALSE(b.icon.anim);

    for (int i = 0; i < 3; ++i)
        b.add(MakeReminder(KindPopUp, false, 2027, 1, 1 + i, 9, 0, "later"));
    b.tray.Check_Ikon();
    EXPECT_EQ(b.icon.still, "ICO_TRAYR");
    EXPECT_EQ(b.icon.hint, Counter30);
    EXPECT_EQ(b.icon.tooltip(), Counter30) << "three lines fit in the 63 characters";

    b.store.RemindersEnabled = false;
    b.tray.Check_Ikon();
    EXPECT_EQ(b.icon.still, "ICO_TRAYD");

    // "H&ide": the empty picture takes the icon away; the counters stay in the hint.
    EXPECT_FALSE(b.tray.Icon_Tray_Hide());
    b.tray.Check_Ikon();
    EXPECT_EQ(b.icon.still, " ");
    EXPECT_FALSE(b.icon.visible());
    EXPECT_TRUE(b.tray.Icon_Tray_Hide());
    b.tray.Check_Ikon();
    EXPECT_EQ(b.icon.still, "ICO_TRAYD");
    EXPECT_TRUE(b.icon.visible());
}

TEST(TrayStates, StillIconIsFrozenWhileAReminderIsShown) {
    EngineBench b;
    b.tick();
    b.store.MonitorState = MonitorShowing;
    const int sets = b.icon.stillSets;
    b.add(MakeReminder(KindPopUp, false, 2027, 1, 1, 9, 0, "x"));
    b.store.RemindersEnabled = false;
    b.tray.Check_Ikon();
    EXPECT_EQ(b.icon.still, "ICO_TRAY");
    EXPECT_EQ(b.icon.stillSets, sets);
    EXPECT_EQ(b.icon.hint, " Reminders Counter: \n\r Active:  1\n\r Expired: 0") << "counters still follow";
    b.store.MonitorState = MonitorIdle;
    b.tray.Check_Ikon();
    EXPECT_EQ(b.icon.still, "ICO_TRAYD");
}

TEST(TrayStates, TooltipCutAtSixtyThreeCharactersAndFirstBar) {
    EXPECT_EQ(platform::TooltipFromHint("abc|def"), "abc");
    EXPECT_EQ(platform::TooltipFromHint(std::string(80, 'x')), std::string(63, 'x'));
    // Cut by characters, never inside one: 62 letters and then "é" (two bytes) fit, the rest not.
    const std::string accented = std::string(62, 'a') + "\xC3\xA9" + "zzz";
    EXPECT_EQ(platform::TooltipFromHint(accented), std::string(62, 'a') + "\xC3\xA9");
}

TEST(TrayStates, FlashingTooltipShowsTheReminderInTheFormatsInForce) {
    EngineBench b;
    b.store.CurrentReminder = MakeReminder(KindIcon, false, 2026, 12, 7, 9, 5, "Pay the rent \xE9t\xE9");
    b.store.IconFlashing = true;
    SetPopUpFormats(b.store.Formats);
    b.tray.Check_Ikon();
    EXPECT_TRUE(b.icon.anim);
    EXPECT_EQ(b.icon.hint, "December 07 2026 9:05  \n\r\n\rPay the rent \xC3\xA9t\xC3\xA9\n\r");

    // With other formats in force the same hint follows them.
    b.store.Formats.ShortDateFormat = "dd/mm/yy";
    b.store.Formats.LongTimeFormat = "hh:nn:ss";
    b.tray.Check_Ikon();
    EXPECT_EQ(b.icon.hint.substr(0, 17), "07/12/26 09:05:00");

    // A long note: only the first 63 characters of date, time, blanks, breaks and note show.
    SetPopUpFormats(b.store.Formats);
    SetNote(b.store.CurrentReminder, std::string(100, 'n'));
    b.tray.Check_Ikon();
    const std::string head = "December 07 2026 9:05  \n\r\n\r";
    EXPECT_EQ(b.icon.tooltip(), head + std::string(63 - head.size(), 'n'));
}

TEST(TrayFlash, StartsWithTheStepThatTookItUpAndEndsAfterThirtySeconds) {
    EngineBench b;
    b.clock.set(2026, 12, 8, 9, 59, 59);
    b.add(MakeReminder(KindIcon, true, 2026, 12, 8, 10, 0, "Stand up"));
    b.tick();
    EXPECT_EQ(b.icon.still, "ICO_TRAYR");

    b.run(1); // 10:00:00: due, taken up, flash armed
    EXPECT_EQ(b.store.MonitorState, MonitorShowing);
    EXPECT_TRUE(b.store.IconFlashing);
    EXPECT_EQ(b.beeper.beeps, 1);
    EXPECT_TRUE(b.flashTimer.isActive());
    EXPECT_EQ(b.flashTimer.lastMs, 30000);
    EXPECT_TRUE(b.icon.anim) << "the animation starts as the step that took it up ends";
    EXPECT_EQ(b.icon.attached, TrayMenu::Main);

    b.run(1);
    EXPECT_TRUE(b.icon.anim);
    EXPECT_EQ(b.icon.frames, (std::vector<std::string>{"ICO_F4", "ICO_F3", "ICO_F2", "ICO_F1"}));
    EXPECT_NE(b.icon.hint.find("Stand up"), std::string::npos);
    EXPECT_EQ(b.icon.still, "ICO_TRAYR") << "the still icon stays while the reminder is shown";

    ASSERT_TRUE(b.flashTimer.fire());
    EXPECT_FALSE(b.store.IconFlashing);
    EXPECT_EQ(b.store.CurrentReminder.RemDate, 0.0);
    EXPECT_EQ(b.store.MonitorState, MonitorDone);

    b.run(1); // the animation stops, the monitor drops the reminder
    EXPECT_FALSE(b.icon.anim);
    EXPECT_EQ(b.icon.hint, " Reminders Counter: \n\r Active:  0\n\r Expired: 0");
    EXPECT_EQ(b.store.MonitorState, MonitorIdle);
    EXPECT_EQ(b.store.ActiveCount, 0);
    EXPECT_EQ(b.icon.still, "ICO_TRAY") << "caught up as the step that dropped it ends";
    b.run(1);
    EXPECT_EQ(b.icon.still, "ICO_TRAY");
    EXPECT_EQ(b.beeper.beeps, 1);
    EXPECT_EQ(b.view.shows, 0);
}

TEST(TrayFlash, HiddenIconAppearsBlinkingWithTheEmptyMenu) {
    EngineBench b;
    b.tray.Icon_Tray_Hide();
    b.clock.set(2026, 12, 8, 9, 59, 59);
    b.add(MakeReminder(KindIcon, false, 2026, 12, 8, 10, 0, "x"));
    b.tick();
    EXPECT_FALSE(b.icon.visible());
    b.run(2);
    EXPECT_TRUE(b.icon.visible());
    EXPECT_EQ(b.icon.attached, TrayMenu::Empty);
    b.icon.rightClick();
    EXPECT_EQ(b.view.shows, 0) << "a right click on the blinking hidden icon does nothing";
    b.flashTimer.fire();
    EXPECT_EQ(b.icon.attached, TrayMenu::Main);
    b.run(2);
    EXPECT_FALSE(b.icon.visible());
    EXPECT_EQ(b.beeper.beeps, 0);
}

TEST(TrayFlash, ClickWhileBlinkingOpensThePopUpWithoutBeep) {
    EngineBench b;
    b.icon.leftClick();
    EXPECT_EQ(b.view.shows, 0) << "a click on the still icon does nothing";

    b.tray.Icon_Tray_Hide();
    b.clock.set(2026, 12, 8, 9, 59, 59);
    b.add(MakeReminder(KindIcon, true, 2026, 12, 8, 10, 0, "Tea"));
    b.run(2);
    ASSERT_TRUE(b.icon.anim);
    b.icon.leftClick();
    EXPECT_TRUE(b.view.visible);
    EXPECT_EQ(b.view.panel, "Reminder stated on: December 08 2026 10:00");
    EXPECT_EQ(b.view.memo, "\nTea");
    EXPECT_EQ(b.view.caption, "") << "Icon_FormShow keeps the caption";
    EXPECT_EQ(b.icon.attached, TrayMenu::Main);
    EXPECT_EQ(b.beeper.beeps, 1) << "only the activation beeped";

    b.run(40);
    EXPECT_TRUE(b.icon.anim) << "blinking goes on while the pop-up is open";
    EXPECT_EQ(b.store.MonitorState, MonitorShowing);

    b.view.memo = "Tea, then the post"; // being edited
    b.icon.leftClick();
    EXPECT_EQ(b.view.shows, 1) << "a second click does not fill the open window again";
    EXPECT_EQ(b.view.raises, 1);
    EXPECT_EQ(b.view.memo, "Tea, then the post");

    b.popUp.Button1Click();
    EXPECT_FALSE(b.view.visible);
    EXPECT_FALSE(b.store.IconFlashing);
    EXPECT_FALSE(b.flashTimer.isActive());
    b.run(2);
    EXPECT_FALSE(b.icon.anim);
    EXPECT_EQ(b.store.MonitorState, MonitorIdle);
    EXPECT_EQ(b.store.ActiveCount, 0);
}

// An icon reminder snoozed from the pop-up keeps its new date: Flash_Timer, which would have fired
// 30 seconds after the flash began and emptied the current reminder, is stopped.
TEST(TrayFlash, SnoozedIconReminderIsNotErasedByTheFlashTimer) {
    EngineBench b;
    b.clock.set(2026, 12, 8, 9, 59, 59);
    b.add(MakeReminder(KindIcon, false, 2026, 12, 8, 10, 0, "Stretch"));
    b.run(2);
    b.icon.leftClick();
    b.view.interval = 11; // 1 hour
    b.popUp.Button2Click();
    EXPECT_FALSE(b.flashTimer.isActive());
    EXPECT_FALSE(b.flashTimer.fire());
    b.run(1);
    ASSERT_EQ(b.store.ActiveCount, 1);
    EXPECT_EQ(DecodeTime(b.store.ActiveTable[0].RemTime), (ClockTime{11, 0, 0, 0}));
    EXPECT_EQ(NoteText(b.store.ActiveTable[0]), "Stretch");
    EXPECT_EQ(b.store.MonitorState, MonitorIdle);
}

// A pop-up reminder shown after an icon reminder that the pop-up ended early is not cut short.
TEST(TrayFlash, EarlyEndDoesNotEndTheNextReminder) {
    EngineBench b;
    b.clock.set(2026, 12, 8, 9, 59, 59);
    b.add(MakeReminder(KindIcon, false, 2026, 12, 8, 10, 0, "first"));
    b.add(MakeReminder(KindPopUp, false, 2026, 12, 8, 10, 1, "second"));
    b.run(2);
    b.icon.leftClick();
    b.popUp.Button1Click();
    b.run(62);
    ASSERT_TRUE(b.view.visible);
    EXPECT_NE(b.view.memo.find("second"), std::string::npos);
    b.flashTimer.fire();
    EXPECT_EQ(b.store.MonitorState, MonitorShowing);
    EXPECT_NE(b.store.CurrentReminder.RemDate, 0.0);
}

// The icon keeps blinking until the next tick after a flash has ended; a click in that second must
// not open the reminder again (emptied by Flash_Timer, or already handed back by the pop-up).
TEST(TrayFlash, ClickAfterTheFlashEndedOpensNothing) {
    for (const bool byTimer : {true, false}) {
        EngineBench b;
        b.clock.set(2026, 12, 8, 9, 59, 59);
        b.add(MakeReminder(KindIcon, false, 2026, 12, 8, 10, 0, "Water the plants"));
        b.run(2);
        ASSERT_TRUE(b.icon.anim);
        if (byTimer) {
            b.flashTimer.fire();
        } else {
            b.icon.leftClick();
            b.popUp.Button1Click();
        }
        const int shows = b.view.shows;
        ASSERT_TRUE(b.icon.anim);
        b.icon.leftClick();
        EXPECT_EQ(b.view.shows, shows) << byTimer;
        EXPECT_FALSE(b.view.visible);
        EXPECT_EQ(b.store.MonitorState, MonitorDone);
        b.run(1);
        EXPECT_EQ(b.store.MonitorState, MonitorIdle);
        EXPECT_EQ(b.store.ActiveCount, 0);
        EXPECT_EQ(b.store.ExpiredCount, 0);
    }
}

TEST(Activation, DispatchByKindWithOneBeepEach) {
    EngineBench b;
    b.store.CurrentReminder = MakeReminder(KindPopUp, true, 2026, 12, 8, 9, 0, "p");
    b.activation.Viz_Rem(b.store.CurrentReminder);
    EXPECT_EQ(b.beeper.beeps, 1);
    EXPECT_TRUE(b.view.visible);
    EXPECT_EQ(b.view.caption, "Reminder");
    EXPECT_EQ(b.view.panel, "Reminder Started on: December 08 2026 9:00");
    EXPECT_EQ(b.store.MonitorState, MonitorShowing);
    b.popUp.Button1Click();

    b.store.MonitorState = MonitorIdle;
    b.store.CurrentReminder = MakeReminder(KindTitle, true, 2026, 12, 8, 9, 0, "t");
    b.activation.Viz_Rem(b.store.CurrentReminder);
    EXPECT_TRUE(b.titleShown());
    EXPECT_EQ(b.beeper.beeps, 2);

    b.store.MonitorState = MonitorIdle;
    b.store.CurrentReminder = MakeReminder(KindIcon, false, 2026, 12, 8, 9, 0, "i");
    b.activation.Viz_Rem(b.store.CurrentReminder);
    EXPECT_TRUE(b.store.IconFlashing);
    EXPECT_EQ(b.beeper.beeps, 2) << "Beep 0 is silent";

    for (int kind : {0, 2, 11, 99, 101, -1}) {
        EngineBench u;
        u.store.CurrentReminder = MakeReminder(kind, true, 2026, 12, 8, 9, 0, "?");
        u.activation.Viz_Rem(u.store.CurrentReminder);
        EXPECT_EQ(u.beeper.beeps, 0) << kind;
        EXPECT_EQ(u.store.MonitorState, MonitorIdle) << kind;
        EXPECT_FALSE(u.view.visible) << kind;
        EXPECT_FALSE(u.titleShown()) << kind;
        EXPECT_FALSE(u.flashTimer.isActive()) << kind;
    }
}

TEST(Activation, BeepComesBeforeShowing) {
    EngineBench b;
    int stateAtBeep = -1;
    struct Probe : platform::Beeper {
        Store* s;
        int* seen;
        void beep() override { *seen = s->MonitorState; }
    } probe;
    probe.s = &b.store;
    probe.seen = &stateAtBeep;
    Services services{b.store, b.clock, b.locale, b.codePage, b.boxes, probe, b.pump, b.help, b.windows};
    PopUpLogic popUp(services, b.engine.handBack, b.view);
    b.store.CurrentReminder = MakeReminder(KindPopUp, true, 2026, 12, 8, 9, 0, "p");
    popUp.ShowPopUpReminder(b.store.CurrentReminder);
    EXPECT_EQ(stateAtBeep, MonitorIdle);
    EXPECT_EQ(b.view.shows, 1);

    stateAtBeep = -1;
    b.store.MonitorState = MonitorIdle;
    TrayIconStates tray(services, b.engine.handBack, b.icon, b.flashTimer);
    b.store.CurrentReminder.Kind = KindIcon;
    tray.Icon_F();
    EXPECT_EQ(stateAtBeep, MonitorIdle);
    EXPECT_EQ(b.store.MonitorState, MonitorShowing);
}

TEST(Activation, TitleReminderGoesToThePopUpWithoutForeignWindows) {
    EngineBench b(false);
    b.clock.set(2026, 12, 8, 9, 59, 59);
    b.add(MakeReminder(KindTitle, true, 2026, 12, 8, 10, 0, "In the title"));
    b.run(1);
    EXPECT_FALSE(b.titleShown());
    ASSERT_TRUE(b.view.visible);
    EXPECT_EQ(b.view.memo, "\nIn the title");
    EXPECT_EQ(b.beeper.beeps, 1);
    b.popUp.Button1Click();
    b.run(1);
    EXPECT_EQ(b.store.MonitorState, MonitorIdle);
}

TEST(PopUpFlow, DismissDropsTheReminder) {
    EngineBench b;
    b.clock.set(2026, 12, 8, 9, 59, 59);
    b.add(MakeReminder(KindPopUp, false, 2026, 12, 8, 10, 0, "Meeting"));
    b.add(MakeReminder(KindPopUp, false, 2026, 12, 9, 10, 0, "Tomorrow"));
    b.run(1);
    ASSERT_TRUE(b.view.visible);
    EXPECT_EQ(b.store.ActiveCount, 1);
    const int writes = b.files.writeCount("rd.dt");
    b.popUp.Button1Click();
    EXPECT_EQ(b.files.writeCount("rd.dt"), writes + 1);
    EXPECT_EQ(b.store.MonitorState, MonitorDone);
    EXPECT_EQ(b.view.memo, "") << "hiding empties the memo";
    b.popUp.Button1Click(); // a second Escape finds nothing to dismiss
    EXPECT_EQ(b.files.writeCount("rd.dt"), writes + 1);
    b.run(1);
    EXPECT_EQ(b.store.MonitorState, MonitorIdle);
    EXPECT_EQ(b.store.ActiveCount, 1);
    EXPECT_EQ(NoteText(b.store.ActiveTable[0]), "Tomorrow");
}

TEST(PopUpFlow, RepeatInReschedulesWithTheEditedNote) {
    EngineBench b;
    b.clock.set(2026, 12, 8, 9, 59, 59);
    b.add(MakeReminder(KindPopUp, false, 2026, 12, 8, 10, 0, "Call"));
    b.run(1);
    b.view.memo = "\nCall Bob \xC3\xA0 3"; // typed in the window, UTF-8
    b.view.interval = 2;                   // 15 minutes
    b.popUp.Button2Click();
    EXPECT_EQ(b.store.MonitorState, MonitorDone);
    EXPECT_EQ(NoteText(b.store.CurrentReminder), "Call Bob \xE0 3") << "CR LF off again, ANSI note";
    b.run(1);
    ASSERT_EQ(b.store.ActiveCount, 1);
    EXPECT_EQ(DecodeTime(b.store.ActiveTable[0].RemTime), (ClockTime{10, 15, 0, 0}));
    b.run(15 * 60);
    ASSERT_TRUE(b.view.visible) << "shown again a quarter of an hour later";
    EXPECT_EQ(b.view.memo, "\nCall Bob \xC3\xA0 3");

    // No interval selected: nothing happens.
    b.view.interval = -1;
    b.popUp.Button2Click();
    EXPECT_TRUE(b.view.visible);
    EXPECT_EQ(b.store.MonitorState, MonitorShowing);
}

TEST(PopUpFlow, NoteStartingWithABreakKeepsItsMemoText) {
    EngineBench b;
    b.store.CurrentReminder = MakeReminder(KindPopUp, false, 2026, 12, 8, 10, 0, "\r\nTwo\r\nlines");
    b.popUp.FormShow();
    EXPECT_FALSE(b.popUp.MemoHasLeadingBreak);
    EXPECT_EQ(b.view.memo, "\nTwo\nlines");
    b.view.interval = 0;
    b.popUp.Button2Click();
    EXPECT_EQ(NoteText(b.store.CurrentReminder), "\r\nTwo\r\nlines");
}

// A failed save of "rd.dt" is shown, and the reminder is still handed back: the monitor must not
// stay blocked behind a window that is already gone.
TEST(PopUpFlow, FailedSaveStillHandsTheReminderBack) {
    EngineBench b;
    b.clock.set(2026, 12, 8, 9, 59, 59);
    b.add(MakeReminder(KindPopUp, false, 2026, 12, 8, 10, 0, "x"));
    b.run(1);
    b.files.writeError["rd.dt"] = IoCode::DiskFull;
    b.popUp.Button1Click();
    ASSERT_EQ(b.boxes.shown.size(), 1u);
    EXPECT_EQ(b.boxes.shown[0].text, "Disk full");
    EXPECT_EQ(b.store.MonitorState, MonitorDone);
    b.files.writeError.clear();
    b.run(1);
    EXPECT_EQ(b.store.MonitorState, MonitorIdle);
}

// The hand-back writes only what it names: a finished reminder keeps every byte but its date, the
// padding included, and every end tells the listener once.
TEST(HandBackApi, EndsChangeOnlyTheFieldsTheyName) {
    struct Listener : DisplayEndListener {
        int ends = 0;
        void displayEnded() override { ++ends; }
    } listener;
    fake::FakeFileSystem files;
    Store store(files);
    HandBack handBack(store);
    handBack.setEndListener(&listener);
    ReminderRecord r = MakeReminder(KindIcon, true, 2026, 12, 8, 10, 0, "keep me");
    auto* bytes = reinterpret_cast<std::uint8_t*>(&r);
    for (int i : {1, 2, 3, 9, 10, 11, 12, 13, 14, 15, 200})
        bytes[i] = static_cast<std::uint8_t>(0xA0 + i);
    store.CurrentReminder = r;

    handBack.displayStarted(Display::IconFlash);
    EXPECT_EQ(store.MonitorState, MonitorShowing);
    EXPECT_TRUE(store.IconFlashing);
    handBack.displayFinished();
    EXPECT_EQ(store.MonitorState, MonitorDone);
    EXPECT_FALSE(store.IconFlashing);
    EXPECT_EQ(listener.ends, 1);
    ReminderRecord expected = r;
    expected.RemDate = 0.0;
    EXPECT_EQ(std::memcmp(&store.CurrentReminder, &expected, RecordSize), 0);

    store.CurrentReminder = r;
    handBack.settled();
    EXPECT_EQ(store.MonitorState, MonitorIdle);
    handBack.displayStarted(Display::PopUp);
    EXPECT_FALSE(store.IconFlashing);
    handBack.displayRescheduled(r.RemDate + 1, r.RemTime, "moved");
    EXPECT_EQ(listener.ends, 2);
    expected = r;
    expected.RemDate = r.RemDate + 1;
    SetNote(expected, "moved");
    EXPECT_EQ(std::memcmp(&store.CurrentReminder, &expected, RecordSize), 0);

    store.CurrentReminder = r;
    handBack.displayNotShown();
    EXPECT_EQ(store.MonitorState, MonitorIdle);
    EXPECT_EQ(std::memcmp(&store.CurrentReminder, &r, RecordSize), 0);
    EXPECT_EQ(listener.ends, 2);
}
