// What screen readers get from a few Qt widgets whose own AT-SPI view is wrong on Linux: plain
// QWidget windows exposed as "filler" panels, date and time edits whose value reads 0, and combo
// boxes that Qt names after their current item.
#pragma once

#include <QAccessible>
#include <QString>

class QAbstractScrollArea;
class QComboBox;
class QDateTimeEdit;
class QWidget;

namespace tw::platform {

// The window is announced with this role (QAccessible::Dialog, QAccessible::Window). Call it
// first in the window's constructor.
void SetAccessibleRole(QWidget* window, QAccessible::Role role);

// The edit is read as the text it shows; it has no numeric value to report.
void ReadAsText(QDateTimeEdit* edit);

// On Linux Qt names a combo box after its current item and gives it the name of a label whose
// buddy it is: an invisible label with this name is added beside it.
void NameComboBox(QComboBox* combo, const QString& name);

// Names the area's two scroll bars, which screen readers list as controls of their own.
void NameScrollBars(QAbstractScrollArea* area);

} // namespace tw::platform
