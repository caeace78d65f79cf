// "Another program" for the Win32 tests: started by a test with a token naming two events
// (token + "Ready", token + "Quit") and a mode.
//   guard PATH      takes the single-instance guard for PATH; exit 0 when it was free, 1 when not
//   hold PATH       takes the guard, reports ready and holds it until told to quit
//   hotkey          registers Ctrl+F2 on a window of its own, reports ready, holds it until quit
//   window TITLE    shows a window with the title (minimised), reports ready, runs until quit
//   listen PATH     listens on the single-instance channel for PATH, reports ready, takes messages
//                   until one says "quit" (an "echo" is refused with its argument as the line);
//                   exit 10 + the number of messages taken, 4 when told to quit before that
#include <windows.h>

#include <shellapi.h>
#include <string>

#include "platform/SingleInstance.h"
#include "platform/win32/WinInstanceChannel.h"
#include "platform/win32/WinInstanceGuard.h"

namespace {

HANDLE g_quit = nullptr;

void ready(const std::wstring& token) {
    if (HANDLE e = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, (token + L"Ready").c_str())) {
        ::SetEvent(e);
        ::CloseHandle(e);
    }
}

// Runs the message loop until the quit event is set or done becomes true (at most a minute).
void runUntilQuit(const bool& done = false) {
    const ULONGLONG end = ::GetTickCount64() + 60000;
    while (!done && ::GetTickCount64() < end) {
        const DWORD w = ::MsgWaitForMultipleObjects(1, &g_quit, FALSE, 100, QS_ALLINPUT);
        if (w == WAIT_OBJECT_0)
            return;
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
    }
}

HWND makeWindow(const std::wstring& title) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TellwickProbeWindow";
    ::RegisterClassExW(&wc);
    return ::CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 200, 200, 300, 200, nullptr,
                             nullptr, wc.hInstance, nullptr);
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 3)
        return 64;
    const std::wstring token = argv[1];
    const std::wstring mode = argv[2];
    g_quit = ::OpenEventW(SYNCHRONIZE, FALSE, (token + L"Quit").c_str());
    if (!g_quit)
        return 65;

    if ((mode == L"guard" || mode == L"hold") && argc >= 4) {
        tw::platform::WinInstanceGuard guard;
        const std::string id = tw::platform::WinInstanceIdentifier(argv[3]);
        if (!guard.acquire(id))
            return 1;
        if (mode == L"hold") {
            ready(token);
            runUntilQuit();
        }
        return 0;
    }
    if (mode == L"hotkey") {
        HWND w = makeWindow(L"probe");
        if (!::RegisterHotKey(w, 123, MOD_CONTROL, VK_F2))
            return 2;
        ready(token);
        runUntilQuit();
        ::UnregisterHotKey(w, 123);
        return 0;
    }
    if (mode == L"listen" && argc >= 4) {
        tw::platform::WinInstanceChannel channel;
        if (!channel.listen(tw::platform::WinInstanceIdentifier(argv[3])))
            return 2;
        ready(token);
        int taken = 0;
        bool done = false;
        HANDLE waits[2] = {g_quit, reinterpret_cast<HANDLE>(channel.readyHandle())};
        const ULONGLONG end = ::GetTickCount64() + 60000;
        while (!done && ::GetTickCount64() < end) {
            const DWORD w = ::WaitForMultipleObjects(2, waits, FALSE, 100);
            if (w == WAIT_OBJECT_0)
                return 4;
            if (w == WAIT_OBJECT_0 + 1)
                channel.serve([&](const tw::platform::InstanceMessage& m) {
                    ++taken;
                    done = m.verb == "quit";
                    if (m.verb == "echo")
                        return tw::platform::InstanceAnswer(tw::platform::InstanceReply::Refused, m.argument);
                    return tw::platform::InstanceAnswer(tw::platform::InstanceReply::Done);
                });
        }
        return 10 + taken;
    }
    if (mode == L"window" && argc >= 4) {
        HWND w = makeWindow(argv[3]);
        ::ShowWindow(w, SW_SHOWMINIMIZED);
        ready(token);
        runUntilQuit();
        return ::IsIconic(w) ? 3 : 0;
    }
    return 64;
}
