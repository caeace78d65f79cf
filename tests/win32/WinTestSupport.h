// Helpers for the tests of the Win32 back ends under Wine: a scratch working directory, real
// top-level windows that record the titles they are given, a message pump, and the probe process
// (win32_probe.exe beside the test) that plays "another program".
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tw::wintest {

// A fresh directory that is the working directory while the object lives.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    // The names of the files and folders in it, sorted.
    std::vector<std::string> entries() const;

private:
    std::filesystem::path m_path;
    std::filesystem::path m_previous;
};

// A visible top-level window of this thread with a Unicode title. Every WM_SETTEXT it receives
// is recorded in UTF-16.
class TestWindow {
public:
    explicit TestWindow(const std::wstring& title, HWND owner = nullptr, DWORD style = WS_OVERLAPPEDWINDOW,
                        const wchar_t* className = nullptr, RECT rect = {100, 100, 500, 400});
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND hwnd() const { return m_hwnd; }
    std::uint64_t id() const { return reinterpret_cast<std::uintptr_t>(m_hwnd); }
    std::wstring title() const;
    void destroy();

    std::vector<std::wstring> titlesSet;
    std::vector<UINT> messages; // WM_HOTKEY, WM_QUERYENDSESSION and WM_ENDSESSION, as they came
    std::function<void(UINT, WPARAM)> onMessage;

private:
    static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM);
    HWND m_hwnd = nullptr;
};

// Dispatches this thread's messages for about ms milliseconds (at least once).
void PumpMessages(int ms);

// A running win32_probe.exe; its process is ended when the object goes (if it still runs).
class Probe {
public:
    // Starts the probe with the arguments; waits for it to report ready when it holds something.
    explicit Probe(const std::vector<std::wstring>& args, bool waitReady);
    ~Probe();
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;
    // Waits for the probe's exit and gives its exit code (~0u on timeout).
    DWORD wait(DWORD ms = 20000);
    // Tells a holding probe to end.
    void quit();
    void kill();
    bool ready() const { return m_ready; }
    DWORD pid() const { return m_pi.dwProcessId; }

private:
    PROCESS_INFORMATION m_pi{};
    HANDLE m_readyEvent = nullptr;
    HANDLE m_quitEvent = nullptr;
    bool m_ready = false;
};

// Runs the probe to its end and gives its exit code.
DWORD RunProbe(const std::vector<std::wstring>& args);

} // namespace tw::wintest
