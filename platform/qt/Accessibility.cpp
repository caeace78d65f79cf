// Screen-reader views of windows, date and time edits and combo boxes (see Accessibility.h).
#include "platform/qt/Accessibility.h"

#include <QAbstractScrollArea>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace tw::platform {

namespace {

constexpr const char* RoleProperty = "tw_accessibleRole";
constexpr const char* TextProperty = "tw_accessibleText";

// A date or time edit as a spin box whose text is the edit's text, with no value interface.
class DateTimeAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit DateTimeAccessible(QDateTimeEdit* edit) : QAccessibleWidget(edit, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            if (const QLineEdit* e = lineEdit())
                return e->text();
        return QAccessibleWidget::text(t);
    }

    // The text interface reads the inner line edit, which Qt itself leaves without an interface.
    void selection(int i, int* start, int* end) const override {
        *start = *end = 0;
        if (const QLineEdit* e = lineEdit(); e && i == 0 && e->hasSelectedText()) {
            *start = e->selectionStart();
            *end = e->selectionEnd();
        }
    }
    int selectionCount() const override { return lineEdit() && lineEdit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override {
        if (QLineEdit* e = lineEdit())
            e->deselect();
    }
    void setSelection(int, int start, int end) override {
        if (QLineEdit* e = lineEdit())
            e->setSelection(start, end - start);
    }
    int cursorPosition() const override { return lineEdit() ? lineEdit()->cursorPosition() : 0; }
    void setCursorPosition(int position) override {
        if (QLineEdit* e = lineEdit())
            e->setCursorPosition(position);
    }
    QString text(int start, int end) const override {
        return lineEdit() ? lineEdit()->text().mid(start, end - start) : QString();
    }
    int characterCount() const override { return lineEdit() ? static_cast<int>(lineEdit()->text().size()) : 0; }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint& point) const override {
        QLineEdit* e = lineEdit();
        return e ? e->cursorPositionAt(e->mapFromGlobal(point)) : -1;
    }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }

private:
    QLineEdit* lineEdit() const { return widget()->findChild<QLineEdit*>(QStringLiteral("qt_spinbox_lineedit")); }
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    auto* w = qobject_cast<QWidget*>(object);
    if (!w)
        return nullptr;
    const QVariant role = w->property(RoleProperty);
    if (role.isValid())
        return new QAccessibleWidget(w, static_cast<QAccessible::Role>(role.toInt()));
    if (w->property(TextProperty).toBool())
        if (auto* edit = qobject_cast<QDateTimeEdit*>(w))
            return new DateTimeAccessible(edit);
    return nullptr;
}

// Sets the marker; an interface Qt made for the widget before (Qt makes some while a widget is
// still being constructed, with accessibility on or off) is dropped, so that the next query gets
// the one above.
void Mark(QWidget* w, const char* property, const QVariant& value, bool (*isOurs)(QAccessibleInterface*)) {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
    w->setProperty(property, value);
    if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w); iface && !isOurs(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

} // namespace

void SetAccessibleRole(QWidget* window, QAccessible::Role role) {
    Mark(window, RoleProperty, static_cast<int>(role), [](QAccessibleInterface* i) {
        return i->role() == static_cast<QAccessible::Role>(i->object()->property(RoleProperty).toInt());
    });
}

void ReadAsText(QDateTimeEdit* edit) {
    Mark(edit, TextProperty, true,
         [](QAccessibleInterface* i) { return dynamic_cast<DateTimeAccessible*>(i) != nullptr; });
}

void NameComboBox(QComboBox* combo, const QString& name) {
    combo->setAccessibleName(name);
    auto* label = new QLabel(name, combo->parentWidget());
    label->setObjectName(combo->objectName() + QStringLiteral("Label"));
    label->setBuddy(combo);
    label->hide();
}

void NameScrollBars(QAbstractScrollArea* area) {
    area->verticalScrollBar()->setAccessibleName(QStringLiteral("Vertical scroll bar"));
    area->horizontalScrollBar()->setAccessibleName(QStringLiteral("Horizontal scroll bar"));
}

} // namespace tw::platform
