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

struct ShellWiring::Owned {
    std::unique_ptr<Tf_Reminder> editor;
    std::unique_ptr<TRem_Pop> popUp;
    std::unique_ptr<TAboutBox> aboutBox;
    std::unique_ptr<TPagesDlg> list;
    std::unique_ptr<TSysLog> activityLog;
    std::unique_ptr<MissedNotice> missedNotice;
    TRMForm* form = nullptr;
};

ShellWiring::ShellWiring(TRMForm& form, Services& services) : m_owned(std::make_unique<Owned>()) {
    Owned& p = *m_owned;
    p.form = &form;
    p.editor = std::make_unique<Tf_Reminder>(services);
    p.popUp = std::make_unique<TRem_Pop>(services, form.engine().handBack);
    form.engine().attachPopUp(p.popUp->logic());
    p.aboutBox = std::make_unique<TAboutBox>(MainIcon(), services.help);
    form.setAboutBox(p.aboutBox.get());
    p.list = std::make_unique<TPagesDlg>(services, *p.editor);
    p.activityLog = std::make_unique<TSysLog>(services);

    Tf_Reminder* editor = p.editor.get();
    TPagesDlg* list = p.list.get();
    TSysLog* log = p.activityLog.get();
    QObject::connect(&form, &TRMForm::newReminderRequested, editor, &Tf_Reminder::ShowNew);
    QObject::connect(&form, &TRMForm::listRequested, list, &TPagesDlg::Show);
    QObject::connect(&form, &TRMForm::viewLogRequested, log, &TSysLog::viewLog);
    QObject::connect(&form, &TRMForm::activitySampleDue, log, &TSysLog::armSample);
    QObject::connect(&form, &TRMForm::activityLogToggled, log, &TSysLog::setActivityLogEnabled);
    QObject::connect(log, &TSysLog::aboutRequested, &form, &TRMForm::About1Click);
}

void ShellWiring::wireRepeats(Services& services, const platform::LocalTimeZone& zone) {
    Owned& p = *m_owned;
    RepeatingReminders& repeats = p.form->engine().monitor.repeats();
    repeats.setTimeZone(zone);
    p.editor->setTimeZone(zone);
    platform::Notifier& notifier = p.form->notifier();
    notifier.setClickHandler([l = p.list.get()] { l->ShowExpired(); });
    p.missedNotice = std::make_unique<MissedNotice>(services.store, services.locale, services.codePage, notifier);
    repeats.setMissedHandler([n = p.missedNotice.get()](const MissedReport& r) { n->report(r); });
}

ShellWiring::~ShellWiring() {
    m_owned->form->engine().monitor.repeats().setMissedHandler({});
    m_owned->missedNotice.reset();
    // In the reverse order of their creation.
    m_owned->activityLog.reset();
    m_owned->list.reset();
    m_owned->aboutBox.reset();
    m_owned->popUp.reset();
    m_owned->editor.reset();
}

} // namespace tw
