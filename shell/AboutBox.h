// TAboutBox: the program's about box, a small stay-on-top dialog shown without blocking the rest of
// the program (from the tray menu and from the activity log window). F1 opens help.
#pragma once

#include <QDialog>

#include "platform/Help.h"

class QLabel;
class QPushButton;

namespace tw {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    TAboutBox(const QIcon& programIcon, platform::Help& help, QWidget* parent = nullptr);

    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Comments;
    QPushButton* OKButton;

    // "&About" in the tray menu or the log window: the box shows, or comes forward when it is open.
    void bringUp();

    // OK and Escape only hide the box (QDialog's own done() closes it, which destroys its native window).
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    platform::Help& m_help;
};

} // namespace tw
