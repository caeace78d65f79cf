// The user32 back ends on real windows under Wine: other programs' windows and their titles, the
// hot key, the taskbar rectangle and the work area, and the end of the session.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "WinTestSupport.h"
#include "platform/win32/WinDesktop.h"
#include "platform/win32/WinForeignWindows.h"
#include "platform/win32/WinText.h"
#include "tests/fakes/CountingListener.h"

using namespace tw::platform;
using tw::wintest::Probe;
using tw::wintest::PumpMessages;
using tw::wintest::TestWindow;

namespace {

// A title with characters that Windows-1252 cannot hold.
const std::wstring UnicodeTitle = L"R\u00e9sum\u00e9 \u2713 \u65e5\u672c \u0101";

std::string AnsiTitle(ForeignWindows& w, WindowId id) {
    char buf[256];
    const int n = w.getTitle(id, buf, 256);
    return std::string(buf, static_cast<std::size_t>(n));
}

} // namespace

TEST(WinForeignWindows, ReadsTheWindowTree) {
    WinForeignWindows w;
    TestWindow main(L"Main window");
    TestWindow popup(L"Owned popup", main.hwnd(), WS_POPUP | WS_CAPTION);
    ASSERT_TRUE(main.hwnd() && popup.hwnd());
    EXPECT_EQ(w.desktopWindow(), reinterpret_cast<std::uintptr_t>(::GetDesktopWindow()));
    EXPECT_TRUE(w.isVisible(main.id()));
    EXPECT_EQ(w.owner(main.id()), 0u);
    EXPECT_EQ(w.owner(popup.id()), main.id());
    EXPECT_EQ(w.parent(popup.id()), main.id());
    EXPECT_EQ(AnsiTitle(w, main.id()), "Main window");
    EXPECT_EQ(w.getTitleLength(main.id()), 11);

    ::SetForegroundWindow(main.hwnd());
    PumpMessages(50);
    EXPECT_EQ(w.foregroundWindow(), main.id());

    ::ShowWindow(main.hwnd(), SW_HIDE);
    EXPECT_FALSE(w.isVisible(main.id()));

    // A short buffer gets a cut title, always terminated.
    char small[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(w.getTitle(main.id(), small, 5), 4);
    EXPECT_STREQ(small, "Main");
    EXPECT_EQ(w.getTitle(main.id(), small, 0), 0);
}

TEST(WinForeignWindows, ClosedWindowReadsAsAbsent) {
    WinForeignWindows w;
    TestWindow win(L"Soon gone");
    const WindowId id = win.id();
    win.destroy();
    EXPECT_FALSE(w.isVisible(id));
    EXPECT_EQ(w.getTitleLength(id), 0);
    EXPECT_EQ(AnsiTitle(w, id), "");
    EXPECT_FALSE(w.setTitle(id, "note"));
    EXPECT_EQ(w.snapshotTitle(id), nullptr);
    EXPECT_FALSE(w.restoreTitle(id, WinTitleSnapshot(L"x")));
    EXPECT_FALSE(w.setTitle(0, "note"));
}

TEST(WinForeignWindows, RestoreGivesBackTheUnicodeTitleNotTheLossyAnsiCopy) {
    WinForeignWindows w;
    TestWindow win(UnicodeTitle);
    ASSERT_EQ(win.title(), UnicodeTitle);
    const std::string ansi = AnsiTitle(w, win.id());
    ASSERT_NE(ansi.find('?'), std::string::npos) << "the ANSI copy is expected to be lossy here";

    const auto snapshot = w.snapshotTitle(win.id());
    ASSERT_NE(snapshot, nullptr);
    ASSERT_TRUE(w.setTitle(win.id(), "Reminder: call back"));
    EXPECT_EQ(win.title(), L"Reminder: call back");
    ASSERT_TRUE(w.restoreTitle(win.id(), *snapshot));
    EXPECT_EQ(win.title(), UnicodeTitle);
    EXPECT_EQ(win.titlesSet.back(), UnicodeTitle);
}

TEST(WinForeignWindows, RestoresTheTitleOfAnotherProcess) {
    Probe other({L"window", UnicodeTitle}, true);
    ASSERT_TRUE(other.ready());
    const HWND h = ::FindWindowW(L"TellwickProbeWindow", UnicodeTitle.c_str());
    ASSERT_NE(h, nullptr);
    const WindowId id = reinterpret_cast<std::uintptr_t>(h);
    WinForeignWindows w;
    const auto snapshot = w.snapshotTitle(id);
    ASSERT_NE(snapshot, nullptr);
    ASSERT_TRUE(w.setTitle(id, "Note \xe9t\xe9"));
    EXPECT_EQ(AnsiTitle(w, id), "Note \xe9t\xe9");
    ASSERT_TRUE(w.restoreTitle(id, *snapshot));
    wchar_t back[128] = {};
    ::GetWindowTextW(h, back, 128);
    EXPECT_EQ(std::wstring(back), UnicodeTitle);
}

TEST(WinForeignWindows, HungWindowFailsTheWriteInsteadOfFreezing) {
    // A window whose thread stops answering messages.
    HWND hung = nullptr;
    HANDLE created = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread owner([&] {
        TestWindow win(L"Busy program");
        hung = win.hwnd();
        ::SetEvent(created);
        ::WaitForSingleObject(release, 30000); // no message loop meanwhile
    });
    ::WaitForSingleObject(created, 10000);
    ASSERT_NE(hung, nullptr);
    WinForeignWindows w;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(w.setTitle(reinterpret_cast<std::uintptr_t>(hung), "note"));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(WinForeignWindows::SetTitleTimeoutMs + 3000));
    ::SetEvent(release);
    owner.join();
    ::CloseHandle(created);
    ::CloseHandle(release);
}

