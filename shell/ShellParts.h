// The adapter between the shell and the other parts of the program: the engine's displays and
// tray logic, the dialogs and the activity log. main builds one ShellParts, and the main window
// reaches every other part through the seams it fills in. A part that is not built in yet is
// covered by a plain stand-in here, so the program always runs.
#pragma once

#include <QIcon>
#include <memory>

#include "shell/Unit1.h"

namespace tw {

class TAboutBox;
class Monitor;

// The application icon "MAINICON" in every size the program ships.
QIcon MainIcon();

class ShellParts {
public:
    explicit ShellParts(bool x11);
    ~ShellParts();
    ShellParts(const ShellParts&) = delete;
    ShellParts& operator=(const ShellParts&) = delete;

    // Other programs' windows; null without an X11 display.
    platform::ForeignWindows* foreignWindows() const;
    // Before FormCreate: the tray logic, the monitor and the displays it hands reminders to.
    void wireMainWindow(TRMForm& form, Services& services, ShellSeams& seams);
    // After FormCreate: the editor, the pop-up, the list and the log window, created hidden.
    void createWindows(TRMForm& form, Services& services, TAboutBox& about, ShellSeams& seams);

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

} // namespace tw
