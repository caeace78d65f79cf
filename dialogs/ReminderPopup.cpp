// TRem_Pop, the reminder pop-up window: its controls, showing and hiding, and the close box and Escape.
#include "dialogs/ReminderPopup.h"

#include <algorithm>

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include "dialogs/NoteEdit.h"
#include "engine/RepeatIn.h"
#include "platform/qt/Accessibility.h"
#include "platform/qt/DropDownKeys.h"

namespace tw {

TRem_Pop::TRem_Pop(Services& services, HandBack& handBack, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_logic(services, handBack, *this) {
    platform::SetAccessibleRole(this, QAccessible::Dialog); // not a plain panel
    setObjectName(QStringLiteral("Rem_Pop"));
    setWindowTitle(QString::fromUtf8(PopUpCaption.data(), static_cast<qsizetype>(PopUpCaption.size())));
    setFixedSize(357, 240);
    setWindowOpacity(1.0);

    Panel1 = new QLabel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(10, 10, 336, 26);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAlignment(Qt::AlignCenter);
    // A label's text is its name for screen readers; a name set here would hide the date itself.
    Panel1->setAccessibleDescription(QStringLiteral("Reminder date and time"));

    Memo1 = new NoteEdit(services.codePage, this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(10, 41, 336, 149);
    Memo1->setFrameStyle(QFrame::NoFrame);
    QFont bold = Memo1->font();
    bold.setBold(true);
    Memo1->setFont(bold);
    QTextOption centred = Memo1->document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    Memo1->document()->setDefaultTextOption(centred);
    Memo1->setAccessibleName(QStringLiteral("Reminder note"));
    platform::NameScrollBars(Memo1);

    Button1 = new QPushButton(QStringLiteral("Dismiss"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(11, 204, 92, 25);
    Button1->setAutoDefault(false);

    Button2 = new QPushButton(QStringLiteral("Repeat in"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(136, 204, 109, 25);
    Button2->setAutoDefault(false);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(258, 204, 89, 24);
    for (std::string_view text : RepeatIntervalTexts)
        ComboBox1->addItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    platform::NameComboBox(ComboBox1, QStringLiteral("Repeat interval"));
    ComboBox1->setMaxVisibleItems(RepeatIntervalCount);
    // With a font wider than the one the layout was drawn for, the list grows to the left so that
    // its texts are not cut; its right edge stays in line with the panel and the memo.
    // It stops short of "Repeat in", which it must never cover.
    if (const int wide = ComboBox1->sizeHint().width(); wide > ComboBox1->width()) {
        const int left = std::max(347 - wide, Button2->geometry().right() + 5);
        ComboBox1->setGeometry(left, 204, 347 - left, 24);
    }

    setTabOrder(Memo1, Button1);
    setTabOrder(Button1, ComboBox1);
    setTabOrder(ComboBox1, Button2);

    connect(Button1, &QPushButton::clicked, this, [this] { m_logic.Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { m_logic.Button2Click(); });
    // Escape dismisses from whichever control has the focus, once: the shortcut belongs to the
    // window and the logic acts only while a reminder is on show. On the open list it only closes
    // the list.
    platform::KeepEscapeInList(ComboBox1);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] { m_logic.Button1Click(); });

    FormCreate();
}

void TRem_Pop::FormCreate() {
    ComboBox1->setCurrentIndex(0);
}

void TRem_Pop::showReminder(const std::string& panelText, const std::string& memoText, bool setCaption) {
    Memo1->setNoteText(QString::fromStdString(memoText));
    Panel1->setText(QString::fromStdString(panelText));
    if (setCaption)
        setWindowTitle(QString::fromUtf8(PopUpCaption.data(), static_cast<qsizetype>(PopUpCaption.size())));
    setWindowOpacity(1.0);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect box = frameGeometry();
        box.moveCenter(screen->availableGeometry().center());
        move(box.topLeft());
    }
    show();
    raise();
    activateWindow();
    Memo1->setFocus();
}

void TRem_Pop::bringToFront() {
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void TRem_Pop::hideReminder() {
    hide();
    Memo1->setNoteText(QString());
}

std::string TRem_Pop::memoText() const {
    return Memo1->noteText().toStdString();
}

int TRem_Pop::selectedInterval() const {
    return ComboBox1->currentIndex();
}

void TRem_Pop::closeEvent(QCloseEvent* event) {
    // The close box acts as "Dismiss"; the window is only hidden, never destroyed.
    m_logic.Button1Click();
    event->accept();
}

} // namespace tw
