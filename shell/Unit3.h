// TAboutBox: the program's about box, a small stay-on-top dialog shown without blocking the rest of
// the program (from the tray menu and from the activity log window).
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tw {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(const QIcon& programIcon, QWidget* parent = nullptr);

    // Shows the box centred on the screen, in front, without blocking.
    void showCentred();
    // The help context of the box.
    static constexpr int HelpContext = 10;

    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Comments;
    QPushButton* OKButton;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tw
