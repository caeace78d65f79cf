// The Qt tray icon and one-shot timer.
#include "platform/qt/TrayIcon.h"

#include <QMenu>

#include "resources/icons/Icons.h"

namespace tw::platform {

namespace {

constexpr int FrameMs = 150;

// The hints separate their lines with LF CR (the Windows tooltip's own convention); Qt wants "\n".
QString ToolTipText(const std::string& hint) {
    QString text = QString::fromStdString(TooltipFromHint(hint));
    text.remove(QLatin1Char('\r'));
    return text;
}

} // namespace

QtTrayIcon::QtTrayIcon(QMenu* mainMenu, QMenu* emptyMenu, QObject* parent)
    : QtTrayIcon(*new QSystemTrayIcon, mainMenu, emptyMenu, parent) {
    m_ownTray.reset(&m_tray);
}

QtTrayIcon::QtTrayIcon(QSystemTrayIcon& tray, QMenu* mainMenu, QMenu* emptyMenu, QObject* parent)
    : QObject(parent), m_tray(tray), m_animation(this), m_mainMenu(mainMenu), m_emptyMenu(emptyMenu) {
    m_stillName = "ICO_TRAY";
    m_still = LoadIconByName(m_stillName);
    m_tray.setIcon(m_still);
    m_tray.setContextMenu(m_mainMenu);
    m_animation.setInterval(FrameMs);
    connect(&m_animation, &QTimer::timeout, this, &QtTrayIcon::nextFrame);
    connect(&m_tray, &QSystemTrayIcon::activated, this, &QtTrayIcon::onActivated);
}

void QtTrayIcon::setStillIcon(const std::string& name) {
    // Set at every monitor tick: only a different picture is loaded and handed to the tray.
    const bool changed = name != m_stillName;
    if (changed) {
        m_stillName = name;
        m_still = LoadIconByName(name);
    }
    if (m_animated && !m_frames.empty())
        return;
    if (changed || m_tray.isVisible() == m_still.isNull())
        showPicture();
}

void QtTrayIcon::setFrames(const std::vector<std::string>& names) {
    m_frames.clear();
    for (const std::string& n : names) {
        QIcon icon = LoadIconByName(n);
        if (!icon.isNull())
            m_frames.push_back(icon);
    }
    m_frame = 0;
    if (m_animated)
        showPicture();
}

void QtTrayIcon::setAnimated(bool on) {
    if (on == m_animated)
        return;
    m_animated = on;
    m_frame = 0;
    if (on && !m_frames.empty())
        m_animation.start();
    else
        m_animation.stop();
    showPicture();
}

void QtTrayIcon::nextFrame() {
    if (!m_animated || m_frames.empty())
        return;
    m_frame = (m_frame + 1) % static_cast<int>(m_frames.size());
    ++m_frameChanges;
    m_tray.setIcon(m_frames[static_cast<std::size_t>(m_frame)]);
}

// The frame while animated, the still picture otherwise; an empty picture takes the icon away.
void QtTrayIcon::showPicture() {
    const QIcon& icon = (m_animated && !m_frames.empty()) ? m_frames[static_cast<std::size_t>(m_frame)] : m_still;
    if (icon.isNull()) {
        m_tray.hide();
        return;
    }
    m_tray.setIcon(icon);
    m_tray.show();
}

void QtTrayIcon::setHint(const std::string& hint) {
    const QString text = ToolTipText(hint);
    if (text != m_tray.toolTip())
        m_tray.setToolTip(text);
}

void QtTrayIcon::setMenu(TrayMenu menu) {
    if (menu == m_menu)
        return;
    m_menu = menu;
    // The empty menu is never handed to the tray: an empty pop-up would still draw a frame.
    m_tray.setContextMenu(menu == TrayMenu::Main ? m_mainMenu : nullptr);
}

QMenu* QtTrayIcon::currentMenu() const {
    switch (m_menu) {
    case TrayMenu::Main:
        return m_mainMenu;
    case TrayMenu::Empty:
        return m_emptyMenu;
    default:
        return nullptr;
    }
}

void QtTrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        if (m_listener)
            m_listener->trayIconClicked();
        break;
    case QSystemTrayIcon::Context:
        // The tray shows the main menu itself; the empty menu shows nothing; with no menu a right
        // click counts as a click.
        if (m_menu == TrayMenu::None && m_listener)
            m_listener->trayIconClicked();
        break;
    case QSystemTrayIcon::DoubleClick:
        if (m_listener)
            m_listener->trayIconDoubleClicked();
        break;
    default:
        break;
    }
}

QtOneShotTimer::QtOneShotTimer(QObject* parent)
    : QObject(parent), m_ownTimer(std::make_unique<QTimer>()), m_timer(*m_ownTimer) {
    connectTimer();
}

QtOneShotTimer::QtOneShotTimer(QTimer& timer, QObject* parent) : QObject(parent), m_timer(timer) {
    connectTimer();
}

void QtOneShotTimer::connectTimer() {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_listener)
            m_listener->timedOut();
    });
}

} // namespace tw::platform
