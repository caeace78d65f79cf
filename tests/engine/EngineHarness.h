// The engine's test bench: a store on a fake file system, a fake clock, English names, counting
// beeps, recorded message boxes, the fake tray icon and Flash_Timer, a fake pop-up view, and the
// engine parts built on them as the main window builds them.
#pragma once

#include <string>

#include "engine/Monitor.h"
#include "engine/PopUpLogic.h"
#include "engine/ReminderActivation.h"
#include "engine/TrayIconStates.h"
#include "platform/Cp1252.h"
#include "platform/fake/CountingBeeper.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeFileSystem.h"
#include "platform/fake/FakeTimer.h"
#include "platform/fake/FakeTrayIcon.h"
#include "platform/fake/FakeWindows.h"
#include "platform/fake/RecordingHelp.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/fake/RecordingPump.h"
#include "store/DayCount.h"

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

struct EngineBench {
    explicit EngineBench(bool withWindows = true)
        : services{store, clock, locale, codePage, boxes, beeper, pump, help, withWindows ? &windows : nullptr} {
        popUp.setIconReminderEnded([this] { tray.StopFlashTimer(); });
        tray.setShowIconReminder([this](ReminderRecord& r) { popUp.ShowIconReminder(r); });
        activation.ShowPopUpReminder = [this](ReminderRecord& r) { popUp.ShowPopUpReminder(r); };
        activation.ShowInTitleBar = [this](ReminderRecord& r) {
            ++titleShows;
            if (r.Beep)
                beeper.beep();
            store.MonitorState = MonitorShowing;
            r.RemDate = 0.0;
            store.MonitorState = MonitorDone;
        };
    }

    // One tick of Monitor_Timer.
    void tick() {
        tray.Check_Ikon();
        monitor.Mon_Rem();
    }
    // Moves the clock on by whole seconds, ticking every second.
    void run(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            clock.advanceMs(1000);
            tick();
        }
    }
    void add(const ReminderRecord& r) {
        store.InsertActive(r);
        store.SortActive();
    }

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
    Services services;
    fake::FakeTrayIcon icon;
    fake::FakeTimer flashTimer;
    FakePopUpView view;
    TrayIconStates tray{services, icon, flashTimer};
    PopUpLogic popUp{services, view};
    ReminderActivation activation{services, tray};
    Monitor monitor{store, clock, boxes, activation};
    int titleShows = 0;
};

} // namespace tw::test
