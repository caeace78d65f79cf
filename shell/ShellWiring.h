// The adapter between the shell and the other parts of the program: the engine's displays and
// tray logic, the dialogs and the activity log. main builds one ShellWiring, and the main window
// reaches every other part through the seams it fills in.
#pragma once

#include <QIcon>
#include <memory>

#include "platform/LocalTimeZone.h"
#include "shell/Unit1.h"

namespace tw {

class TRem_Pop;
class Tf_Reminder;
class TPagesDlg;
class TSysLog;

// The application icon "MAINICON" in every size the program ships.
QIcon MainIcon();

class ShellWiring {
public:
    ShellWiring();
    ~ShellWiring();
    ShellWiring(const ShellWiring&) = delete;
    ShellWiring& operator=(const ShellWiring&) = delete;

    // Before FormCreate: the tray logic over the main window's icon, the monitor, the activation
    // with its three displays, and the title-bar state.
    void wireMainWindow(TRMForm& form, Services& services, ShellSeams& seams);
    // After FormCreate: the editor, the pop-up, the list and the log window, created once, hidden.
    void createWindows(TRMForm& form, Services& services, ShellSeams& seams);
    // After createWindows: repeating reminders in the local time zone, and the "Missed reminders"
    // notice from the tray icon, whose click opens the list on its expired page.
    void wireRepeats(TRMForm& form, Services& services, const platform::LocalTimeZone& zone);

    TRem_Pop* popUp() const;
    Tf_Reminder* editor() const;
    TPagesDlg* list() const;
    TSysLog* activityLog() const;

private:
    struct Owned;
    std::unique_ptr<Owned> m_owned;
};

} // namespace tw
