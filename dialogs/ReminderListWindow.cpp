// TPagesDlg, the list of reminders window: filling the grids, delete and edit, keys, focus and the refresh.
#include "dialogs/ReminderListWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "dialogs/ListRules.h"
#include "dialogs/ReminderEditor.h"
#include "platform/qt/Accessibility.h"
#include "store/Recurrence.h"

namespace tw {

// ---- ReminderGrid

namespace {
bool leavesWindow(Qt::FocusReason r) {
    return r == Qt::PopupFocusReason || r == Qt::ActiveWindowFocusReason;
}
} // namespace

void ReminderGrid::focusInEvent(QFocusEvent* event) {
    QTableWidget::focusInEvent(event);
    const bool back = m_away && leavesWindow(event->reason());
    m_away = false;
    if (!back && onEnter)
        onEnter();
}

void ReminderGrid::focusOutEvent(QFocusEvent* event) {
    QTableWidget::focusOutEvent(event);
    if (leavesWindow(event->reason())) {
        m_away = true;
        return;
    }
    if (onExit)
        onExit();
}

bool ReminderGrid::allowed(const QModelIndex& index) const {
    const bool ok = index.isValid() && (!onSelectCell || onSelectCell(index.column(), index.row() + 1));
    viewport()->update();
    return ok;
}

void ReminderGrid::mousePressEvent(QMouseEvent* event) {
    if (!allowed(indexAt(event->position().toPoint()))) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void ReminderGrid::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton && !allowed(indexAt(event->position().toPoint()))) {
        event->accept();
        return;
    }
    QTableWidget::mouseMoveEvent(event);
}

// A double click anywhere in the grid, an empty cell too, edits the current row; only a cell that
// may become current becomes current.
void ReminderGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (allowed(indexAt(event->position().toPoint())))
        QTableWidget::mouseDoubleClickEvent(event);
    else
        event->accept();
    if (event->button() == Qt::LeftButton && onDblClick)
        onDblClick();
}

QModelIndex ReminderGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (next.isValid() && next != currentIndex() && !allowed(next))
        return currentIndex();
    return next;
}

QSize ReminderGrid::sizeHint() const {
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < ParkColumn; ++c)
        width += columnWidth(c);
    const int height =
        2 * frameWidth() + horizontalHeader()->sizeHint().height() + 10 * verticalHeader()->defaultSectionSize();
    return {width, height};
}

// ---- TPagesDlg

TPagesDlg::TPagesDlg(Services& services, Tf_Reminder& editor, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_services(services), m_editor(editor) {
    platform::SetAccessibleRole(this, QAccessible::Dialog); // not a plain panel
    setObjectName(QStringLiteral("PagesDlg"));
    setWindowTitle(QStringLiteral("List of Reminders"));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    PageControl1 = new QTabWidget(Panel1);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Active Reminders"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Expired Reminders"));
    PageControl1->setCurrentIndex(0);
    StringGrid1 = makeGrid(TabSheet1, QStringLiteral("StringGrid1"), QStringLiteral("Active Reminders"));
    StringGrid2 = makeGrid(TabSheet2, QStringLiteral("StringGrid2"), QStringLiteral("Expired Reminders"));
    auto* panelBox = new QVBoxLayout(Panel1);
    panelBox->setContentsMargins(5, 5, 5, 5);
    panelBox->addWidget(PageControl1);

    RxPopupMenu1 = new QMenu(this);
    RxPopupMenu1->setObjectName(QStringLiteral("RxPopupMenu1"));
    RxPopupMenu1->setAccessibleName(QStringLiteral("Active reminder"));
    Edit1 = RxPopupMenu1->addAction(QStringLiteral("Edit"), this, &TPagesDlg::Edit1Click);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Delete1 = RxPopupMenu1->addAction(QStringLiteral("Delete"), this, &TPagesDlg::Delete1Click);
    Delete1->setObjectName(QStringLiteral("Delete1"));
    RxPopupMenu2 = new QMenu(this);
    RxPopupMenu2->setObjectName(QStringLiteral("RxPopupMenu2"));
    RxPopupMenu2->setAccessibleName(QStringLiteral("Expired reminder"));
    E1 = RxPopupMenu2->addAction(QStringLiteral("Edit"), this, &TPagesDlg::E1Click);
    E1->setObjectName(QStringLiteral("E1"));
    Delete2 = RxPopupMenu2->addAction(QStringLiteral("Delete"), this, &TPagesDlg::Delete2Click);
    Delete2->setObjectName(QStringLiteral("Delete2"));
    connect(StringGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { RxPopupMenu1->popup(StringGrid1->viewport()->mapToGlobal(p)); });
    connect(StringGrid2, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { RxPopupMenu2->popup(StringGrid2->viewport()->mapToGlobal(p)); });

    StringGrid1->onEnter = [this] { StringGrid1Enter(); };
    StringGrid2->onEnter = [this] { StringGrid2Enter(); };
    StringGrid1->onExit = [this] { StringGridExit(StringGrid1); };
    StringGrid2->onExit = [this] { StringGridExit(StringGrid2); };
    StringGrid1->onSelectCell = [this](int c, int r) { return StringGridSelectCell(StringGrid1, c, r); };
    StringGrid2->onSelectCell = [this](int c, int r) { return StringGridSelectCell(StringGrid2, c, r); };
    StringGrid1->onDblClick = [this] { Edit1Click(); };
    StringGrid2->onDblClick = [this] { E1Click(); };

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Button1 = new QPushButton(QStringLiteral("OK"), Panel2);
    Button1->setObjectName(QStringLiteral("Button1"));
    HelpBtn = new QPushButton(QStringLiteral("&Help"), Panel2);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    auto* buttons = new QHBoxLayout(Panel2);
    buttons->setContentsMargins(5, 0, 5, 4);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(HelpBtn);
    connect(Button1, &QPushButton::clicked, this, &TPagesDlg::Button1Click);
    connect(HelpBtn, &QPushButton::clicked, this, &TPagesDlg::HelpBtnClick);
    // Enter on a focused button presses it, as in any dialog.
    Button1->setAutoDefault(true);
    HelpBtn->setAutoDefault(true);
    Panel2->setFixedHeight(std::max(34, Button1->sizeHint().height() + 8)); // 34, or more for taller buttons

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    top->addWidget(Panel1, 1);
    top->addWidget(Panel2);
    // The window takes the size its grids need in the platform's font, and the user cannot change it.
    top->setSizeConstraint(QLayout::SetFixedSize);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &TPagesDlg::Timer1Timer);

    Init_List_Reminders(StringGrid1, 0);
    Init_List_Reminders(StringGrid2, 0);

    // Key preview: the form sees every key before the focused control does. Not in the context
    // menus: a key pressed there is the menu's.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        if (!w->isWindow())
            w->installEventFilter(this);
}

