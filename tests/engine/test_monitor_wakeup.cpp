// The monitor's wake-up on a fake clock and a fake wall-clock alarm: the step runs at the first
// moment of the due minute and not before, at once after every change the store signals, after a
// clock step or a resume; between these no step runs.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "EngineHarness.h"
#include "store/Recurrence.h"

using namespace tw;
using namespace tw::test;
using platform::LocalTime;

namespace {

LocalTime At(int h, int mi, int s = 0, int d = 8, int mo = 12, int y = 2026) {
    return {y, mo, d, h, mi, s, 0};
}

ReminderRecord PopUp(int h, int mi, std::string_view note, int d = 8, int mo = 12, int y = 2026) {
    return MakeReminder(KindPopUp, false, y, mo, d, h, mi, note);
}

LocalTime Before(const LocalTime& t) {
    return *FromDayCount(ToDayCount(t) - 1.0 / static_cast<double>(MsPerDay));
}

} // namespace

// Whatever the reminder's distance, the alarm is set for the first moment of its minute, nothing
// runs before it, and the reminder is on show at hh:mm:00.000.
TEST(MonitorWakeUp, StepRunsAtTheStartOfTheDueMinuteAndNotBefore) {
    struct Row {
        const char* name;
        LocalTime due;
    };
    const Row rows[] = {
        {"in a few seconds", At(9, 1)},
        {"later today, at a second and a half past", At(10, 30)},
        {"tomorrow", At(8, 0, 0, 9)},
        {"next year", At(0, 0, 0, 1, 1, 2027)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EngineBench b;
        b.clock.set(At(9, 0, 30));
        ReminderRecord r = PopUp(row.due.hour, row.due.minute, "meeting", row.due.day, row.due.month, row.due.year);
        if (row.due.minute == 30)
            r.RemTime = EncodeTime(10, 30, 1, 500); // seconds of a reminder play no part
        b.add(r);
        EXPECT_EQ(b.settle(), 1) << "the change runs one step at once";
        ASSERT_EQ(b.alarm.at, std::optional(row.due));
        EXPECT_EQ(b.run(25), 0) << "no step between";
        b.clock.set(Before(row.due));
        EXPECT_EQ(b.settle(), 0);
        EXPECT_EQ(b.view.shows, 0);
        b.clock.set(row.due);
        EXPECT_EQ(b.settle(), 1);
        EXPECT_EQ(b.view.shows, 1);
        EXPECT_EQ(b.store.MonitorState, MonitorShowing);
        EXPECT_FALSE(b.alarm.armed()) << "nothing runs while the pop-up is on show";
    }
}

// The alarm also fires when the clock is set or the machine resumes; the very next step sets aside
// what was missed and the alarm follows the wall clock to the next minute that matters.
TEST(MonitorWakeUp, ClockStepsAndResumeAreHandledInTheVeryNextStep) {
    struct Row {
        const char* name;
        LocalTime jumpTo;
        int expired;
        bool shown;
        std::optional<LocalTime> next;
    };
    const Row rows[] = {
        {"clock set forward past the first", At(10, 0), 1, false, At(11, 0)},
        {"clock set forward into its window", At(9, 33, 20), 0, true, std::nullopt},
        {"clock set back", At(7, 15), 0, false, At(9, 30)},
        {"resume after both", At(12, 0, 0, 9), 2, false, std::nullopt},
        {"resume before the first", At(9, 10), 0, false, At(9, 30)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EngineBench b;
        b.add(PopUp(11, 0, "second"));
        b.add(PopUp(9, 30, "first"));
        b.settle();
        ASSERT_EQ(b.alarm.at, std::optional(At(9, 30)));
        b.clock.set(row.jumpTo);
        EXPECT_TRUE(b.alarm.fire()); // ECANCELED from the timerfd, WM_TIMECHANGE, resume
        EXPECT_EQ(b.store.ExpiredCount, row.expired);
        EXPECT_EQ(b.view.shows, row.shown ? 1 : 0);
        EXPECT_EQ(b.alarm.at, row.next);
    }
}

// Every change the store signals arms a step at once; after it the alarm is set for what the state
// asks for next. Nothing else calls the wake-up.
TEST(MonitorWakeUp, EveryChangeReArmsTheAlarm) {
    struct Row {
        const char* name;
        std::function<void(EngineBench&)> change;
        std::optional<LocalTime> next;
        int shows;
    };
    const auto editorOk = [](ReminderRecord r) {
        return [r](EngineBench& b) {
            b.store.BeginNew();
            b.store.AppendActive(r);
            b.store.SortActive();
            b.store.EditStored();
        };
    };
    const Row rows[] = {
        {"editor OK, earlier reminder", editorOk(PopUp(9, 20, "new")), At(9, 20), 0},
        {"editor OK, current minute shows at once", editorOk(PopUp(9, 0, "now")), std::nullopt, 1},
        {"deletion in the list", [](EngineBench& b) { b.store.Del_Rem(TableId::Active, 0); }, std::nullopt, 0},
        {"list's edit holds the monitor", [](EngineBench& b) { b.store.BeginEdit(TableId::Active, 0); }, std::nullopt,
         0},
        {"edit cancelled",
         [](EngineBench& b) {
             b.store.BeginEdit(TableId::Active, 0);
             b.settle();
             b.store.CancelEdit();
         },
         At(10, 0), 0},
        {"Disable All on", [](EngineBench& b) { b.store.SetRemindersEnabled(false); }, std::nullopt, 0},
        {"Disable All off",
         [](EngineBench& b) {
             b.store.SetRemindersEnabled(false);
             b.settle();
             b.store.SetRemindersEnabled(true);
         },
         At(10, 0), 0},
        {"load at start",
         [](EngineBench& b) {
             ReminderRecord r = PopUp(9, 5, "from file");
             std::vector<std::uint8_t> image(RecordSize);
             std::memcpy(image.data(), &r, RecordSize);
             b.files.files["rd.dt"] = image;
             b.store.LoadActive();
         },
         At(9, 5), 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EngineBench b;
        b.add(PopUp(10, 0, "later"));
        b.settle();
        ASSERT_EQ(b.alarm.at, std::optional(At(10, 0)));
        row.change(b);
        EXPECT_TRUE(b.alarm.due(b.clock.now())) << "armed for a step at once";
        EXPECT_GE(b.settle(), 1);
        EXPECT_EQ(b.alarm.at, row.next);
        EXPECT_EQ(b.view.shows, row.shows);
    }
}

// A display keeps its own timers; its end (dismiss, snooze, the flash's 30 s, a title display that
// ends inside the step) makes the monitor settle it in the very next step, and the alarm is armed
// for the next reminder: a snoozed one, a repeating one at its next occurrence, or a reminder that
// fell due meanwhile.
TEST(MonitorWakeUp, TheEndOfADisplayIsSettledAtOnce) {
    struct Row {
        const char* name;
        int kind;
        Repeat repeat;
        std::function<void(EngineBench&)> end;
        std::optional<LocalTime> next;
    };
    const auto dismiss = [](EngineBench& b) { b.popUp.Button1Click(); };
    const Row rows[] = {
        {"pop-up dismissed", KindPopUp, Repeat::Once, dismiss, std::nullopt},
        {"pop-up snoozed five minutes", KindPopUp, Repeat::Once,
         [](EngineBench& b) {
             b.view.interval = 0;
             b.popUp.Button2Click();
         },
         At(9, 5)},
        {"flash over after 30 s", KindIcon, Repeat::Once, [](EngineBench& b) { b.flashTimer.fire(); }, std::nullopt},
        {"daily series dismissed", KindPopUp, Repeat::EveryDay, dismiss, At(9, 0, 0, 9)},
        {"title display", KindTitle, Repeat::Once, [](EngineBench&) {}, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EngineBench b;
        ReminderRecord r = MakeReminder(row.kind, false, 2026, 12, 8, 9, 0, "tea");
        if (row.repeat != Repeat::Once)
            WriteRule(r, RuleAt(row.repeat, r.RemDate, r.RemTime));
        b.add(r);
        EXPECT_EQ(b.settle(), 1);
        if (row.kind == KindIcon) {
            // While the icon flashes its tooltip follows the date formats once a second.
            EXPECT_TRUE(b.icon.anim);
            EXPECT_EQ(b.run(3), 3);
            b.store.Formats.ShortDateFormat = "yyyy";
            EXPECT_EQ(b.run(1), 1);
            EXPECT_EQ(b.icon.hint.substr(0, 5), "2026 ");
        } else if (row.kind != KindTitle) {
            EXPECT_FALSE(b.alarm.armed());
            EXPECT_EQ(b.run(30), 0);
        }
        row.end(b);
        b.settle();
        EXPECT_EQ(b.store.MonitorState, MonitorIdle);
        EXPECT_FALSE(b.icon.anim);
        EXPECT_EQ(b.icon.still, row.next ? "ICO_TRAYR" : "ICO_TRAY") << "the still icon follows at once";
        EXPECT_EQ(b.alarm.at, row.next);
        EXPECT_EQ(b.store.ActiveCount, row.next ? 1 : 0);
    }
}

// A title display yields to the event loop for seconds: an alarm that fires meanwhile starts no
// second display, changes meanwhile are left to the end of the step, and a reminder added for the
// current minute during the display shows in the second after it.
TEST(MonitorWakeUp, ATitleDisplayInProgressHoldsTheStepsBack) {
    EngineBench b;
    b.add(MakeReminder(KindTitle, false, 2026, 12, 8, 9, 0, "call"));
    bool added = false;
    int nestedSteps = 0;
    b.pump.onProcess = [&] {
        if (added)
            return;
        added = true;
        b.add(PopUp(9, 0, "meanwhile"));
        b.store.SetRemindersEnabled(true);
        EXPECT_FALSE(b.alarm.due(b.clock.now())) << "left to the end of the step";
        b.tick(); // an alarm of the outer loop
        ++nestedSteps;
        EXPECT_EQ(b.view.shows, 0);
    };
    EXPECT_EQ(b.settle(), 1);
    EXPECT_TRUE(added);
    EXPECT_EQ(nestedSteps, 1);
    EXPECT_TRUE(b.titleShown());
    EXPECT_EQ(b.store.MonitorState, MonitorIdle);
    ASSERT_TRUE(b.alarm.armed());
    EXPECT_EQ(b.run(1), 1);
    EXPECT_EQ(b.view.shows, 1);
}

// "Disable All": no step runs while it is ticked, whatever falls due; unticked, the first step sets
// the missed reminders aside and the due one is shown in the second after.
TEST(MonitorWakeUp, DisableAllSleepsUntilUnticked) {
    EngineBench b;
    b.add(PopUp(9, 10, "missed"));
    b.add(PopUp(9, 59, "due"));
    b.add(PopUp(11, 0, "later"));
    b.store.SetRemindersEnabled(false);
    EXPECT_EQ(b.settle(), 1);
    EXPECT_FALSE(b.alarm.armed());
    EXPECT_EQ(b.run(59 * 60), 0); // to 09:59:00
    b.store.SetRemindersEnabled(true);
    EXPECT_EQ(b.settle(), 1);
    EXPECT_EQ(b.store.ExpiredCount, 1);
    EXPECT_EQ(b.view.shows, 0);
    EXPECT_EQ(b.run(1), 1);
    EXPECT_EQ(b.view.shows, 1);
}
