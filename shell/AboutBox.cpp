// TAboutBox, the about box: its texts, its place on the screen, and its keys.
#include "shell/AboutBox.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/qt/WindowHelpers.h"

namespace tw {

TAboutBox::TAboutBox(const QIcon& programIcon, platform::Help& help, QWidget* parent) : QDialog(parent), m_help(help) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);

    ProgramIcon = new QLabel(this);
    ProgramIcon->setPixmap(programIcon.pixmap(QSize(32, 32)));
    ProgramIcon->setAccessibleName(QStringLiteral("Program icon"));
    ProductName = new QLabel(QStringLiteral("Tellwick"), this);
    QFont bold = ProductName->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    ProductName->setFont(bold);
    const QString version = QCoreApplication::applicationVersion();
    Version = new QLabel(QStringLiteral("Version ") + (version.isEmpty() ? QStringLiteral("1.0") : version), this);
    Comments =
        new QLabel(QStringLiteral("Use reminders of different types \nto plan events of different importance."), this);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* head = new QHBoxLayout;
    head->addWidget(ProgramIcon, 0, Qt::AlignTop);
    auto* names = new QVBoxLayout;
    names->addWidget(ProductName);
    names->addWidget(Version);
    head->addLayout(names, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addSpacing(8);
    layout->addWidget(Comments);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::bringUp() {
    show();
    raise();
    activateWindow();
}

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Escape and the OK button close the box (QDialog's reject and accept); it opens centred.
    platform::CentreOnScreen(*this, QGuiApplication::primaryScreen(), size());
    OKButton->setFocus();
}

// The box is only ever hidden: closing it would also destroy its native window, and the activity
// log would count the box anew at every opening.
void TAboutBox::done(int result) {
    setResult(result);
    hide();
}

void TAboutBox::closeEvent(QCloseEvent* event) {
    platform::CloseByHiding(*event, [this] { hide(); });
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        m_help.showTopic("main_menu_top_page");
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace tw