ReminderGrid* TPagesDlg::makeGrid(QWidget* page, const QString& name, const QString& accessible) {
    auto* g = new ReminderGrid(page);
    g->setObjectName(name);
    g->setAccessibleName(accessible);
    g->setColumnCount(GridColumns);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setSelectionBehavior(QAbstractItemView::SelectItems);
    g->setTabKeyNavigation(false);
    g->setWordWrap(false);
    g->setShowGrid(true);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Always there, so the parking column stays out of sight also while all rows fit.
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    g->setContextMenuPolicy(Qt::CustomContextMenu);
    g->verticalHeader()->hide();
    const int rowHeight = std::max(18, g->fontMetrics().height() + 4);
    g->verticalHeader()->setMinimumSectionSize(rowHeight);
    g->verticalHeader()->setDefaultSectionSize(rowHeight);
    g->horizontalHeader()->setStretchLastSection(false);
    g->horizontalHeader()->setSectionsClickable(false);
    g->horizontalHeader()->setHighlightSections(false);
    fitColumns(g);
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(g);
    return g;
}

void TPagesDlg::fitColumns(QTableWidget* Grid) {
    // The widths are a floor: with a larger font a column grows until its widest text fits.
    const platform::Locale& loc = m_services.locale;
    const QString dateSep = QString::fromStdString(loc.dateSeparator());
    const QString timeSep = QString::fromStdString(loc.timeSeparator());
    std::array<QStringList, GridColumns> samples;
    for (int m = 1; m <= 12; ++m)
        samples[0] << QStringLiteral("00") + dateSep + QString::fromStdString(loc.shortMonthName(m)) + dateSep +
                          QStringLiteral("00");
    samples[1] << QStringLiteral("00") + timeSep + QStringLiteral("00");
    for (std::int32_t kind : {KindTitle, KindIcon, KindPopUp})
        samples[2] << QString::fromStdString(KindText(kind));
    samples[3] << QString::fromStdString(BeepText(0)) << QString::fromStdString(BeepText(1));
    for (std::string_view text : RepeatTexts)
        samples[RepeatColumn] << QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));

    const QFontMetrics cells(Grid->font());
    const QFontMetrics header(Grid->horizontalHeader()->font());
    const int pad = 2 * (Grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, Grid) + 1) + 4;
    const int headerPad = 2 * Grid->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, Grid) + 4;
    for (int c = 0; c < GridColumns; ++c) {
        int w = GridColumnWidths[static_cast<std::size_t>(c)];
        if (c < ParkColumn)
            w = std::max(w, header.horizontalAdvance(QString::fromLatin1(GridHeaders[static_cast<std::size_t>(c)])) +
                                headerPad);
        for (const QString& text : samples[static_cast<std::size_t>(c)])
            w = std::max(w, cells.horizontalAdvance(text) + pad);
        if (c == NoteColumn)
            w = std::max(w, 34 * cells.averageCharWidth()); // a good part of a note on one line
        Grid->setColumnWidth(c, w);
    }
}

