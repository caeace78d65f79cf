// LauncherWindow: the window "Tellwick" where the desktop has no notification area.
#include "shell/LauncherWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/Accessibility.h"

namespace tw {

namespace {

constexpr char InfoText[] = "This desktop shows no tray icons. Start Tellwick again to bring this window back; the "
                            "actions of its launcher and commands such as tellwick --new reach it too.";

// The button stands for the action: same text (with its mnemonic), check mark and enabled state,
// and a click triggers the action. Text only, for an even row of buttons.
void Bind(QAbstractButton* button, QAction* action) {
    button->setObjectName(action->objectName());
    button->setText(action->text());
    button->setAccessibleName(QString(action->text()).remove(QLatin1Char('&')));
    button->setCheckable(action->isCheckable());
    auto follow = [button, action] {
        button->setEnabled(action->isEnabled());
        button->setChecked(action->isChecked());
    };
    follow();
    QObject::connect(action, &QAction::changed, button, follow);
    QObject::connect(button, &QAbstractButton::clicked, action, &QAction::trigger);
}

} // namespace

LauncherWindow::LauncherWindow(const Commands& c, QWidget* parent) : QDialog(parent) {
    platform::SetAccessibleRole(this, QAccessible::Window);
    setObjectName(QStringLiteral("Launcher"));
    setWindowTitle(QStringLiteral("Tellwick"));
    setAccessibleName(QStringLiteral("Tellwick"));
    // A window of its own in the task bar, not a dialog of a hidden owner.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    Info = new QLabel(QString::fromLatin1(InfoText), this);
    Info->setObjectName(QStringLiteral("Info"));
    Info->setWordWrap(true);
    Info->setAccessibleName(Info->text());

    NewReminder = new QPushButton(this);
    Bind(NewReminder, c.newReminder);
    NewReminder->setDefault(true); // the tray menu's default item
    ListOfReminders = new QPushButton(this);
    Bind(ListOfReminders, c.list);
    Tools = new QPushButton(QStringLiteral("&Tools"), this);
    Tools->setObjectName(QStringLiteral("Tools"));
    Tools->setAccessibleName(QStringLiteral("Tools"));
    Tools->setMenu(c.tools);
    DisableAll = new QCheckBox(this);
    Bind(DisableAll, c.disableAll);
    Help = new QPushButton(this);
    Bind(Help, c.help);
    About = new QPushButton(this);
    Bind(About, c.about);
    Exit = new QPushButton(this);
    Bind(Exit, c.exit);
    for (QPushButton* b : {ListOfReminders, Tools, Help, About, Exit})
        b->setAutoDefault(false);

    auto* commands = new QHBoxLayout;
    commands->addWidget(NewReminder);
    commands->addWidget(ListOfReminders);
    commands->addWidget(Tools);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(DisableAll);
    bottom->addStretch(1);
    bottom->addWidget(Help);
    bottom->addWidget(About);
    bottom->addWidget(Exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Info);
    layout->addLayout(commands);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The text wraps to the width of the buttons below it.
    Info->setFixedWidth(qMax(commands->sizeHint().width(), bottom->sizeHint().width()));
}

void LauncherWindow::bringUp() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    NewReminder->setFocus();
}

void LauncherWindow::done(int result) {
    setResult(result);
    hide();
}

// Closing only hides the window: the program goes on, reachable by starting it again.
void LauncherWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

} // namespace tw
