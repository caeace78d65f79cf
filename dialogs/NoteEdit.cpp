// The note box's typing rules: the length limit and the code page.
#include "dialogs/NoteEdit.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "dialogs/EditorRules.h"

namespace tw {

namespace {

std::u16string_view view(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

} // namespace

NoteEdit::NoteEdit(const platform::CodePage& codePage, QWidget* parent) : QTextEdit(parent), m_codePage(codePage) {
    setAcceptRichText(false);
    setTabChangesFocus(true);
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { limitTyping(position, added); });
}

QString NoteEdit::noteText() const {
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void NoteEdit::setNoteText(const QString& text) {
    m_filling = true;
    setPlainText(text);
    m_filling = false;
}

void NoteEdit::limitTyping(int position, int added) {
    if (m_filling || added <= 0)
        return;
    // Of what was just typed or pasted, keep the characters the files can hold, as many as fit.
    const QString text = noteText();
    position = std::clamp(position, 0, static_cast<int>(text.size()));
    added = std::min(added, static_cast<int>(text.size()) - position);
    const QString inserted = text.mid(position, added);
    int room =
        NoteInputLimit - NoteInputLength(view(text.left(position))) - NoteInputLength(view(text.mid(position + added)));
    QString kept;
    for (qsizetype i = 0; i < inserted.size(); ++i) {
        const QChar ch = inserted[i];
        if (!FitsCodePage(ch.unicode(), m_codePage))
            continue;
        const int w = ch == QLatin1Char('\n') ? 2 : 1;
        if (w > room)
            break;
        room -= w;
        kept += ch;
    }
    if (kept == inserted)
        return;
    QTextCursor c(document());
    c.setPosition(position);
    c.setPosition(position + added, QTextCursor::KeepAnchor);
    m_filling = true;
    c.insertText(kept);
    m_filling = false;
    setTextCursor(c);
}

} // namespace tw
