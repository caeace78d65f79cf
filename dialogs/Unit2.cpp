// The list of reminders window: filling the grids, delete and edit, keys, focus and the refresh.
#include "dialogs/Unit2.h"

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
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "dialogs/Rem.h"
#include "dialogs/ReminderList.h"

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

void ReminderGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!allowed(indexAt(event->position().toPoint()))) {
        event->accept();
        return;
    }
    QTableWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && onDblClick)
        onDblClick();
}

QModelIndex ReminderGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (next.isValid() && next != currentIndex() && !allowed(next))
        return currentIndex();
    return next;
}

// ---- TPagesDlg

TPagesDlg::TPagesDlg(Services& services, Tf_Reminder& editor, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_services(services), m_editor(editor) {
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
    Edit1 = RxPopupMenu1->addAction(QStringLiteral("Edit"), this, &TPagesDlg::Edit1Click);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Delete1 = RxPopupMenu1->addAction(QStringLiteral("Delete"), this, &TPagesDlg::Delete1Click);
    Delete1->setObjectName(QStringLiteral("Delete1"));
    RxPopupMenu2 = new QMenu(this);
    RxPopupMenu2->setObjectName(QStringLiteral("RxPopupMenu2"));
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
    Panel2->setFixedHeight(34);
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

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    top->addWidget(Panel1, 1);
    top->addWidget(Panel2);
    setFixedSize(496, 286);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &TPagesDlg::Timer1Timer);

    Init_List_Reminders(StringGrid1, 0);
    Init_List_Reminders(StringGrid2, 0);

    // Key preview: the form sees every key before the focused control does.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
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
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    g->setContextMenuPolicy(Qt::CustomContextMenu);
    g->verticalHeader()->hide();
    const int rowHeight = std::max(18, g->fontMetrics().height() + 4);
    g->verticalHeader()->setMinimumSectionSize(rowHeight);
    g->verticalHeader()->setDefaultSectionSize(rowHeight);
    g->horizontalHeader()->setStretchLastSection(false);
    g->horizontalHeader()->setSectionsClickable(false);
    g->horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < GridColumns; ++c)
        g->setColumnWidth(c, GridColumnWidths[static_cast<std::size_t>(c)]);
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(g);
    return g;
}

TableId TPagesDlg::tableOf(const QTableWidget* grid) const {
    return grid == StringGrid2 ? TableId::Expired : TableId::Active;
}

void TPagesDlg::Show() {
    const bool wasHidden = !isVisible();
    FormShow();
    raise();
    activateWindow();
    if (wasHidden) {
        QTableWidget* grid = PageControl1->currentIndex() == 1 ? StringGrid2 : StringGrid1;
        grid->setFocus(Qt::OtherFocusReason);
    }
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

void TPagesDlg::DeleteClick(QTableWidget* Grid, TableId Table) {
    Store& s = m_services.store;
    const int index = RowToIndex(Grid->currentRow() + 1, s.count(Table));
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
    const int index = RowToIndex(Grid->currentRow() + 1, s.count(Table));
    if (index < 0 || s.EditInProgress)
        return;
    s.EditInProgress = true;
    s.EditBuffer = s.table(Table)[index];
    m_editor.show(); // a hidden editor prepares a new reminder first; FormShow below makes it an edit
    DeleteClick(Grid, Table);
    m_editor.FormShow(this);
    m_editor.raise();
    m_editor.activateWindow();
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
        GridSelection = {0, 1, 4, 1};
        StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    } else {
        StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    }
    applyGridSelection(StringGrid1);
}

void TPagesDlg::StringGrid2Enter() {
    if (m_services.store.ExpiredCount <= 0)
        return;
    GridSelection = {0, 1, 4, 1};
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
    Store& s = m_services.store;
    if (!s.TablesChanged)
        return;
    s.TablesChanged = false;
    FormShow();
}

void TPagesDlg::FormClose() {
    Timer1->stop();
}

void TPagesDlg::Button1Click() {
    close();
}

void TPagesDlg::HelpBtnClick() {
    m_services.help.showTopic("list of reminders menu");
}

void TPagesDlg::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
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
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

} // namespace tw
