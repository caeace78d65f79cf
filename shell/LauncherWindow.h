// LauncherWindow: the window "Tellwick" that holds the tray menu's commands where no notification
// area shows the tray icon. Its buttons trigger the tray menu's own actions, so each command has
// one handler; Escape and the close box only hide it.
#pragma once

#include <QDialog>

class QAbstractButton;
class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;

namespace tw {

class LauncherWindow : public QDialog {
    Q_OBJECT
public:
    // The tray menu's actions the window's buttons stand for; tools is the menu "Tools".
    struct Commands {
        QAction* disableAll = nullptr;
        QAction* newReminder = nullptr;
        QAction* list = nullptr;
        QMenu* tools = nullptr;
        QAction* help = nullptr;
        QAction* about = nullptr;
        QAction* exit = nullptr;
    };

    explicit LauncherWindow(const Commands& commands, QWidget* parent = nullptr);

    QLabel* Info;
    QCheckBox* DisableAll;
    QPushButton* NewReminder;
    QPushButton* ListOfReminders;
    QPushButton* Tools;
    QPushButton* Help;
    QPushButton* About;
    QPushButton* Exit;

    // Shows the window, or brings it forward, and gives it the focus.
    void bringUp();
    // Escape only hides the window (QDialog's own done() closes it, which destroys its native window).
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace tw
