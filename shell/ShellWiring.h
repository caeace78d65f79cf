// The other windows of the program and how the main window reaches them: main builds one
// ShellWiring after the main window's FormCreate, which creates the pop-up and the about box hidden,
// the editor, the list and the log window once each at their first use, and connects the main
// window's menu signals to them.
#pragma once

#include <QIcon>
#include <memory>

#include "platform/LocalTimeZone.h"
#include "shell/MainWindow.h"

namespace tw {

class TRem_Pop;
class Tf_Reminder;
class TPagesDlg;
class TSysLog;
class TAboutBox;

// The application icon "MAINICON" in every size the program ships.
QIcon MainIcon();

class ShellWiring {
public:
    ShellWiring(TRMForm& form, Services& services);
    ~ShellWiring();
    ShellWiring(const ShellWiring&) = delete;
    ShellWiring& operator=(const ShellWiring&) = delete;

    // Repeating reminders in the local time zone, and the "Missed reminders" notice from the tray
    // icon, whose click opens the list on its expired page.
    void wireRepeats(Services& services, const platform::LocalTimeZone& zone);

private:
    struct Owned;
    std::unique_ptr<Owned> m_owned;
};

} // namespace tw
