// KeepEscapeInList: a key filter on the combo box and on its list that ends the key which closed the list.
#include "platform/qt/DropDownKeys.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>

namespace tw::platform {

namespace {

class ListEscapeFilter : public QObject {
public:
    explicit ListEscapeFilter(QComboBox* combo) : QObject(combo) {
        // Asking for the list creates it and its own filter first: this one, installed later,
        // sees each key before it.
        m_list = combo->view();
        m_list->installEventFilter(this);
        combo->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const bool cancel = key->matches(QKeySequence::Cancel);
        if (watched == m_list) {
            // Taking the key here keeps the shortcuts from it; the list then closes itself.
            m_closing = type == QEvent::ShortcutOverride && cancel && m_list->isVisible();
            if (m_closing)
                key->accept();
            return false;
        }
        // On the combo box: the same key, handed to it once the list has closed (a desktop
        // without keyboard grabs), was the list's.
        const bool listsKey = type == QEvent::KeyPress && cancel && m_closing;
        m_closing = false;
        return listsKey;
    }

private:
    QAbstractItemView* m_list = nullptr;
    bool m_closing = false; // Escape was offered to the open list; its key press is still to come
};

} // namespace

void KeepEscapeInList(QComboBox* combo) {
    new ListEscapeFilter(combo);
}

} // namespace tw::platform
