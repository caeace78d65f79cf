// TPagesDlg, the list of reminders window (PagesDlg): both tables in two grids on two tabs, with delete, and edit that
// hands a reminder to the editor. While open it refreshes itself twice a second when a table changed.
#pragma once

#include <array>
#include <cstdint>

#include <QTableWidget>
#include <QWidget>

#include "store/Services.h"

class QMenu;
class QAction;
class QFrame;
class QPushButton;
class QTabWidget;
class QTimer;

namespace tw {

class Tf_Reminder;
class ReminderGrid;

// What a grid asks its window before a cell becomes current (by mouse or arrow key).
class CellGate {
public:
    virtual ~CellGate() = default;
    virtual bool mayEnterCell(ReminderGrid& grid, int col, int row) = 0;
};

// A grid that reports focus changes and double clicks to its dialog and lets the dialog refuse a
// cell before it becomes current. Rows count from 1 for the first data row, as the grid's header
// row is row 0.
class ReminderGrid : public QTableWidget {
    Q_OBJECT
public:
    ReminderGrid(CellGate& gate, QWidget* parent) : QTableWidget(parent), m_gate(gate) {}

    // Room for the header and ten data rows, with columns 0 to 4 in view and the parking column
    // beyond the right edge.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

signals:
    void gridEntered();
    void gridLeft();
    void gridDoubleClicked();

private:
    bool allowed(const QModelIndex& index);
    CellGate& m_gate;
    // Focus went to a pop-up menu or another window: not a real exit, and its return no real entry.
    bool m_away = false;
};

class TPagesDlg : public QWidget, private CellGate {
    Q_OBJECT
public:
    TPagesDlg(Services& services, Tf_Reminder& editor, QWidget* parent = nullptr);

    // Opens the list (tray menu "&List of Reminders").
    void Show();
    // Show on the expired page (a click on the "Missed reminders" notice).
    void ShowExpired();
    void FormShow();
    void Init_List_Reminders(QTableWidget* Grid, std::int32_t Count);
    void Fill_Active(QTableWidget* Grid, TableId Table);
    void DeleteClick(QTableWidget* Grid, TableId Table);
    void Delete1Click();
    void Delete2Click();
    void Edit1Click();
    void E1Click();
    bool FormKeyDown(int key);
    void StringGridKeyDown(QTableWidget* Grid, int key);
    void StringGrid1Enter();
    void StringGrid2Enter();
    void StringGridExit(QTableWidget* Grid);
    bool StringGridSelectCell(QTableWidget* Grid, int col, int row);
    void Timer1Timer();
    void FormClose();
    void Button1Click();
    void HelpBtnClick();

    // The character that follows the key just handled is to be discarded.
    bool SwallowKey = false;
    // Left column, top row, right column, bottom row (grid rows: 1 = first data row).
    std::array<std::int32_t, 4> GridSelection{};

    QFrame* Panel1;
    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    ReminderGrid* StringGrid1;
    QWidget* TabSheet2;
    ReminderGrid* StringGrid2;
    QMenu* RxPopupMenu1;
    QAction* Edit1;
    QAction* Delete1;
    QMenu* RxPopupMenu2;
    QAction* E1;
    QAction* Delete2;
    QFrame* Panel2;
    QPushButton* Button1;
    QPushButton* HelpBtn;
    QTimer* Timer1;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool mayEnterCell(ReminderGrid& grid, int col, int row) override { return StringGridSelectCell(&grid, col, row); }
    ReminderGrid* makeGrid(QWidget* page, const QString& name, const QString& accessible);
    void fitColumns(QTableWidget* Grid);
    TableId tableOf(const QTableWidget* grid) const;
    void editRow(QTableWidget* Grid, TableId Table);
    int currentIndex(QTableWidget* Grid, TableId Table);
    void refresh();
    void applyGridSelection(QTableWidget* Grid);
    void centreOnScreen();

    Services& m_services;
    Tf_Reminder& m_editor;
    bool m_placed = false;
};

} // namespace tw
