// Other programs' top-level windows through user32. Titles cross the interface as ANSI bytes
// (GetWindowTextA); a snapshot keeps the window's own Unicode title (GetWindowTextW), so that a
// restored title keeps characters the ANSI code page cannot hold.
#pragma once

#include <string>

#include "platform/ForeignWindows.h"

namespace tw::platform {

class WinTitleSnapshot : public TitleSnapshot {
public:
    explicit WinTitleSnapshot(std::wstring title) : m_title(std::move(title)) {}
    const std::wstring& title() const { return m_title; }

private:
    std::wstring m_title;
};

class WinForeignWindows : public ForeignWindows {
public:
    // A title is set by a message to the window's thread; a program that does not answer within
    // this many milliseconds counts as a failed write instead of freezing ours.
    static constexpr unsigned SetTitleTimeoutMs = 2000;

    WindowId foregroundWindow() override;
    WindowId desktopWindow() override;
    bool isVisible(WindowId w) override;
    WindowId owner(WindowId w) override;
    WindowId parent(WindowId w) override;
    int getTitle(WindowId w, char* buffer, int bufferSize) override;
    int getTitleLength(WindowId w) override;
    bool setTitle(WindowId w, const char* ansiTitle) override;
    std::unique_ptr<TitleSnapshot> snapshotTitle(WindowId w) override;
    bool restoreTitle(WindowId w, const TitleSnapshot& snapshot) override;
};

} // namespace tw::platform
