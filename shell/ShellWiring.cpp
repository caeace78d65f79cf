#include "shell/ShellWiring.h"

#include "activity/hwn.h"
#include "dialogs/Rem.h"
#include "dialogs/Unit2.h"
#include "engine/EngineWiring.h"
#include "engine/MissedNotice.h"
#include "engine/Monitor.h"
#include "engine/ReminderActivation.h"
#include "engine/TitleBar.h"
#include "engine/TrayIconStates.h"
#include "platform/qt/TrayIcon.h"
#include "platform/qt/TrayNotifier.h"
#include "resources/icons/Icons.h"

namespace tw {

namespace {

// The engine's tray logic as the main window asks for it.
class EngineTrayLogic : public TrayLogic {
public:
    explicit EngineTrayLogic(TrayIconStates& states) : m_states(states) {}
    void Check_Ikon() override { m_states.Check_Ikon(); }
    void Icon_Tray_Hide() override { m_states.Icon_Tray_Hide(); }
    void RxTrayIcon1Click() override { m_states.RxTrayIcon1Click(); }
    void Flash_TimerTimer() override { m_states.Flash_TimerTimer(); }

private:
    TrayIconStates& m_states;
};

} // namespace

QIcon MainIcon() {
    return LoadIconByName("MAINICON");
}

struct ShellWiring::Owned {
    std::unique_ptr<platform::QtTrayIcon> trayIcon;
    std::unique_ptr<platform::QtOneShotTimer> flashTimer;
    std::unique_ptr<TrayIconStates> trayStates;
    std::unique_ptr<EngineTrayLogic> trayLogic;
    std::unique_ptr<TitleBar> titleBar;
    std::unique_ptr<ReminderActivation> activation;
    std::unique_ptr<Monitor> monitor;
    std::unique_ptr<platform::TrayNotifier> notifier;
    std::unique_ptr<MissedNotice> missedNotice;
    // The windows; each is created once and only hidden and shown afterwards.
    std::unique_ptr<TRem_Pop> popUp;
    std::unique_ptr<Tf_Reminder> editor;
    std::unique_ptr<TPagesDlg> list;
    std::unique_ptr<TSysLog> activityLog;
};

ShellWiring::ShellWiring() : m_owned(std::make_unique<Owned>()) {}

ShellWiring::~ShellWiring() {
    // The windows go before the engine parts their buttons reach.
    m_owned->activityLog.reset();
    m_owned->list.reset();
    m_owned->editor.reset();
    m_owned->popUp.reset();
}

TRem_Pop* ShellWiring::popUp() const {
    return m_owned->popUp.get();
}
Tf_Reminder* ShellWiring::editor() const {
    return m_owned->editor.get();
}
TPagesDlg* ShellWiring::list() const {
    return m_owned->list.get();
}
TSysLog* ShellWiring::activityLog() const {
    return m_owned->activityLog.get();
}

void ShellWiring::wireMainWindow(TRMForm& form, Services& services, ShellSeams& seams) {
    Owned& p = *m_owned;

    // The engine drives the main window's own tray icon and Flash_Timer; the window's built-in
    // handling of their signals gives way to it.
    QObject::disconnect(form.RxTrayIcon1, &QSystemTrayIcon::activated, &form, nullptr);
    QObject::disconnect(form.Flash_Timer, &QTimer::timeout, &form, nullptr);
    p.trayIcon = std::make_unique<platform::QtTrayIcon>(*form.RxTrayIcon1, form.PopupMenu2, form.PopupMenu1);
    p.trayIcon->setDoubleClickHandler([&form] { form.RxTrayIcon1DblClick(); });
    p.flashTimer = std::make_unique<platform::QtOneShotTimer>(*form.Flash_Timer);
    p.trayStates = std::make_unique<TrayIconStates>(services, *p.trayIcon, *p.flashTimer);
    p.trayLogic = std::make_unique<EngineTrayLogic>(*p.trayStates);
    form.setTrayLogic(p.trayLogic.get());

    p.activation = std::make_unique<ReminderActivation>(services, *p.trayStates);
    if (services.windows != nullptr) {
        p.titleBar = std::make_unique<TitleBar>(services, TitleBar::Pauses::Steady);
        p.activation->ShowInTitleBar = [t = p.titleBar.get()](ReminderRecord& r) { t->ShowInTitleBar(r); };
        seams.resetTitleState = [t = p.titleBar.get()] {
            t->TitleWindow = 0;
            t->TitleRestoreWindow = 0;
            t->TitleModified = false;
        };
        seams.titleModified = [t = p.titleBar.get()] { return t->TitleModified; };
        seams.restoreTitle = [t = p.titleBar.get()] { t->RestoreTitle(); };
    }
    p.monitor = std::make_unique<Monitor>(services.store, services.clock, services.boxes, *p.activation);
    seams.monRem = [m = p.monitor.get()] { m->Mon_Rem(); };
}

void ShellWiring::createWindows(TRMForm& form, Services& services, ShellSeams& seams) {
    Owned& p = *m_owned;

    p.editor = std::make_unique<Tf_Reminder>(services);
    p.popUp = std::make_unique<TRem_Pop>(services);
    WireEngine(*p.popUp, *p.trayStates, *p.activation);
    p.list = std::make_unique<TPagesDlg>(services, *p.editor);
    p.activityLog = std::make_unique<TSysLog>(services);
    QObject::connect(p.activityLog.get(), &TSysLog::aboutRequested, &form, [&form] { form.About1Click(); });

    seams.showEditor = [e = p.editor.get()] { e->show(); };
    seams.showList = [l = p.list.get()] { l->Show(); };
    seams.viewLog = [a = p.activityLog.get()] { a->viewLog(); };
    seams.sampleTick = [a = p.activityLog.get()] { a->armSample(); };
    seams.setActivityLogEnabled = [a = p.activityLog.get()](bool on) { a->setActivityLogEnabled(on); };
}

void ShellWiring::wireRepeats(TRMForm& form, Services& services, const platform::LocalTimeZone& zone) {
    Owned& p = *m_owned;
    p.monitor->repeats().setTimeZone(zone);
    p.notifier = std::make_unique<platform::TrayNotifier>(*form.RxTrayIcon1);
    p.notifier->setClickHandler([l = p.list.get()] { l->ShowExpired(); });
    p.missedNotice = std::make_unique<MissedNotice>(services.store, services.locale, services.codePage, *p.notifier);
    p.monitor->repeats().setMissedHandler([n = p.missedNotice.get()](const MissedReport& r) { n->report(r); });
}

} // namespace tw