TEST(WinHotKey, RegistersDeliversAndUnregisters) {
    TestWindow win(L"Main");
    WinHotKey key(reinterpret_cast<std::uintptr_t>(win.hwnd()));
    tw::fake::CountingListener presses;
    win.onMessage = [&](UINT msg, WPARAM wp) {
        key.handleMessage(reinterpret_cast<std::uintptr_t>(win.hwnd()), msg, wp);
    };
    ASSERT_TRUE(key.registerHotKey(presses));
    EXPECT_TRUE(key.registered());

    // Ctrl+F2 pressed on the keyboard.
    INPUT in[4] = {};
    for (auto& i : in)
        i.type = INPUT_KEYBOARD;
    in[0].ki.wVk = VK_CONTROL;
    in[1].ki.wVk = VK_F2;
    in[2].ki.wVk = VK_F2;
    in[2].ki.dwFlags = KEYEVENTF_KEYUP;
    in[3].ki.wVk = VK_CONTROL;
    in[3].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SetForegroundWindow(win.hwnd());
    ASSERT_EQ(::SendInput(4, in, sizeof(INPUT)), 4u);
    for (int i = 0; i < 40 && presses.hotKeyPresses == 0; ++i)
        PumpMessages(25);
    EXPECT_EQ(presses.hotKeyPresses, 1);

    // Only this window's hot key counts.
    EXPECT_FALSE(key.handleMessage(reinterpret_cast<std::uintptr_t>(win.hwnd()), WM_HOTKEY, 7));
    EXPECT_FALSE(key.handleMessage(0, WM_HOTKEY, WinHotKey::HotKeyId));
    EXPECT_FALSE(key.handleMessage(reinterpret_cast<std::uintptr_t>(win.hwnd()), WM_KEYDOWN, VK_F2));

    // The main window gets a new native window: the key follows it.
    TestWindow moved(L"Main, new handle");
    int movedPresses = 0;
    moved.onMessage = [&](UINT msg, WPARAM wp) {
        if (key.handleMessage(reinterpret_cast<std::uintptr_t>(moved.hwnd()), msg, wp))
            ++movedPresses;
    };
    ASSERT_TRUE(key.setWindow(reinterpret_cast<std::uintptr_t>(moved.hwnd())));
    ::SetForegroundWindow(moved.hwnd());
    ASSERT_EQ(::SendInput(4, in, sizeof(INPUT)), 4u);
    for (int i = 0; i < 40 && movedPresses == 0; ++i)
        PumpMessages(25);
    EXPECT_EQ(movedPresses, 1);
    EXPECT_EQ(presses.hotKeyPresses, 2);

    key.unregisterHotKey();
    EXPECT_FALSE(key.registered());
    EXPECT_FALSE(key.handleMessage(reinterpret_cast<std::uintptr_t>(moved.hwnd()), WM_HOTKEY, WinHotKey::HotKeyId));
    // Free again: another window can take it.
    TestWindow other(L"Other");
    EXPECT_TRUE(::RegisterHotKey(other.hwnd(), 5, MOD_CONTROL, VK_F2));
    ::UnregisterHotKey(other.hwnd(), 5);
}

TEST(WinHotKey, KeyTakenByAnotherProgramIsRefusedSilently) {
    Probe holder({L"hotkey"}, true);
    ASSERT_TRUE(holder.ready()) << "the probe could not register Ctrl+F2";
    TestWindow win(L"Main");
    const auto windowsBefore = [] {
        int n = 0;
        ::EnumThreadWindows(
            ::GetCurrentThreadId(),
            [](HWND h, LPARAM p) -> BOOL {
                if (::IsWindowVisible(h))
                    ++*reinterpret_cast<int*>(p);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&n));
        return n;
    };
    const int before = windowsBefore();
    WinHotKey key(reinterpret_cast<std::uintptr_t>(win.hwnd()));
    tw::fake::CountingListener called;
    EXPECT_FALSE(key.registerHotKey(called));
    EXPECT_FALSE(key.registered());
    PumpMessages(50);
    EXPECT_EQ(windowsBefore(), before) << "nothing may be shown";
    EXPECT_EQ(called.hotKeyPresses, 0);
    key.unregisterHotKey(); // harmless when not registered

    // Once the other program lets go, registration works.
    holder.quit();
    EXPECT_EQ(holder.wait(), 0u);
    EXPECT_TRUE(key.registerHotKey(called));
}

