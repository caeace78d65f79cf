// The title-bar display on real windows under Wine: the note slides into a window's title, blinks,
// and the window gets its exact Unicode title back, in this process and in another one.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "WinTestSupport.h"
#include "engine/TitleBar.h"
#include "platform/win32/WinCodePage.h"
#include "platform/win32/WinForeignWindows.h"
#include "store/DateFormat.h"
#include "tests/fakes/CountingBeeper.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/RecordingHelp.h"
#include "tests/fakes/RecordingMessageBoxes.h"

using namespace tw;
using tw::wintest::Probe;
using tw::wintest::TestWindow;

namespace {

const std::wstring OwnTitle = L"Editor \u2014 \u65e5\u672c.txt \u0101";

// Runs the real message queue at each yield but does not really pause: the display's 16 s of
// pauses would only slow the test down.
class WinPump : public platform::EventPump {
public:
    std::function<void()> onProcess;
    int processed = 0;
    void processMessages() override {
        ++processed;
        wintest::PumpMessages(0);
        if (onProcess)
            onProcess();
    }
    void sleep(int) override {}
};

// The real back end, with the window in front chosen by the test (the desktop's focus rules are
// not what is under test).
class FrontWindows : public platform::WinForeignWindows {
public:
    platform::WindowId front = 0;
    platform::WindowId foregroundWindow() override { return front; }
};

struct Rig {
    Rig()
        : services{store, clock, locale, codePage, boxes, beeper, pump, help, windows}, titleBar(services, handBack) {}
    fake::FakeFileSystem files;
    Store store{files};
    fake::FakeClock clock{platform::LocalTime{2026, 12, 7, 9, 30, 0, 0}};
    EnglishLocale locale;
    platform::WinCodePage codePage;
    fake::RecordingMessageBoxes boxes;
    fake::CountingBeeper beeper;
    WinPump pump;
    tw::fake::RecordingHelp help;
    FrontWindows windows;
    Services services;
    HandBack handBack{store};
    TitleBar titleBar;
};

ReminderRecord TitleReminder(std::string_view note) {
    ReminderRecord r{};
    r.Kind = KindTitle;
    r.Beep = 1;
    r.RemDate = 46363.0;
    r.RemTime = 0.5;
    SetNote(r, note);
    return r;
}

bool Contains(const std::wstring& s, const std::wstring& part) {
    return s.find(part) != std::wstring::npos;
}

} // namespace

TEST(WinTitleBar, SlidesTheNoteInAndRestoresTheExactTitle) {
    Rig rig;
    TestWindow win(OwnTitle);
    rig.windows.front = win.id();
    ReminderRecord& r = rig.store.CurrentReminder = TitleReminder("Call Ren\xe9");
    rig.titleBar.ShowInTitleBar(r);

    EXPECT_EQ(win.title(), OwnTitle) << "the window must get its own title back";
    EXPECT_EQ(r.RemDate, 0.0);
    EXPECT_EQ(rig.store.MonitorState, MonitorDone);
    EXPECT_FALSE(rig.titleBar.TitleModified);
    EXPECT_EQ(rig.beeper.beeps, 1);
    // The note was shown, converted from the ANSI code page, sliding in from the right.
    const auto shown = std::count_if(win.titlesSet.begin(), win.titlesSet.end(),
                                     [](const std::wstring& t) { return Contains(t, L" Call Ren\u00e9"); });
    EXPECT_GT(shown, 40);
    ASSERT_GE(win.titlesSet.size(), 2u);
    // While it shows, the title is the ANSI copy (lossy here); only the restore is exact.
    EXPECT_EQ(win.titlesSet.front().rfind(L"Editor ", 0), 0u);
    EXPECT_NE(win.titlesSet.front().rfind(OwnTitle, 0), 0u);
    EXPECT_EQ(win.titlesSet.back(), OwnTitle);
}

TEST(WinTitleBar, RestoresAnotherProgramsWindow) {
    Probe other({L"window", OwnTitle}, true);
    ASSERT_TRUE(other.ready());
    const HWND h = ::FindWindowW(L"TellwickProbeWindow", OwnTitle.c_str());
    ASSERT_NE(h, nullptr);
    ::ShowWindow(h, SW_RESTORE);
    Rig rig;
    rig.windows.front = reinterpret_cast<std::uintptr_t>(h);
    std::vector<std::wstring> seen;
    rig.pump.onProcess = [&] {
        wchar_t buf[300] = {};
        ::GetWindowTextW(h, buf, 300);
        if (seen.empty() || seen.back() != buf)
            seen.emplace_back(buf);
    };
    ReminderRecord& r = rig.store.CurrentReminder = TitleReminder("Meeting at ten");
    rig.titleBar.ShowInTitleBar(r);

    wchar_t back[300] = {};
    ::GetWindowTextW(h, back, 300);
    EXPECT_EQ(std::wstring(back), OwnTitle);
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](const std::wstring& t) { return Contains(t, L"Meeting"); }));
    EXPECT_EQ(rig.store.MonitorState, MonitorDone);
}

TEST(WinTitleBar, ShellRestoreInTheMiddleEndsTheDisplay) {
    Rig rig;
    TestWindow win(OwnTitle);
    rig.windows.front = win.id();
    std::size_t writesAtRestore = 0;
    rig.pump.onProcess = [&] {
        if (rig.pump.processed == 400 && rig.titleBar.TitleModified) {
            rig.titleBar.RestoreTitle(); // what the shell does at exit
            writesAtRestore = win.titlesSet.size();
        }
    };
    ReminderRecord& r = rig.store.CurrentReminder = TitleReminder("Interrupted");
    rig.titleBar.ShowInTitleBar(r);
    ASSERT_GT(writesAtRestore, 0u) << "the display ended before the restore";
    EXPECT_EQ(win.titlesSet.size(), writesAtRestore) << "nothing may be written after the restore";
    EXPECT_EQ(win.title(), OwnTitle);
    EXPECT_EQ(rig.store.MonitorState, MonitorDone);
}

TEST(WinTitleBar, WindowClosedMeanwhileEndsTheDisplay) {
    Rig rig;
    auto win = std::make_unique<TestWindow>(L"Short-lived");
    rig.windows.front = win->id();
    rig.pump.onProcess = [&] {
        if (rig.pump.processed == 300)
            win->destroy();
    };
    ReminderRecord& r = rig.store.CurrentReminder = TitleReminder("Gone");
    rig.titleBar.ShowInTitleBar(r);
    EXPECT_EQ(rig.store.MonitorState, MonitorDone);
    EXPECT_EQ(r.RemDate, 0.0);
    EXPECT_FALSE(rig.titleBar.TitleModified);
    EXPECT_TRUE(rig.boxes.shown.empty());
}
