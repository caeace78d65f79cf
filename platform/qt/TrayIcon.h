// The notification-area icon on Qt (QSystemTrayIcon): still picture by resource name, the frame
// animation at 150 ms a frame, the hint's tooltip, the two tray menus and the click events. Also
// the one-shot timer on QTimer. The shell creates both menus (PopupMenu2, PopupMenu1) and hands
// them in; the window-free TrayIconStates drives the icon through platform::TrayIcon.
#pragma once

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <memory>
#include <vector>

#include "platform/Timer.h"
#include "platform/TrayIcon.h"

class QMenu;

namespace tw::platform {

class QtTrayIcon : public QObject, public TrayIcon {
    Q_OBJECT
public:
    // mainMenu is the tray menu, emptyMenu the one without items (a right click then shows nothing).
    // The icon starts with the picture "ICO_TRAY", the main menu and no hint, not yet shown.
    QtTrayIcon(QMenu* mainMenu, QMenu* emptyMenu, QObject* parent = nullptr);
    // Drives a tray icon someone else owns (the main window's), which must outlive this object.
    QtTrayIcon(QSystemTrayIcon& tray, QMenu* mainMenu, QMenu* emptyMenu, QObject* parent = nullptr);

    void setStillIcon(const std::string& resourceName) override;
    void setFrames(const std::vector<std::string>& resourceNames) override;
    void setAnimated(bool on) override;
    bool animated() const override { return m_animated; }
    void setHint(const std::string& hint) override;
    void setMenu(TrayMenu menu) override;
    TrayMenu menu() const override { return m_menu; }
    void setListener(TrayIconListener* listener) override { m_listener = listener; }

    // The menu a right click (or Ctrl+F2) opens now; null when none is attached.
    QMenu* currentMenu() const;
    QSystemTrayIcon& systemTrayIcon() { return m_tray; }
    // Which animation frame is on show, and how many frame changes there were (for tests).
    int frameIndex() const { return m_frame; }
    int frameChanges() const { return m_frameChanges; }

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void nextFrame();
    void showPicture();

    std::unique_ptr<QSystemTrayIcon> m_ownTray; // null when driving another owner's icon
    QSystemTrayIcon& m_tray;
    QTimer m_animation;
    QMenu* m_mainMenu;
    QMenu* m_emptyMenu;
    QIcon m_still;
    std::string m_stillName;
    std::vector<QIcon> m_frames;
    bool m_animated = false;
    int m_frame = 0;
    int m_frameChanges = 0;
    TrayMenu m_menu = TrayMenu::Main;
    TrayIconListener* m_listener = nullptr;
};

class QtOneShotTimer : public QObject, public OneShotTimer {
    Q_OBJECT
public:
    explicit QtOneShotTimer(QObject* parent = nullptr);
    // Drives a timer someone else owns, which must outlive this object; it becomes single-shot.
    explicit QtOneShotTimer(QTimer& timer, QObject* parent = nullptr);
    void start(int ms) override { m_timer.start(ms); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }
    QTimer& timer() { return m_timer; }
    void setListener(TimerListener* listener) override { m_listener = listener; }

private:
    void connectTimer();

    std::unique_ptr<QTimer> m_ownTimer; // null when driving another owner's timer
    QTimer& m_timer;
    TimerListener* m_listener = nullptr;
};

} // namespace tw::platform