TableId TPagesDlg::tableOf(const QTableWidget* grid) const {
    return grid == StringGrid2 ? TableId::Expired : TableId::Active;
}

void TPagesDlg::Show() {
    const bool wasHidden = !isVisible();
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    FormShow();
    raise();
    activateWindow();
    if (wasHidden) {
        QTableWidget* grid = PageControl1->currentIndex() == 1 ? StringGrid2 : StringGrid1;
        grid->setFocus(Qt::OtherFocusReason);
    }
}

void TPagesDlg::ShowExpired() {
    const bool wasHidden = !isVisible();
    PageControl1->setCurrentIndex(1);
    Show();
    if (!wasHidden)
        StringGrid2->setFocus(Qt::OtherFocusReason);
}

void TPagesDlg::FormShow() {
    Store& s = m_services.store;
    if (s.ActiveCount > 0)
        Fill_Active(StringGrid1, TableId::Active);
    else
        Init_List_Reminders(StringGrid1, s.ActiveCount);
    if (s.ExpiredCount > 0)
        Fill_Active(StringGrid2, TableId::Expired);
    else
        Init_List_Reminders(StringGrid2, s.ExpiredCount);
    if (!isVisible()) {
        if (!m_placed) {
            centreOnScreen();
            m_placed = true;
        }
        show();
    }
    if (!Timer1->isActive())
        Timer1->start();
    PageControl1->setTabText(0, QString::fromStdString(ActiveCaption(s.ActiveCount)));
    PageControl1->setTabText(1, QString::fromStdString(ExpiredCaption(s.ExpiredCount)));
    setWindowTitle(QStringLiteral("List of Reminders"));
}

void TPagesDlg::Init_List_Reminders(QTableWidget* Grid, std::int32_t Count) {
    const int rows = GridRowCount(Count) - 1; // the header is the grid's own header row
    if (Grid->rowCount() != rows)
        Grid->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < GridColumns; ++c) {
            QTableWidgetItem* item = Grid->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                Grid->setItem(r, c, item);
            } else if (!item->text().isEmpty()) {
                item->setText(QString());
            }
        }
    }
    QStringList headers;
    for (const char* h : GridHeaders)
        headers << QString::fromLatin1(h);
    Grid->setHorizontalHeaderLabels(headers);
    // The grid always shows its empty rows and a blank last header; a screen reader is told how many
    // rows hold reminders and what the last column is.
    Grid->horizontalHeaderItem(ParkColumn)->setData(Qt::AccessibleTextRole, QStringLiteral("End of row"));
    Grid->setAccessibleDescription(Count == 1 ? QStringLiteral("1 reminder")
                                              : QStringLiteral("%1 reminders").arg(Count));
}

void TPagesDlg::Fill_Active(QTableWidget* Grid, TableId Table) {
    Store& s = m_services.store;
    const std::int32_t count = s.count(Table);
    Init_List_Reminders(Grid, count);
    SetReminderFormats(s.Formats);
    for (int row = 1; row <= count; ++row) {
        const auto texts =
            RowTexts(s.table(Table)[RowToIndex(row, count)], s.Formats, m_services.locale, m_services.codePage);
        for (int c = 0; c < GridColumns; ++c)
            Grid->item(row - 1, c)->setText(QString::fromStdString(texts[static_cast<std::size_t>(c)]));
    }
}

// The table index of the grid's current row, or -1 for an empty row. The monitor and the editor
// change the tables between two refreshes; when the row no longer shows the entry it maps to, the
// list is refreshed instead, so that Delete and Edit never act on a reminder the user did not see.
int TPagesDlg::currentIndex(QTableWidget* Grid, TableId Table) {
    Store& s = m_services.store;
    const int row = Grid->currentRow() + 1;
    const int index = RowToIndex(row, s.count(Table));
    bool shown = true;
    if (index >= 0) {
        SetReminderFormats(s.Formats);
        const auto texts = RowTexts(s.table(Table)[index], s.Formats, m_services.locale, m_services.codePage);
        for (int c = 0; c < ParkColumn && shown; ++c) {
            const QTableWidgetItem* item = Grid->item(row - 1, c);
            shown = item && item->text() == QString::fromStdString(texts[static_cast<std::size_t>(c)]);
        }
    } else if (const QTableWidgetItem* item = row >= 1 ? Grid->item(row - 1, 0) : nullptr) {
        shown = item->text().isEmpty();
    }
    if (shown)
        return index;
    refresh();
    return -1;
}

