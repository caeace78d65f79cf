// The other windows, created once in the order of start-up, and their connections to the main window.
#include "shell/ShellWiring.h"

#include "activity/ActivityLogWindow.h"
#include "dialogs/ReminderEditor.h"
#include "dialogs/ReminderListWindow.h"
#include "dialogs/ReminderPopup.h"
#include "engine/MissedNotice.h"
#include "engine/ReminderEngine.h"
#include "resources/icons/Icons.h"
#include "shell/AboutBox.h"

namespace tw {

QIcon MainIcon() {
    return LoadIconByName("MAINICON");
}

struct ShellWiring::Owned : platform::NoticeListener {
    Services* services = nullptr;
    const platform::LocalTimeZone* zone = nullptr; // for the editor's quick entry
    std::unique_ptr<Tf_Reminder> editor;
    std::unique_ptr<TRem_Pop> popUp;
    std::unique_ptr<TAboutBox> aboutBox;
    std::unique_ptr<TPagesDlg> list;
    std::unique_ptr<TSysLog> activityLog;
    std::unique_ptr<MissedNotice> missedNotice;
    TRMForm* form = nullptr;
    QObject connections; // the receiver of the menu signals: they end with the wiring

    // The editor, the list and the log window are built at their first use, then kept: on the bare
    // desktop the three cost 1.9 MB of resident memory that a user who never opens them would carry
    // all day.
    Tf_Reminder& theEditor() {
        if (!editor) {
            editor = std::make_unique<Tf_Reminder>(*services);
            if (zone != nullptr)
                editor->setTimeZone(*zone);
        }
        return *editor;
    }
    TPagesDlg& theList() {
        if (!list)
            list = std::make_unique<TPagesDlg>(*services, theEditor());
        return *list;
    }
    TSysLog& theLog() {
        if (!activityLog) {
            activityLog = std::make_unique<TSysLog>(*services);
            QObject::connect(activityLog.get(), &TSysLog::aboutRequested, form, &TRMForm::About1Click);
        }
        return *activityLog;
    }
    // A click on the "Missed reminders" notice opens the list on its expired page.
    void noticeClicked() override { theList().ShowExpired(); }
};

ShellWiring::ShellWiring(TRMForm& form, Services& services) : m_owned(std::make_unique<Owned>()) {
    Owned& p = *m_owned;
    p.form = &form;
    p.services = &services;
    p.popUp = std::make_unique<TRem_Pop>(services, form.engine().handBack);
    form.engine().attachPopUp(p.popUp->logic());
    p.aboutBox = std::make_unique<TAboutBox>(MainIcon(), services.help);
    QObject::connect(&form, &TRMForm::aboutRequested, p.aboutBox.get(), &TAboutBox::bringUp);

    QObject::connect(&form, &TRMForm::newReminderRequested, &p.connections, [&p] { p.theEditor().ShowNew(); });
    QObject::connect(&form, &TRMForm::listRequested, &p.connections, [&p] { p.theList().Show(); });
    QObject::connect(&form, &TRMForm::viewLogRequested, &p.connections, [&p] { p.theLog().viewLog(); });
    QObject::connect(&form, &TRMForm::activitySampleDue, &p.connections, [&p] { p.theLog().armSample(); });
    QObject::connect(&form, &TRMForm::activityLogToggled, &p.connections,
                     [&p](bool on) { p.theLog().setActivityLogEnabled(on); });
}

void ShellWiring::wireRepeats(Services& services, const platform::LocalTimeZone& zone) {
    Owned& p = *m_owned;
    RepeatingReminders& repeats = p.form->engine().monitor.repeats();
    repeats.setTimeZone(zone);
    p.zone = &zone;
    if (p.editor)
        p.editor->setTimeZone(zone);
    platform::Notifier& notifier = p.form->notifier();
    notifier.setListener(&p);
    p.missedNotice = std::make_unique<MissedNotice>(services.store, services.locale, services.codePage, notifier);
    repeats.setMissedListener(p.missedNotice.get());
}

ShellWiring::~ShellWiring() {
    m_owned->form->engine().monitor.repeats().setMissedListener(nullptr);
    m_owned->form->notifier().setListener(nullptr);
    m_owned->missedNotice.reset();
    // The list before the editor it hands reminders to.
    m_owned->activityLog.reset();
    m_owned->list.reset();
    m_owned->aboutBox.reset();
    m_owned->popUp.reset();
    m_owned->editor.reset();
}

} // namespace tw
