// TRMForm, the hidden main window: its menus and timers, start-up, the hot key and the orderly exit.
#include "shell/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QStyle>

#include "engine/ReminderEngine.h"
#include "engine/TrayFallback.h"
#include "platform/qt/Accessibility.h"
#include "platform/qt/TrayIcon.h"
#include "shell/LauncherWindow.h"
#include "store/IoError.h"
#include "store/QuickAdd.h"

namespace tw {

namespace {

constexpr char ExitQuestion[] = "Do you really want to close this program?";

} // namespace

TRMForm::TRMForm(Services& services, platform::WallClockAlarm& alarm, platform::GlobalHotKey& hotKey,
                 platform::DesktopGeometry& desktop, platform::TrayHost* trayHost, QWidget* parent)
    : QWidget(parent), m_services(services), m_hotKey(hotKey), m_desktop(desktop), m_alarm(alarm) {
    platform::SetAccessibleRole(this, QAccessible::Window);
    setObjectName(QStringLiteral("RMForm"));
    setWindowTitle(QStringLiteral("RMForm"));
    setAccessibleName(QStringLiteral("Tellwick")); // what a screen reader lists for the hidden window
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    Flash_Timer = new QTimer(this);
    Flash_Timer->setObjectName(QStringLiteral("Flash_Timer"));
    Flash_Timer->setInterval(10000);

    TimerS = new QTimer(this);
    TimerS->setObjectName(QStringLiteral("TimerS"));
    TimerS->setInterval(1000);
    connect(TimerS, &QTimer::timeout, this, &TRMForm::TimerSTimer);

    const QStyle* st = style();
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    PopupMenu2->setAccessibleName(QStringLiteral("Tellwick"));
    connect(PopupMenu2, &QMenu::aboutToShow, this, &TRMForm::PopupMenu2Popup);

    DisableAll1 = PopupMenu2->addAction(QStringLiteral("&Disable All"));
    DisableAll1->setObjectName(QStringLiteral("DisableAll1"));
    DisableAll1->setCheckable(true);
    connect(DisableAll1, &QAction::triggered, this, &TRMForm::Disable1_Click);

    NewReminder1 = PopupMenu2->addAction(st->standardIcon(QStyle::SP_FileIcon), QStringLiteral("&New Reminder"));
    NewReminder1->setObjectName(QStringLiteral("NewReminder1"));
    PopupMenu2->setDefaultAction(NewReminder1);
    connect(NewReminder1, &QAction::triggered, this, &TRMForm::m_ReminderClick);

    ListofReminders1 = PopupMenu2->addAction(st->standardIcon(QStyle::SP_FileDialogDetailedView),
                                             QStringLiteral("&List of Reminders"));
    ListofReminders1->setObjectName(QStringLiteral("ListofReminders1"));
    connect(ListofReminders1, &QAction::triggered, this, &TRMForm::m_OptionsClick);

    ools1 = PopupMenu2->addMenu(QStringLiteral("Tools"));
    ools1->setObjectName(QStringLiteral("ools1"));
    ools1->setAccessibleName(QStringLiteral("Tools"));
    StartLog1 = ools1->addAction(QStringLiteral("Enable Log User Activity"));
    StartLog1->setObjectName(QStringLiteral("StartLog1"));
    StartLog1->setCheckable(true);
    connect(StartLog1, &QAction::triggered, this, &TRMForm::StartLog1Click);
    ViewLog1 = ools1->addAction(QStringLiteral("View Log"));
    ViewLog1->setObjectName(QStringLiteral("ViewLog1"));
    connect(ViewLog1, &QAction::triggered, this, &TRMForm::ViewLog1Click);

    N3 = PopupMenu2->addSeparator();
    N3->setObjectName(QStringLiteral("N3"));
    Help2 = PopupMenu2->addAction(st->standardIcon(QStyle::SP_DialogHelpButton), QStringLiteral("&Help"));
    Help2->setObjectName(QStringLiteral("Help2"));
    connect(Help2, &QAction::triggered, this, &TRMForm::Help1Click);
    About2 = PopupMenu2->addAction(st->standardIcon(QStyle::SP_MessageBoxInformation), QStringLiteral("&About"));
    About2->setObjectName(QStringLiteral("About2"));
    connect(About2, &QAction::triggered, this, &TRMForm::About1Click);
    N4 = PopupMenu2->addSeparator();
    N4->setObjectName(QStringLiteral("N4"));
    Hide2 = PopupMenu2->addAction(QStringLiteral("H&ide"));
    Hide2->setObjectName(QStringLiteral("Hide2"));
    Hide2->setCheckable(true);
    connect(Hide2, &QAction::triggered, this, &TRMForm::Hide1Click);
    Exit1 = PopupMenu2->addAction(QStringLiteral("E&xit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    connect(Exit1, &QAction::triggered, this, &TRMForm::m_Exit1Click);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));

    RxTrayIcon1 = new QSystemTrayIcon(this);
    RxTrayIcon1->setObjectName(QStringLiteral("RxTrayIcon1"));
    RxTrayIcon1->setToolTip(QStringLiteral("Tellwick"));

    // The engine drives the tray icon (picture, animation, tooltip, menu, click) and Flash_Timer.
    m_trayIcon = std::make_unique<platform::QtTrayIcon>(*RxTrayIcon1, PopupMenu2, PopupMenu1);
    m_notifier = std::make_unique<platform::TrayNotifier>(*RxTrayIcon1);
    m_flashTimer = std::make_unique<platform::QtOneShotTimer>(*Flash_Timer);
    m_engine = std::make_unique<ReminderEngine>(services, *m_trayIcon, *m_flashTimer, m_alarm);
    // The engine listens to the icon's clicks; the window takes them over to hear the double click
    // as well, and hands the click on.
    m_trayIcon->setListener(this);
    m_titleBar = std::make_unique<TitleBar>(services, m_engine->handBack, TitleBar::Pauses::Steady);
    m_engine->attachTitleBar(*m_titleBar);
    if (trayHost != nullptr) {
        auto* trayWait = new QTimer(this);
        trayWait->setObjectName(QStringLiteral("TrayWait_Timer"));
        m_trayWait = std::make_unique<platform::QtOneShotTimer>(*trayWait);
        m_trayFallback = std::make_unique<TrayFallback>(*trayHost, *m_trayWait, static_cast<TrayFallbackOwner&>(*this));
    }
}

TRMForm::~TRMForm() {
    m_trayFallback.reset();
    if (m_hotKeyRegistered)
        m_hotKey.unregisterHotKey();
}

void TRMForm::FormCreate() {
    m_hotKeyRegistered = m_hotKey.registerHotKey(*this);
    emit helpFileNeeded();
    m_titleBar->TitleWindow = 0;
    m_titleBar->TitleRestoreWindow = 0;
    m_titleBar->TitleModified = false;
    Store& s = m_services.store;
    // A failed load is reported; start-up goes on with whatever was read.
    GuardIo(m_services.boxes, [&] { s.LoadActive(); });
    GuardIo(m_services.boxes, [&] { s.LoadExpired(); });
    DisableAll1->setChecked(false);
    s.TrayIconShown = true;
    // Signals the change: the first monitor step runs on the first turn of the event loop.
    s.SetRemindersEnabled(true);
    Hide2->setChecked(false);
    // Kept off-screen; the main window itself is never shown on this desktop.
    move(-1000, -1000);
    RxTrayIcon1->show();
    if (m_trayFallback != nullptr)
        m_trayFallback->start();
}

void TRMForm::Disable1_Click() {
    m_services.store.SetRemindersEnabled(!DisableAll1->isChecked());
    m_engine->tray.Check_Ikon();
}

void TRMForm::m_ReminderClick() {
    emit newReminderRequested();
}

void TRMForm::m_OptionsClick() {
    emit listRequested();
}

void TRMForm::StartLog1Click() {
    const bool on = StartLog1->isChecked();
    if (on)
        TimerS->start();
    else
        TimerS->stop();
    emit activityLogToggled(on);
}

void TRMForm::ViewLog1Click() {
    emit viewLogRequested();
}

void TRMForm::Help1Click() {
    m_services.help.showTopic("main_menu_top_page");
}

void TRMForm::About1Click() {
    emit aboutRequested();
}

void TRMForm::Hide1Click() {
    Hide2->setChecked(!m_engine->tray.Icon_Tray_Hide());
    m_engine->tray.Check_Ikon(); // the icon follows at once, not at the next tick
}

void TRMForm::m_Exit1Click() {
    // Ctrl+F2 opens the menu while the question is up too: one question at a time.
    if (m_ended || m_confirmingExit)
        return;
    m_confirmingExit = true;
    const platform::Answer answer = m_services.boxes.confirm(ExitQuestion);
    m_confirmingExit = false;
    if (answer != platform::Answer::Yes)
        return;
    if (!saveAll())
        return;
    close();
}

void TRMForm::PopupMenu2Popup() {
    // The check marks always show the state, whoever changed it last.
    const Store& s = m_services.store;
    DisableAll1->setChecked(!s.RemindersEnabled);
    Hide2->setChecked(!s.TrayIconShown);
    StartLog1->setChecked(TimerS->isActive());
}

platform::Point TRMForm::hotKeyMenuPosition() const {
    return platform::HotKeyMenuPosition(m_desktop.trayPanelRect(), m_desktop.workArea());
}

void TRMForm::WMHotKey() {
    QMenu* menu = RxTrayIcon1->contextMenu();
    // During a flash of the hidden icon the current menu is the empty one: nothing opens.
    if (menu == nullptr || menu->actions().isEmpty() || menu->isVisible())
        return;
    // The program's most recently active visible window comes forward first.
    m_recentWindow.bringForward();
    const platform::Point at = hotKeyMenuPosition();
    menu->popup(QPoint(at.x, at.y));
    menu->activateWindow();
}

void TRMForm::reach() {
    if (m_trayFallback != nullptr && !m_trayFallback->hostPresent())
        showLauncher();
    else
        m_recentWindow.bringForward();
}

void TRMForm::showLauncher() {
    if (m_ended)
        return;
    if (m_launcher == nullptr) {
        m_launcher = std::make_unique<LauncherWindow>(
            LauncherWindow::Commands{DisableAll1, NewReminder1, ListofReminders1, ools1, Help2, About2, Exit1});
        m_launcher->setWindowIcon(windowIcon());
    }
    PopupMenu2Popup(); // the check marks show the current state
    m_launcher->bringUp();
}

void TRMForm::openMenu() {
    // A Wayland client cannot place a menu at a spot of the screen of its own choosing.
    const bool placeable =
        QGuiApplication::platformName() != QLatin1String("wayland") && QSystemTrayIcon::isSystemTrayAvailable();
    if (placeable)
        WMHotKey();
    else
        reach();
}

QuickAddResult TRMForm::takeQuickEntry(const std::string& text) {
    const QuickAddServices services{m_services.clock, m_engine->monitor.repeats().timeZone(), m_services.locale,
                                    m_services.codePage};
    return TakeQuickEntry(m_services.store, text, services);
}

void TRMForm::Monitor_TimerTimer() {
    m_engine->Monitor_TimerTimer();
}

void TRMForm::TimerSTimer() {
    emit activitySampleDue();
}

void TRMForm::trayIconClicked() {
    m_engine->tray.RxTrayIcon1Click();
}

void TRMForm::RxTrayIcon1DblClick() {
    QMenu* menu = RxTrayIcon1->contextMenu();
    QAction* action = menu != nullptr ? menu->defaultAction() : nullptr;
    if (action != nullptr && action->isEnabled() && action->isVisible())
        action->trigger();
}

bool TRMForm::saveAll() {
    return GuardIo(m_services.boxes, [this] { m_services.store.SaveAll(); });
}

void TRMForm::endSession() {
    if (m_ended)
        return;
    if (!saveAll())
        return;
    close();
}

void TRMForm::closeEvent(QCloseEvent* event) {
    // Every close is allowed: "E&xit" asks its question before it closes the window.
    event->accept();
    if (m_ended)
        return;
    FormClose();
    FormDestroy();
    m_ended = true;
    emit programEnded();
}

void TRMForm::FormClose() {
    if (m_titleBar->TitleModified)
        m_titleBar->RestoreTitle();
    m_services.help.quit();
}

void TRMForm::FormDestroy() {
    if (m_hotKeyRegistered)
        m_hotKey.unregisterHotKey();
    m_hotKeyRegistered = false;
    m_engine->wakeUp.stop();
    Flash_Timer->stop();
    TimerS->stop();
    RxTrayIcon1->hide();
    if (m_trayFallback != nullptr)
        m_trayFallback.reset();
    if (m_launcher != nullptr)
        m_launcher->hide();
}

} // namespace tw
