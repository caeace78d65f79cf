// The helpers of the Win32 tests: scratch folder, recording windows, message pump and probe process.
#include "WinTestSupport.h"

#include <algorithm>
#include <atomic>

namespace tw::wintest {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    static std::atomic<int> counter{0};
    m_previous = fs::current_path();
    m_path = fs::temp_directory_path() /
             ("tellwick-test-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter));
    fs::remove_all(m_path);
    fs::create_directories(m_path);
    fs::current_path(m_path);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::current_path(m_previous, ec);
    // Read-only files would stop remove_all.
    for (const auto& e : fs::recursive_directory_iterator(m_path, ec))
        ::SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(m_path, ec);
}

std::vector<std::string> ScratchDir::entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(m_path))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

const wchar_t* DefaultClass() {
    static const wchar_t* name = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TellwickTestWindow";
        ::RegisterClassExW(&wc);
        return L"TellwickTestWindow";
    }();
    return name;
}

} // namespace

TestWindow::TestWindow(const std::wstring& title, HWND owner, DWORD style, const wchar_t* className, RECT rect) {
    if (className) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = className;
        ::RegisterClassExW(&wc); // fails harmlessly when it exists
    }
    m_hwnd = ::CreateWindowExW(0, className ? className : DefaultClass(), title.c_str(), style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, owner, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
    if (!m_hwnd)
        return;
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TestWindow::proc));
    ::ShowWindow(m_hwnd, SW_SHOWNORMAL);
    ::SetForegroundWindow(m_hwnd);
    PumpMessages(20);
}

TestWindow::~TestWindow() {
    destroy();
}

void TestWindow::destroy() {
    if (m_hwnd) {
        ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        ::DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
}

std::wstring TestWindow::title() const {
    const int n = ::GetWindowTextLengthW(m_hwnd);
    std::wstring t(static_cast<std::size_t>(n) + 1, L'\0');
    t.resize(static_cast<std::size_t>(::GetWindowTextW(m_hwnd, t.data(), n + 1)));
    return t;
}

LRESULT CALLBACK TestWindow::proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TestWindow*>(::GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self) {
        if (msg == WM_SETTEXT && lp)
            self->titlesSet.emplace_back(reinterpret_cast<const wchar_t*>(lp));
        if (msg == WM_HOTKEY || msg == WM_QUERYENDSESSION || msg == WM_ENDSESSION) {
            self->messages.push_back(msg);
            if (self->onMessage)
                self->onMessage(msg, wp);
            return msg == WM_QUERYENDSESSION ? TRUE : 0;
        }
    }
    return ::DefWindowProcW(h, msg, wp, lp);
}

void PumpMessages(int ms) {
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
    do {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
        if (::GetTickCount64() >= end)
            break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (true);
}

namespace {

std::wstring ProbePath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return (fs::path(self).parent_path() / L"win32_probe.exe").wstring();
}

std::wstring Quote(const std::wstring& s) {
    std::wstring q = L"\"";
    for (wchar_t c : s) {
        if (c == L'"')
            q += L'\\';
        q += c;
    }
    return q + L"\"";
}

} // namespace

Probe::Probe(const std::vector<std::wstring>& args, bool waitReady) {
    static std::atomic<int> counter{0};
    const std::wstring token =
        L"TellwickProbe" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    m_readyEvent = ::CreateEventW(nullptr, TRUE, FALSE, (token + L"Ready").c_str());
    m_quitEvent = ::CreateEventW(nullptr, TRUE, FALSE, (token + L"Quit").c_str());
    std::wstring cmd = Quote(ProbePath()) + L" " + token;
    for (const auto& a : args)
        cmd += L" " + Quote(a);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi))
        return;
    if (waitReady) {
        HANDLE both[2] = {m_readyEvent, m_pi.hProcess};
        m_ready = ::WaitForMultipleObjects(2, both, FALSE, 20000) == WAIT_OBJECT_0;
    }
}

Probe::~Probe() {
    if (m_pi.hProcess) {
        quit();
        if (::WaitForSingleObject(m_pi.hProcess, 5000) != WAIT_OBJECT_0)
            kill();
        ::CloseHandle(m_pi.hProcess);
        ::CloseHandle(m_pi.hThread);
    }
    ::CloseHandle(m_readyEvent);
    ::CloseHandle(m_quitEvent);
}

DWORD Probe::wait(DWORD ms) {
    if (!m_pi.hProcess || ::WaitForSingleObject(m_pi.hProcess, ms) != WAIT_OBJECT_0)
        return ~0u;
    DWORD code = ~0u;
    ::GetExitCodeProcess(m_pi.hProcess, &code);
    return code;
}

void Probe::quit() {
    ::SetEvent(m_quitEvent);
}

void Probe::kill() {
    if (m_pi.hProcess) {
        ::TerminateProcess(m_pi.hProcess, 9);
        ::WaitForSingleObject(m_pi.hProcess, 5000);
    }
}

DWORD RunProbe(const std::vector<std::wstring>& args) {
    Probe p(args, false);
    return p.wait();
}

} // namespace tw::wintest
