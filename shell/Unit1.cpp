#include "shell/Unit1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QStyle>
#include <memory>

#include "platform/qt/Accessibility.h"
#include "store/IoError.h"

namespace tw {

TRMForm* RMForm = nullptr;

namespace {

constexpr char ExitQuestion[] = "Do you really want to close this program?";

// The tables and edit state as they stood before the exit path gave the editor's reminder back.
struct TableSnapshot {
    ReminderTable active;
    std::int32_t activeCount = 0;
    ReminderTable expired;
    std::int32_t expiredCount = 0;
    bool editInProgress = false;
    ReminderRecord editBuffer{};
    std::int32_t editorMode = EditorIdle;

    explicit TableSnapshot(const Store& s)
        : active(s.ActiveTable), activeCount(s.ActiveCount), expired(s.ExpiredTable), expiredCount(s.ExpiredCount),
          editInProgress(s.EditInProgress), editBuffer(s.EditBuffer), editorMode(s.EditorMode) {}
    void restore(Store& s) const {
        s.ActiveTable = active;
        s.ActiveCount = activeCount;
        s.ExpiredTable = expired;
        s.ExpiredCount = expiredCount;
        s.EditInProgress = editInProgress;
        s.EditBuffer = editBuffer;
        s.EditorMode = editorMode;
    }
};

QString counterTooltip(const Store& s) {
    return QStringLiteral(" Reminders Counter: \n\r Active:  %1\n\r Expired: %2")
        .arg(s.ActiveCount)
        .arg(s.ExpiredCount);
}

} // namespace

TRMForm::TRMForm(Services& services, platform::GlobalHotKey* hotKey, platform::DesktopGeometry* desktop,
                 QWidget* parent)
    : QWidget(parent), m_services(services), m_hotKey(hotKey), m_desktop(desktop) {
    platform::SetAccessibleRole(this, QAccessible::Window);
    setObjectName(QStringLiteral("RMForm"));
    setWindowTitle(QStringLiteral("RMForm"));
    setAccessibleName(QStringLiteral("Tellwick")); // what a screen reader lists for the hidden window
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    Monitor_Timer = new QTimer(this);
    Monitor_Timer->setObjectName(QStringLiteral("Monitor_Timer"));
    Monitor_Timer->setInterval(1000);
    connect(Monitor_Timer, &QTimer::timeout, this, &TRMForm::Monitor_TimerTimer);

    Flash_Timer = new QTimer(this);
    Flash_Timer->setObjectName(QStringLiteral("Flash_Timer"));
    Flash_Timer->setInterval(10000);
    connect(Flash_Timer, &QTimer::timeout, this, [this] {
        if (m_tray != nullptr)
            m_tray->Flash_TimerTimer();
        else
            Flash_Timer->stop();
    });

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
    RxTrayIcon1->setContextMenu(PopupMenu2);
    connect(RxTrayIcon1, &QSystemTrayIcon::activated, this, &TRMForm::onTrayActivated);
}

TRMForm::~TRMForm() {
    if (m_hotKeyRegistered && m_hotKey != nullptr)
        m_hotKey->unregisterHotKey();
    if (RMForm == this)
        RMForm = nullptr;
}

void TRMForm::setMainIcon(const QIcon& icon) {
    m_mainIcon = icon;
    setWindowIcon(icon);
    if (RxTrayIcon1->icon().isNull())
        RxTrayIcon1->setIcon(icon);
}

void TRMForm::FormCreate() {
    m_hotKeyRegistered = m_hotKey != nullptr && m_hotKey->registerHotKey([this] { WMHotKey(); });
    if (m_seams.findHelpFile)
        m_seams.findHelpFile();
    if (m_seams.resetTitleState)
        m_seams.resetTitleState();
    Store& s = m_services.store;
    // A failed load is reported; start-up goes on with whatever was read.
    GuardIo(m_services.boxes, [&] { s.LoadActive(); });
    GuardIo(m_services.boxes, [&] { s.LoadExpired(); });
    DisableAll1->setChecked(false);
    s.RemindersEnabled = true;
    s.TrayIconShown = true;
    Hide2->setChecked(false);
    // Kept off-screen; the main window itself is never shown on this desktop.
    move(-1000, -1000);
    RxTrayIcon1->show();
    Monitor_Timer->start();
}

void TRMForm::Disable1_Click() {
    m_services.store.RemindersEnabled = !DisableAll1->isChecked();
    checkIcon();
}

void TRMForm::m_ReminderClick() {
    if (m_seams.showEditor)
        m_seams.showEditor();
}

void TRMForm::m_OptionsClick() {
    if (m_seams.showList)
        m_seams.showList();
}

void TRMForm::StartLog1Click() {
    const bool on = StartLog1->isChecked();
    if (on)
        TimerS->start();
    else
        TimerS->stop();
    if (m_seams.setActivityLogEnabled)
        m_seams.setActivityLogEnabled(on);
}

void TRMForm::ViewLog1Click() {
    if (m_seams.viewLog)
        m_seams.viewLog();
}

void TRMForm::Help1Click() {
    m_services.help.showTopic("main_menu_top_page");
}

void TRMForm::About1Click() {
    if (m_aboutBox == nullptr)
        return;
    m_aboutBox->show();
    m_aboutBox->raise();
    m_aboutBox->activateWindow();
}

void TRMForm::Hide1Click() {
    if (m_tray != nullptr)
        m_tray->Icon_Tray_Hide();
    else
        basicIconTrayHide();
    checkIcon(); // the icon follows at once, not at the next tick
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
    if (m_desktop == nullptr)
        return platform::HotKeyMenuPosition(std::nullopt, platform::Rect{0, 0, 640, 480});
    return platform::HotKeyMenuPosition(m_desktop->trayPanelRect(), m_desktop->workArea());
}

void TRMForm::WMHotKey() {
    QMenu* menu = RxTrayIcon1->contextMenu();
    // During a flash of the hidden icon the current menu is the empty one: nothing opens.
    if (menu == nullptr || menu->actions().isEmpty() || menu->isVisible())
        return;
    const platform::Point at = hotKeyMenuPosition();
    menu->popup(QPoint(at.x, at.y));
    menu->activateWindow();
}

void TRMForm::Monitor_TimerTimer() {
    checkIcon();
    if (m_seams.monRem)
        m_seams.monRem();
}

void TRMForm::TimerSTimer() {
    if (m_seams.sampleTick)
        m_seams.sampleTick();
}

void TRMForm::RxTrayIcon1DblClick() {
    QMenu* menu = RxTrayIcon1->contextMenu();
    QAction* action = menu != nullptr ? menu->defaultAction() : nullptr;
    if (action != nullptr && action->isEnabled() && action->isVisible())
        action->trigger();
}

void TRMForm::onTrayActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        if (m_tray != nullptr)
            m_tray->RxTrayIcon1Click();
        break;
    case QSystemTrayIcon::DoubleClick:
        RxTrayIcon1DblClick();
        break;
    default:
        break;
    }
}

