// The reminder pop-up window.
#include "engine/Rem_Popup.h"

#include <algorithm>

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextBlock>
#include <QTextEdit>

#include "engine/RepeatIn.h"
#include "platform/qt/Accessibility.h"

namespace tw {

int MemoLength(const QString& text) {
    int n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isLowSurrogate())
            continue;
        n += (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) ? 2 : 1;
    }
    return n;
}

TRem_Pop::TRem_Pop(Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_logic(services, *this) {
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

    Memo1 = new QTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(10, 41, 336, 149);
    Memo1->setAcceptRichText(false);
    Memo1->setFrameStyle(QFrame::NoFrame);
    Memo1->setTabChangesFocus(true);
    QFont bold = Memo1->font();
    bold.setBold(true);
    Memo1->setFont(bold);
    QTextOption centred = Memo1->document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    Memo1->document()->setDefaultTextOption(centred);
    Memo1->setAccessibleName(QStringLiteral("Reminder note"));
    platform::NameScrollBars(Memo1);
    connect(Memo1->document(), &QTextDocument::contentsChange, this, &TRem_Pop::limitTyping);

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
    // window and the logic acts only while a reminder is on show.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] { m_logic.Button1Click(); });

    FormCreate();
}

void TRem_Pop::FormCreate() {
    ComboBox1->setCurrentIndex(0);
}

void TRem_Pop::showReminder(const std::string& panelText, const std::string& memoText, bool setCaption) {
    m_filling = true;
    Memo1->setPlainText(QString::fromStdString(memoText));
    m_filling = false;
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
    m_filling = true;
    Memo1->clear();
    m_filling = false;
}

std::string TRem_Pop::memoText() const {
    QString text = Memo1->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text.toStdString();
}

int TRem_Pop::selectedInterval() const {
    return ComboBox1->currentIndex();
}

void TRem_Pop::closeEvent(QCloseEvent* event) {
    // The close box acts as "Dismiss"; the window is only hidden, never destroyed.
    m_logic.Button1Click();
    event->accept();
}

// Typing (or pasting) stops at 128 characters; what was filled in by the program may be longer.
void TRem_Pop::limitTyping(int position, int, int charsAdded) {
    if (m_filling || charsAdded <= 0)
        return;
    int excess = MemoLength(Memo1->document()->toRawText()) - MemoTypingLimit;
    if (excess <= 0)
        return;
    m_filling = true;
    QTextCursor cursor(Memo1->document());
    cursor.setPosition(position + charsAdded);
    int left = charsAdded;
    while (excess > 0 && left > 0) {
        cursor.setPosition(position + left);
        cursor.setPosition(position + left - 1, QTextCursor::KeepAnchor);
        const QString removed = cursor.selectedText();
        excess -= MemoLength(removed);
        cursor.removeSelectedText();
        --left;
    }
    m_filling = false;
}

} // namespace tw
