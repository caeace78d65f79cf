// TSysLog, the activity log window: builds its controls, follows the window-free log in its tree, and
// handles its commands, keys and timers.
#include "activity/ActivityLogWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QSaveFile>
#include <QScreen>
#include <QSizeGrip>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <array>

#include "activity/ActivityCsv.h"
#include "activity/ActivityIcons.h"

namespace tw {

TSysLog* SysLog = nullptr;

namespace {

constexpr int OuterWidth = 692;
constexpr int OuterHeight = 463;

QIcon XpmIcon(const char* const* xpm) {
    return QIcon(QPixmap(xpm));
}

// ImageList1: index 1 marks day roots, index 3 entries; 0 and 2 are not used.
const std::array<QIcon, 4>& ImageList1() {
    static const std::array<QIcon, 4> list = {QIcon(), XpmIcon(activity_icons::FolderXpm), QIcon(),
                                              XpmIcon(activity_icons::WindowXpm)};
    return list;
}

// The standard save dialog; a name typed without an extension gets ".csv".
QString DefaultSaveDialog(QWidget* parent, const QString& proposed) {
    QFileDialog dialog(parent, QStringLiteral("Save"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setDirectory(QFileInfo(proposed).absolutePath());
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QtTextCollation::QtTextCollation(const platform::CodePage& codePage) : m_codePage(codePage), m_collator(QLocale()) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

int QtTextCollation::compare(std::string_view a, std::string_view b) const {
    const QString x = QString::fromStdString(m_codePage.toUtf8(a));
    const QString y = QString::fromStdString(m_codePage.toUtf8(b));
    return m_collator.compare(x, y);
}

QString TSysLog::NoForegroundText() {
    return QStringLiteral("This desktop does not tell programs which window is in front: no activity can be logged.");
}

TSysLog::TSysLog(Services& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_collation(services.codePage), m_log(services, m_collation, *this),
      m_saveDialog(DefaultSaveDialog) {
    setObjectName(QStringLiteral("SysLog"));
    setWindowTitle(QStringLiteral("User Activity"));
    setWindowIcon(XpmIcon(activity_icons::WindowXpm));
    resize(OuterWidth, OuterHeight);

    // The tool bar is always there: no context menu offers to hide it.
    setContextMenuPolicy(Qt::PreventContextMenu);

    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    menuBar()->setAccessibleName(QStringLiteral("Menu bar"));
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setAccessibleName(QStringLiteral("File"));
    Save1 = file->addAction(QStringLiteral("&Save"), this, &TSysLog::Save1Click);
    Exit1 = file->addAction(QStringLiteral("E&xit"), this, &TSysLog::Exit1Click);
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setAccessibleName(QStringLiteral("Edit"));
    ClearAll1 = edit->addAction(QStringLiteral("&Clear All"), this, &TSysLog::Clear_All_Records);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setAccessibleName(QStringLiteral("Help"));
    HelpIndex1 = help->addAction(QStringLiteral("Help &Index"), this, &TSysLog::HelpIndex1Click);
    About1 = help->addAction(QStringLiteral("&About"), this, &TSysLog::About1Click);
    Save1->setObjectName(QStringLiteral("Save1"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    ClearAll1->setObjectName(QStringLiteral("ClearAll1"));
    HelpIndex1->setObjectName(QStringLiteral("HelpIndex1"));
    About1->setObjectName(QStringLiteral("About1"));

    ToolBar1 = addToolBar(QStringLiteral("Tool bar"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setAccessibleName(QStringLiteral("Tool bar"));
    auto button = [&](const char* name, const QString& text, const QString& accessible, const char* const* xpm,
                      void (TSysLog::*handler)()) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(text);
        b->setIcon(XpmIcon(xpm));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAccessibleName(accessible);
        b->setFocusPolicy(Qt::TabFocus);
        connect(b, &QToolButton::clicked, this, handler);
        ToolBar1->addWidget(b);
        return b;
    };
    SpeedButton1 = button("SpeedButton1", QStringLiteral("Save"), QStringLiteral("Save"), activity_icons::SaveXpm,
                          &TSysLog::Save1Click);
    SpeedButton3 = button("SpeedButton3", QStringLiteral("Clear All"), QStringLiteral("Clear All"),
                          activity_icons::ClearXpm, &TSysLog::Clear_All_Records);
    SpeedButton2 = button("SpeedButton2", QStringLiteral(" Exit"), QStringLiteral("Exit"), activity_icons::ExitXpm,
                          &TSysLog::Exit1Click);

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setAccessibleName(QStringLiteral("Activity log"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setHeaderLabel(QStringLiteral("Activity")); // the hidden header's name for screen readers
    TreeView1->setColumnCount(1);
    TreeView1->setIndentation(19);
    TreeView1->setIconSize(QSize(16, 16));
    TreeView1->setUniformRowHeights(true);
    QPalette palette = TreeView1->palette();
    const QPalette tip = QToolTip::palette();
    palette.setColor(QPalette::Base, tip.color(QPalette::ToolTipBase));
    palette.setColor(QPalette::Text, tip.color(QPalette::ToolTipText));
    TreeView1->setPalette(palette);
    if (services.windows != nullptr) {
        setCentralWidget(TreeView1);
    } else {
        // Where the desktop keeps the window in front to itself, one line says why the log stays empty.
        auto* central = new QWidget(this);
        auto* layout = new QVBoxLayout(central);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        NoForegroundNotice = new QLabel(NoForegroundText(), central);
        NoForegroundNotice->setObjectName(QStringLiteral("NoForegroundNotice"));
        NoForegroundNotice->setWordWrap(true);
        NoForegroundNotice->setMargin(4);
        layout->addWidget(NoForegroundNotice);
        layout->addWidget(TreeView1, 1);
        setCentralWidget(central);
    }

    // The two panels stay empty; without names a screen reader passes over them.
    auto panel = [&] {
        auto* l = new QLabel(this);
        l->setFixedWidth(50);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addWidget(l);
        return l;
    };
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setAccessibleName(QStringLiteral("Status bar"));
    // Screen readers also list the tool bar's overflow button and the size grip: name them too.
    if (auto* more = ToolBar1->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More tools"));
    if (auto* grip = statusBar()->findChild<QSizeGrip*>())
        grip->setAccessibleName(QStringLiteral("Size grip"));
    m_panel1 = panel();
    m_panel2 = panel();

    TimerSH = new QTimer(this);
    TimerSH->setObjectName(QStringLiteral("TimerSH"));
    TimerSH->setInterval(1);
    connect(TimerSH, &QTimer::timeout, this, &TSysLog::TimerSHTimer);
    TimerS = new QTimer(this);
    TimerS->setObjectName(QStringLiteral("TimerS"));
    TimerS->setInterval(10);
    connect(TimerS, &QTimer::timeout, this, &TSysLog::hwn_TimerS);

    m_log.setListener(this);
    qApp->installEventFilter(this);
    SysLog = this;
    FormCreate();
}

TSysLog::~TSysLog() {
    m_log.setListener(nullptr);
    if (SysLog == this)
        SysLog = nullptr;
}

void TSysLog::FormCreate() {
    m_log.sortAll();
    LoadTree();
}

void TSysLog::armSample() {
    if (!TimerS->isActive())
        TimerS->start();
}

void TSysLog::setActivityLogEnabled(bool on) {
    m_log.ActivityLogEnabled = on;
}

void TSysLog::viewLog() {
    TimerSH->start();
}

void TSysLog::hwn_TimerS() {
    m_log.hwn_TimerS();
}

void TSysLog::disable() {
    TimerS->stop();
}

void TSysLog::TimerSHTimer() {
    TimerSH->stop();
    show();
}

void TSysLog::Clear_All_Records() {
    m_log.Clear_All_Records();
}

void TSysLog::Exit1Click() {
    close();
}

// Closing only hides the window. Accepting the close would also destroy its native window, so
// that each reopening got a new window id and the sampler a new entry for this same window.
void TSysLog::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

void TSysLog::HelpIndex1Click() {
    m_services.help.showTopic("tools menu");
}

void TSysLog::About1Click() {
    emit aboutRequested();
}

void TSysLog::Save1Click() {
    const QString path = m_saveDialog(this, QDir::current().filePath(QString::fromLatin1(ActivityFileName)));
    if (path.isEmpty())
        return;
    const std::string csv = WriteActivityCsv(m_log.roots(), m_services.codePage);
    QSaveFile out(path);
    out.setDirectWriteFallback(false);
    bool ok = out.open(QIODevice::WriteOnly);
    if (ok && out.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size())) {
        ok = false;
        out.cancelWriting();
    }
    if (ok)
        ok = out.commit();
    if (!ok)
        m_services.boxes.error("The activity log could not be saved to \"" +
                               QDir::toNativeSeparators(path).toStdString() + "\": " + out.errorString().toStdString());
}

void TSysLog::LoadTree() {
    QFile in(QString::fromLatin1(ActivityFileName));
    if (!in.exists())
        return;
    const std::string name = ActivityFileName;
    if (!in.open(QIODevice::ReadOnly)) {
        m_services.boxes.error("The saved activity log \"" + name +
                               "\" could not be read: " + in.errorString().toStdString());
        return;
    }
    if (static_cast<std::size_t>(in.size()) > MaxActivityFileBytes) {
        m_services.boxes.error("The saved activity log \"" + name + "\" is too large to be read.");
        return;
    }
    const QByteArray data = in.readAll();
    const bool readFailed = in.error() != QFileDevice::NoError;
    ActivityCsvResult result =
        ReadActivityCsv(std::string_view(data.constData(), static_cast<std::size_t>(data.size())), m_services.codePage,
                        m_services.locale);
    m_log.appendRoots(std::move(result.roots));
    if (readFailed)
        m_services.boxes.error("The saved activity log \"" + name +
                               "\" could not be read to its end: " + in.errorString().toStdString());
    else if (const std::string damage = ActivityCsvDamageText(result, name); !damage.empty())
        m_services.boxes.error(damage);
}

void TSysLog::logCleared() {
    TreeView1->clear();
    m_shown.clear();
}

void TSysLog::rootAdded(int root) {
    auto* item = new QTreeWidgetItem(TreeView1);
    item->setIcon(0, ImageList1()[DayRootImage]);
    item->setText(
        0, QString::fromStdString(m_services.codePage.toUtf8(m_log.roots()[static_cast<std::size_t>(root)].text)));
    m_shown.resize(static_cast<std::size_t>(root) + 1);
}

void TSysLog::childrenChanged(int root) {
    QTreeWidgetItem* top = TreeView1->topLevelItem(root);
    if (!top)
        return;
    const std::vector<ActivityNode>& children = m_log.roots()[static_cast<std::size_t>(root)].children;
    std::vector<std::string>& shown = m_shown[static_cast<std::size_t>(root)];
    const int count = static_cast<int>(children.size());
    while (top->childCount() > count)
        delete top->takeChild(top->childCount() - 1);
    while (top->childCount() < count) {
        auto* item = new QTreeWidgetItem(top);
        item->setIcon(0, ImageList1()[EntryImage]);
    }
    shown.resize(children.size());
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (shown[i] == children[i].text)
            continue;
        shown[i] = children[i].text;
        top->child(static_cast<int>(i))->setText(0, QString::fromStdString(m_services.codePage.toUtf8(shown[i])));
    }
}

void TSysLog::FormKeyDown(int key) {
    m_services.pump.processMessages();
    if (key == Qt::Key_Escape)
        Exit1Click();
    if (key == Qt::Key_F1)
        m_services.help.showTopic("SHM_contents0016");
    m_services.pump.processMessages();
}

// Key preview: the window sees every key pressed in any of its controls first, and leaves it to the
// control. An unhandled key travels on to the parent widgets; it is looked at only once.
bool TSysLog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != this)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // The menu bar has the focus only while it is worked from the keyboard: there Escape leaves it.
    if (qobject_cast<QMenuBar*>(widget) && key->matches(QKeySequence::Cancel))
        return false;
    if (event == m_lastKeyEvent && m_lastKeyReceiver && widget != m_lastKeyReceiver &&
        widget->isAncestorOf(m_lastKeyReceiver) && key->timestamp() == m_lastKeyTime && key->key() == m_lastKey)
        return false;
    m_lastKeyEvent = event;
    m_lastKeyReceiver = widget;
    m_lastKeyTime = key->timestamp();
    m_lastKey = key->key();
    FormKeyDown(key->key());
    return false;
}

void TSysLog::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    const QSize frame = frameGeometry().size() - size();
    resize(OuterWidth - frame.width(), OuterHeight - frame.height());
    if (QScreen* screen = this->screen()) {
        QRect outer(QPoint(0, 0), QSize(OuterWidth, OuterHeight));
        outer.moveCenter(screen->availableGeometry().center());
        move(outer.topLeft());
    }
}

} // namespace tw
