// Other programs' top-level windows, as the title-bar display and the activity sampler need them.
// Window ids are opaque numbers (an X11 window id, a Windows HWND); 0 is "no window".
// Titles cross this interface as bytes of the files' ANSI code page.
#pragma once

#include <cstdint>
#include <memory>

namespace tw::platform {

using WindowId = std::uint64_t;

// The exact title of a window as its program set it, kept so that it can be given back unchanged
// (on X11 the raw title properties, on Windows the Unicode title). Opaque to callers.
class TitleSnapshot {
public:
    virtual ~TitleSnapshot() = default;
};

class ForeignWindows {
public:
    virtual ~ForeignWindows() = default;

    virtual WindowId foregroundWindow() = 0;
    virtual WindowId desktopWindow() = 0;
    virtual bool isVisible(WindowId w) = 0;
    // The owner window (WM_TRANSIENT_FOR, GW_OWNER); 0 when there is none.
    virtual WindowId owner(WindowId w) = 0;
    // The parent of a child window or the owner of an owned window; 0 or the desktop at the top.
    virtual WindowId parent(WindowId w) = 0;
    // Copies at most bufferSize-1 title bytes and a terminating null into buffer and returns how
    // many were copied: 0 when there is no title or no window (GetWindowTextA).
    virtual int getTitle(WindowId w, char* buffer, int bufferSize) = 0;
    // The title's length in ANSI bytes; 0 when there is no title or no window.
    virtual int getTitleLength(WindowId w) = 0;
    // Sets the title from null-terminated ANSI bytes; false on failure (window gone).
    virtual bool setTitle(WindowId w, const char* ansiTitle) = 0;
    // Takes the exact title for restoreTitle; null when the window is gone.
    virtual std::unique_ptr<TitleSnapshot> snapshotTitle(WindowId w) = 0;
    // Gives a window back the exact title of a snapshot; false on failure.
    virtual bool restoreTitle(WindowId w, const TitleSnapshot& snapshot) = 0;
    // False where the desktop lets programs read other windows but not change their titles
    // (Wayland): title reminders are then shown as pop-ups.
    virtual bool canSetTitles() const { return true; }
};

} // namespace tw::platform
