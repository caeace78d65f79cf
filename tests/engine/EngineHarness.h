// The engine's test bench: a store on a fake file system, a fake clock, English names, counting
// beeps, recorded message boxes, the fake tray icon and Flash_Timer, a fake pop-up view, and the
// engine wired on them by the program's own ReminderEngine.
#pragma once

#include <string>

#include "engine/ReminderEngine.h"
#include "platform/Cp1252.h"
#include "store/DayCount.h"
#include "tests/fakes/CountingBeeper.h"
#include "tests/fakes/FakeAlarm.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeTimer.h"
#include "tests/fakes/FakeTrayIcon.h"
#include "tests/fakes/FakeWindows.h"
#include "tests/fakes/RecordingHelp.h"
#include "tests/fakes/RecordingMessageBoxes.h"
#include "tests/fakes/RecordingPump.h"

namespace tw::test {

class FakePopUpView : public PopUpView {
public:
    bool visible = false;
    int shows = 0;
    int raises = 0;
    std::string panel;
    std::string memo;
    std::string caption;
    int interval = 0;

    void showReminder(const std::string& p, const std::string& m, bool setCaption) override {
        panel = p;
        memo = m;
        if (setCaption)
            caption = std::string(PopUpCaption);
        visible = true;
        ++shows;
    }
    void hideReminder() override {
        visible = false;
        memo.clear();
    }
    void bringToFront() override { ++raises; }
    std::string memoText() const override { return memo; }
    int selectedInterval() const override { return interval; }
};

inline ReminderRecord MakeReminder(int kind, bool beep, int y, int mo, int d, int h, int mi, std::string_view note,
                                   int s = 0) {
    ReminderRecord r{};
    r.Kind = kind;
    r.Beep = beep ? 1 : 0;
    r.RemDate = *EncodeDate(y, mo, d);
    r.RemTime = EncodeTime(h, mi, s, 0);
    SetNote(r, note);
    return r;
}

// The engine as the program wires it (ReminderEngine), with the fake pop-up view and the title-bar
// display over fake windows, one titled window in front.
struct EngineBench {
    explicit EngineBench(bool withWindows = true)
        : services{store,    clock, locale,
                   codePage, boxes, beeper,
                   pump,     help,  tw::fake::WindowsOrNone(windows, withWindows)} {
        windows.foreground = frontWindow;
        engine.attachPopUp(popUp);
        engine.attachTitleBar(titleBar);
    }

    // One monitor step with the tray icon's update, run by hand.
    void tick() { engine.Monitor_TimerTimer(); }
    // Turns of the event loop at the present time: the alarm fires while its time has come. The
    // number of steps it ran.
    int settle() {
        int steps = 0;
        while (steps < 100 && alarm.fireIfDue(clock.now()))
            ++steps;
        return steps;
    }
    // Moves the clock on by whole seconds; after each second the alarm runs the steps that are due,
    // as the event loop does. The number of steps.
    int run(int seconds) {
        int steps = 0;
        for (int i = 0; i < seconds; ++i) {
            clock.advanceMs(1000);
            steps += settle();
        }
        return steps;
    }
    void add(const ReminderRecord& r) { store.InsertActive(r); }
    // A title-bar display has written into the window in front.
    bool titleShown() { return !windows.written[frontWindow].empty(); }

    fake::FakeFileSystem files;
    Store store{files};
    fake::FakeClock clock;
    EnglishLocale locale;
    platform::Cp1252 codePage;
    fake::RecordingMessageBoxes boxes;
    fake::CountingBeeper beeper;
    fake::RecordingPump pump{&clock};
    tw::fake::RecordingHelp help;
    fake::FakeWindows windows;
    platform::WindowId frontWindow = windows.add("Editor");
    Services services;
    fake::FakeTrayIcon icon;
    fake::FakeTimer flashTimer;
    fake::FakeAlarm alarm;
    ReminderEngine engine{services, icon, flashTimer, alarm};
    TrayIconStates& tray = engine.tray;
    ReminderActivation& activation = engine.activation;
    Monitor& monitor = engine.monitor;
    FakePopUpView view;
    PopUpLogic popUp{services, engine.handBack, view};
    TitleBar titleBar{services, engine.handBack};
};

} // namespace tw::test
