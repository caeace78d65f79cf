// The program's application window on Windows: a hidden top-level window titled "Tellwick" of its
// own class, which a second copy of the program finds and brings to the front
// (WinInstanceGuard::activateFirstCopy). When it is activated that way, it hands over to the
// program's own windows through onActivated, on the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tw::platform {

class WinApplicationWindow {
public:
    static constexpr const wchar_t* ClassName = L"TellwickApplication";

    explicit WinApplicationWindow(std::function<void()> onActivated, const std::wstring& title = L"Tellwick");
    ~WinApplicationWindow();
    WinApplicationWindow(const WinApplicationWindow&) = delete;
    WinApplicationWindow& operator=(const WinApplicationWindow&) = delete;

    // The HWND; 0 when the window could not be created.
    std::uintptr_t window() const { return m_window; }

    // Called from the window procedure.
    void activated();

private:
    std::function<void()> m_onActivated;
    std::uintptr_t m_window = 0;
};

} // namespace tw::platform
