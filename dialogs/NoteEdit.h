// NoteEdit: the note box of the reminder editor and of the pop-up. What the user types or pastes
// is kept to 128 characters, a line break counting as two (CR LF), and to the characters the
// reminder files' code page can hold; a note the program fills in is shown whole.
#pragma once

#include <QTextEdit>

#include "platform/CodePage.h"

namespace tw {

class NoteEdit : public QTextEdit {
    Q_OBJECT
public:
    NoteEdit(const platform::CodePage& codePage, QWidget* parent = nullptr);

    // The note with "\n" line breaks, and filling it in without the typing limit.
    QString noteText() const;
    void setNoteText(const QString& text);

private:
    void limitTyping(int position, int added);

    const platform::CodePage& m_codePage;
    bool m_filling = false; // the program is setting the text, not the user
};

} // namespace tw