bool TRMForm::saveAll() {
    Store& s = m_services.store;
    std::unique_ptr<TableSnapshot> before;
    if (s.EditInProgress) {
        // The reminder the editor holds belongs in the active file too.
        before = std::make_unique<TableSnapshot>(s);
        if (!GuardIo(m_services.boxes, [&] { s.ReturnEditBuffer(); })) {
            before->restore(s);
            return false;
        }
    }
    // "re.dt" is written only after "rd.dt" was.
    const bool saved = GuardIo(m_services.boxes, [&] {
        s.SaveActive();
        s.SaveExpired();
    });
    // The files hold the editor's reminder; in memory the editor keeps it, for the program may
    // carry on (a failed save, or a session end that was called off): its OK or Cancel then
    // stores it once, not twice.
    if (before)
        before->restore(s);
    return saved;
}

void TRMForm::endSession() {
    if (m_ended)
        return;
    if (!saveAll())
        return;
    close();
}

void TRMForm::closeEvent(QCloseEvent* event) {
    // FormCloseQuery always allows the close.
    event->accept();
    if (m_ended)
        return;
    FormClose();
    FormDestroy();
    m_ended = true;
    emit programEnded();
}

void TRMForm::FormClose() {
    if (m_seams.titleModified && m_seams.titleModified() && m_seams.restoreTitle)
        m_seams.restoreTitle();
    m_services.help.quit();
}

void TRMForm::FormDestroy() {
    if (m_hotKeyRegistered && m_hotKey != nullptr)
        m_hotKey->unregisterHotKey();
    m_hotKeyRegistered = false;
    Monitor_Timer->stop();
    Flash_Timer->stop();
    TimerS->stop();
    RxTrayIcon1->hide();
}

void TRMForm::checkIcon() {
    if (m_tray != nullptr)
        m_tray->Check_Ikon();
    else
        basicCheckIkon();
}

void TRMForm::basicCheckIkon() {
    const Store& s = m_services.store;
    RxTrayIcon1->setToolTip(counterTooltip(s));
    if (s.MonitorState != MonitorIdle)
        return;
    if (!s.TrayIconShown) {
        RxTrayIcon1->hide();
        return;
    }
    const QIcon::Mode mode = s.RemindersEnabled ? QIcon::Normal : QIcon::Disabled;
    RxTrayIcon1->setIcon(QIcon(m_mainIcon.pixmap(QSize(16, 16), mode)));
    RxTrayIcon1->show();
}

void TRMForm::basicIconTrayHide() {
    Store& s = m_services.store;
    s.TrayIconShown = !s.TrayIconShown;
    Hide2->setChecked(!s.TrayIconShown);
}

} // namespace tw