void TPagesDlg::refresh() {
    m_services.store.TablesChanged = false;
    FormShow();
}

void TPagesDlg::DeleteClick(QTableWidget* Grid, TableId Table) {
    Store& s = m_services.store;
    const int index = currentIndex(Grid, Table);
    if (index >= 0)
        s.Del_Rem(Table, index);
    Fill_Active(Grid, Table);
}

void TPagesDlg::Delete1Click() {
    DeleteClick(StringGrid1, TableId::Active);
}
void TPagesDlg::Delete2Click() {
    DeleteClick(StringGrid2, TableId::Expired);
}
void TPagesDlg::Edit1Click() {
    editRow(StringGrid1, TableId::Active);
}
void TPagesDlg::E1Click() {
    editRow(StringGrid2, TableId::Expired);
}

void TPagesDlg::editRow(QTableWidget* Grid, TableId Table) {
    Store& s = m_services.store;
    if (s.EditInProgress)
        return;
    const int index = currentIndex(Grid, Table);
    if (index < 0)
        return;
    s.BeginEdit(Table, index); // the reminder leaves its table for the editor
    Fill_Active(Grid, Table);
    m_editor.ShowEdit();
}

bool TPagesDlg::FormKeyDown(int key) {
    SwallowKey = false;
    if (key == Qt::Key_F1) {
        SwallowKey = true;
        HelpBtnClick();
        return true;
    }
    return false;
}

void TPagesDlg::StringGridKeyDown(QTableWidget* Grid, int key) {
    SwallowKey = false;
    if (key == Qt::Key_Delete) {
        SwallowKey = true;
        if (Grid->hasFocus())
            DeleteClick(Grid, tableOf(Grid));
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        SwallowKey = true;
        if (Grid->hasFocus())
            editRow(Grid, tableOf(Grid));
    }
}

void TPagesDlg::StringGrid1Enter() {
    if (m_services.store.ActiveCount > 0) {
        GridSelection = {0, 1, NoteColumn, 1};
        StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    } else {
        StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    }
    applyGridSelection(StringGrid1);
}

void TPagesDlg::StringGrid2Enter() {
    if (m_services.store.ExpiredCount <= 0)
        return;
    GridSelection = {0, 1, NoteColumn, 1};
    StringGrid2->setSelectionBehavior(QAbstractItemView::SelectRows);
    applyGridSelection(StringGrid2);
}

void TPagesDlg::StringGridExit(QTableWidget* Grid) {
    GridSelection = {ParkColumn, 1, ParkColumn, 1};
    Grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    applyGridSelection(Grid);
}

bool TPagesDlg::StringGridSelectCell(QTableWidget* Grid, int col, int row) {
    const QTableWidgetItem* item = Grid->item(row - 1, col);
    return item && !item->text().isEmpty();
}

void TPagesDlg::applyGridSelection(QTableWidget* Grid) {
    const auto [left, topRow, right, bottom] = GridSelection;
    if (topRow < 1 || bottom > Grid->rowCount() || left < 0 || right >= Grid->columnCount()) {
        Grid->viewport()->update();
        return;
    }
    Grid->setCurrentCell(topRow - 1, left, QItemSelectionModel::NoUpdate);
    Grid->clearSelection();
    Grid->setRangeSelected(QTableWidgetSelectionRange(topRow - 1, left, bottom - 1, right), true);
    Grid->horizontalScrollBar()->setValue(0); // the parking column stays out of sight
    Grid->viewport()->update();
}

void TPagesDlg::Timer1Timer() {
    if (!isVisible()) { // hidden without a close: a refresh would show it again
        Timer1->stop();
        return;
    }
    if (m_services.store.TablesChanged)
        refresh();
}

void TPagesDlg::FormClose() {
    Timer1->stop();
}

void TPagesDlg::Button1Click() {
    FormClose();
    hide();
}

void TPagesDlg::HelpBtnClick() {
    m_services.help.showTopic("list of reminders menu");
}

// The close box only hides the window: accepting the close would also destroy its native window,
// and the activity log would count the list anew at every opening.
void TPagesDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    Button1Click();
}

bool TPagesDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        bool handled = FormKeyDown(key);
        if (watched == StringGrid1 || watched == StringGrid2) {
            StringGridKeyDown(static_cast<QTableWidget*>(watched), key);
            handled = handled || SwallowKey;
        }
        if (handled)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TPagesDlg::centreOnScreen() {
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

} // namespace tw