TEST(WinDesktopGeometry, TaskbarRectangleAndWorkArea) {
    WinDesktopGeometry geometry;
    const Rect work = geometry.workArea();
    EXPECT_GT(work.right - work.left, 0);
    EXPECT_GT(work.bottom - work.top, 0);
    EXPECT_LE(work.right - work.left, ::GetSystemMetrics(SM_CXSCREEN));

    if (const HWND existing = ::FindWindowA("Shell_TrayWnd", nullptr)) {
        // The system has a taskbar of its own (Wine's, for one): its rectangle is the answer.
        RECT rc{};
        ASSERT_TRUE(::GetWindowRect(existing, &rc));
        EXPECT_EQ(geometry.trayPanelRect(), (Rect{rc.left, rc.top, rc.right, rc.bottom}));
        return;
    }
    EXPECT_FALSE(geometry.trayPanelRect().has_value());
    {
        TestWindow panel(L"", nullptr, WS_POPUP, L"Shell_TrayWnd", RECT{0, 760, 1280, 800});
        ASSERT_NE(panel.hwnd(), nullptr);
        const auto rect = geometry.trayPanelRect();
        ASSERT_TRUE(rect.has_value());
        EXPECT_EQ(*rect, (Rect{0, 760, 1280, 800}));
        EXPECT_EQ(HotKeyMenuPosition(rect, work), (Point{1216, 760}));
    }
    EXPECT_FALSE(geometry.trayPanelRect().has_value());
}

TEST(WinSessionEnd, SavesOncePerEndingSessionAndRefusesWhileUnsaved) {
    int saves = 0;
    bool saveWorks = true;
    WinSessionEnd session(
        [&] {
            ++saves;
            return saveWorks;
        },
        300);
    TestWindow win(L"Main");
    TestWindow log(L"Log");
    // The filter answers the query for every top-level window of the program.
    std::optional<bool> got;
    auto answer = [&](TestWindow& w, UINT msg, WPARAM wp) {
        w.onMessage = [&](UINT m, WPARAM p) { got = session.handleMessage(m, p); };
        got.reset();
        ::SendMessageW(w.hwnd(), msg, wp, 0);
        return got;
    };

    EXPECT_EQ(answer(win, WM_QUERYENDSESSION, 0), std::optional<bool>(true));
    EXPECT_EQ(answer(log, WM_QUERYENDSESSION, 0), std::optional<bool>(true));
    EXPECT_EQ(saves, 1) << "one save for all windows";
    EXPECT_EQ(answer(win, WM_ENDSESSION, TRUE), std::nullopt) << "the end goes on to the toolkit";
    EXPECT_EQ(saves, 1) << "saved at the query already";

    // The end is cancelled; the next one saves again, and a failed save refuses it once, quietly
    // for the other windows, and tries again when the user asks again later.
    answer(win, WM_ENDSESSION, FALSE);
    saveWorks = false;
    EXPECT_EQ(answer(win, WM_QUERYENDSESSION, 0), std::optional<bool>(false));
    EXPECT_EQ(answer(log, WM_QUERYENDSESSION, 0), std::optional<bool>(false));
    EXPECT_EQ(saves, 2);
    ::Sleep(400);
    saveWorks = true;
    EXPECT_EQ(answer(log, WM_QUERYENDSESSION, 0), std::optional<bool>(true));
    EXPECT_EQ(saves, 3);
    EXPECT_TRUE(session.saved());

    // A query from inside the save (its error box runs a message loop) is refused, not saved twice.
    WinSessionEnd nested(
        [&] {
            ++saves;
            EXPECT_EQ(nested.handleMessage(WM_QUERYENDSESSION, 0), std::optional<bool>(false));
            return true;
        },
        300);
    EXPECT_EQ(nested.handleMessage(WM_QUERYENDSESSION, 0), std::optional<bool>(true));
    EXPECT_EQ(saves, 4);

    // An end that comes without a query still saves, once.
    int late = 0;
    WinSessionEnd direct([&] {
        ++late;
        return true;
    });
    direct.handleMessage(WM_ENDSESSION, TRUE);
    direct.handleMessage(WM_ENDSESSION, TRUE);
    EXPECT_EQ(late, 1);
}
