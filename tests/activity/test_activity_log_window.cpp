// The activity log window on the offscreen platform: its controls, timers, keys, commands, and
// saving and reading back the log.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <memory>

#include "ActivityFixture.h"
#include "activity/ActivityCsv.h"
#include "activity/ActivityLogWindow.h"

using namespace tw;

class TestHwn : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::ActivityServices> m_s;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldDir;

    std::unique_ptr<TSysLog> make() { return std::make_unique<TSysLog>(m_s->services); }
    QString file(const QString& name) const { return m_dir->filePath(name); }
    static QStringList topTexts(QTreeWidget* t) {
        QStringList l;
        for (int i = 0; i < t->topLevelItemCount(); ++i)
            l << t->topLevelItem(i)->text(0);
        return l;
    }
    static QStringList childTexts(QTreeWidget* t, int root) {
        QStringList l;
        for (int i = 0; i < t->topLevelItem(root)->childCount(); ++i)
            l << t->topLevelItem(root)->child(i)->text(0);
        return l;
    }
    void writeFile(const QString& name, const QByteArray& data) {
        QFile f(file(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

private slots:
    void init() {
        m_s = std::make_unique<test::ActivityServices>();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_oldDir = QDir::currentPath();
        QDir::setCurrent(m_dir->path());
    }
    void cleanup() {
        QDir::setCurrent(m_oldDir);
        m_dir.reset();
        m_s.reset();
    }

    void controls() {
        auto w = make();
        QCOMPARE(SysLog, w.get());
        QCOMPARE(w->windowTitle(), QStringLiteral("User Activity"));
        QVERIFY(!w->isVisible());
        QStringList buttons;
        for (QToolButton* b : w->findChild<QToolBar*>("ToolBar1")->findChildren<QToolButton*>()) {
            if (b->objectName().startsWith("SpeedButton")) {
                buttons << b->text();
                QVERIFY(!b->icon().isNull());
                QVERIFY(!b->accessibleName().isEmpty());
            }
        }
        QCOMPARE(buttons, (QStringList{"Save", "Clear All", " Exit"}));
        QStringList menus;
        for (QAction* m : w->menuBar()->actions()) {
            QStringList items;
            for (QAction* a : m->menu()->actions())
                items << a->text();
            menus << m->text() + ": " + items.join(", ");
        }
        QCOMPARE(menus, (QStringList{"&File: &Save, E&xit", "&Edit: &Clear All", "&Help: Help &Index, &About"}));
        QTreeWidget* tree = w->treeView();
        QCOMPARE(tree->indentation(), 19);
        QCOMPARE(tree->palette().color(QPalette::Base), QToolTip::palette().color(QPalette::ToolTipBase));
        QVERIFY(!tree->accessibleName().isEmpty());
        const QList<QLabel*> panels = w->statusBar()->findChildren<QLabel*>();
        QCOMPARE(panels.size(), 2);
        for (QLabel* p : panels) {
            QCOMPARE(p->width(), 50);
            QVERIFY(p->text().isEmpty());
        }
        QCOMPARE(w->showTimer()->interval(), 1);
        QVERIFY(!w->showTimer()->isActive());
        QCOMPARE(w->samplingTimer()->interval(), 10);
        QVERIFY(!w->samplingTimer()->isActive());
        QCOMPARE(tree->topLevelItemCount(), 0);
        w.reset();
        QVERIFY(SysLog == nullptr);
    }

    // Where the desktop does not tell which window is in front, one line above the tree says so and
    // samples add no entries; where it does, the tree alone fills the window.
    void desktopWithoutWindowInFront() {
        for (const bool told : {true, false}) {
            Services services = m_s->services;
            services.windows = told ? &m_s->windows : nullptr;
            m_s->windows.foreground = m_s->windows.add("Editor");
            TSysLog w(services);
            QCOMPARE(w.noForegroundNotice() == nullptr, told);
            QCOMPARE(w.centralWidget() == w.treeView(), told);
            if (!told) {
                QCOMPARE(w.noForegroundNotice()->text(), TSysLog::NoForegroundText());
                QVERIFY(w.noForegroundNotice()->text().contains("does not tell programs which window is in front"));
            }
            w.armSample();
            QTRY_VERIFY(!w.samplingTimer()->isActive());
            QCOMPARE(w.treeView()->topLevelItemCount(), 1);
            QCOMPARE(w.treeView()->topLevelItem(0)->childCount(), told ? 1 : 0);
        }
    }

    void viewLogShowsOnALaterTurn() {
        auto w = make();
        w->viewLog();
        QVERIFY(!w->isVisible());
        QTRY_VERIFY(w->isVisible());
        QVERIFY(!w->showTimer()->isActive());
        const QRect before = w->geometry();
        w->viewLog();
        QTest::qWait(20);
        QVERIFY(w->isVisible());
        QCOMPARE(w->geometry(), before);
    }

    void armedSampleShowsInTheTree() {
        auto w = make();
        m_s->windows.foreground = m_s->windows.add("Editor");
        w->armSample();
        QVERIFY(w->samplingTimer()->isActive());
        QTRY_VERIFY(!w->samplingTimer()->isActive());
        QTreeWidget* tree = w->treeView();
        QCOMPARE(topTexts(tree), QStringList{"08/12/26     Start in: 09:00:00"});
        QCOMPARE(childTexts(tree, 0), QStringList{"00:00:00    Editor"});
        QVERIFY(!tree->topLevelItem(0)->icon(0).isNull());
        QVERIFY(!tree->topLevelItem(0)->child(0)->icon(0).isNull());
        QVERIFY(tree->topLevelItem(0)->icon(0).cacheKey() != tree->topLevelItem(0)->child(0)->icon(0).cacheKey());
        // A second window, then the first again: re-sorted longest first in the view too.
        m_s->windows.foreground = m_s->windows.add("Mail \xE9");
        for (int i = 0; i < 2; ++i) {
            w->armSample();
            QTRY_VERIFY(!w->samplingTimer()->isActive());
        }
        QCOMPARE(childTexts(tree, 0), (QStringList{"00:00:01    Mail \u00e9", "00:00:00    Editor"}));
    }

    void closedWindowKeepsSampling() {
        auto w = make();
        m_s->windows.foreground = m_s->windows.add("Editor");
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const WId shownAs = w->winId();
        w->close();
        QVERIFY(!w->isVisible());
        for (int i = 0; i < 3; ++i) {
            w->armSample();
            QTRY_VERIFY(!w->samplingTimer()->isActive());
        }
        w->viewLog();
        QTRY_VERIFY(w->isVisible());
        QCOMPARE(childTexts(w->treeView(), 0), QStringList{"00:00:02    Editor"});
        // Still the same window to the desktop, so the sampler keeps counting it as one.
        QCOMPARE(w->winId(), shownAs);
    }

    void escapeAndF1FromAnyControl() {
        auto w = make();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto* save = w->findChild<QToolButton*>("SpeedButton1");
        for (QWidget* target : {static_cast<QWidget*>(w->treeView()), static_cast<QWidget*>(save)}) {
            QTest::keyClick(target, Qt::Key_F1);
            QTest::keyClick(target, Qt::Key_F1, Qt::ControlModifier);
        }
        QCOMPARE(m_s->help.topics.size(), std::size_t(4));
        QCOMPARE(m_s->help.topics, std::vector<std::string>(4, "SHM_contents0016"));
        const int yields = m_s->pump.processed;
        QVERIFY(yields >= 8); // before and after each key
        QTest::keyClick(w->treeView(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        w->show();
        QTest::keyClick(save, Qt::Key_Escape);
        QVERIFY(!w->isVisible());

        // Worked from the keyboard, the menus take Escape: it closes the open menu, then leaves the
        // menu bar; only the next one closes the window. (Qt's Windows platform opens a menu bar from
        // the system's own Alt handling, which a synthesized key event does not reach.)
        if (QGuiApplication::platformName() == QLatin1String("windows"))
            return;
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w->windowHandle(), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QTest::keyClick(QApplication::activePopupWidget()->windowHandle(), Qt::Key_Escape);
        QVERIFY(QApplication::activePopupWidget() == nullptr);
        w->activateWindow(); // the offscreen platform leaves no window active after a popup
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->menuBar()));
        QTest::keyClick(w->windowHandle(), Qt::Key_Escape);
        QVERIFY(w->isVisible());
        QTest::keyClick(w->treeView(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
    }

    void helpAndAbout() {
        auto w = make();
        QSignalSpy about(w.get(), &TSysLog::aboutRequested);
        w->findChild<QAction*>("HelpIndex1")->trigger();
        QCOMPARE(m_s->help.topics, std::vector<std::string>{"tools menu"});
        w->findChild<QAction*>("About1")->trigger();
        QCOMPARE(about.count(), 1);
        w->show();
        w->findChild<QAction*>("Exit1")->trigger();
        QVERIFY(!w->isVisible());
    }

    void clearAllInBothStates() {
        auto w = make();
        m_s->windows.foreground = m_s->windows.add("Editor");
        w->log().hwn_TimerS();
        w->log().hwn_TimerS();
        w->findChild<QToolButton*>("SpeedButton3")->click();
        QCOMPARE(w->treeView()->topLevelItemCount(), 0);
        w->log().hwn_TimerS();
        QCOMPARE(w->treeView()->topLevelItemCount(), 1);
        w->setActivityLogEnabled(true);
        m_s->clock.set(2026, 12, 8, 10, 15, 30);
        w->findChild<QAction*>("ClearAll1")->trigger();
        QCOMPARE(topTexts(w->treeView()), QStringList{"08/12/26     Start in: 10:15:30"});
        QCOMPARE(w->treeView()->topLevelItem(0)->childCount(), 0);
    }

    void saveProposesActivityCsvAndWritesTheLog() {
        auto w = make();
        m_s->windows.foreground = m_s->windows.add("Editor, \"draft\"");
        w->log().hwn_TimerS();
        QString proposed;
        w->setSaveDialog([&](QWidget*, const QString& p) {
            proposed = p;
            return file("out.csv");
        });
        w->findChild<QToolButton*>("SpeedButton1")->click();
        QCOMPARE(proposed, QDir::current().filePath("activity.csv"));
        QFile f(file("out.csv"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray data = f.readAll();
        QCOMPARE(data.toStdString(), WriteActivityCsv(w->log().roots(), m_s->codePage));
        QVERIFY(data.contains("\"Editor, \"\"draft\"\"\""));
        QVERIFY(m_s->boxes.shown.empty());
    }

    void saveCancelledOrFailing() {
        auto w = make();
        w->setSaveDialog([](QWidget*, const QString&) { return QString(); });
        w->findChild<QAction*>("Save1")->trigger();
        QVERIFY(!QFile::exists(file("activity.csv")));
        QVERIFY(m_s->boxes.shown.empty());
        w->setSaveDialog([&](QWidget*, const QString&) { return file("missing/dir/out.csv"); });
        w->findChild<QAction*>("Save1")->trigger();
        QCOMPARE(m_s->boxes.shown.size(), std::size_t(1));
        QVERIFY(m_s->boxes.shown[0].text.find("could not be saved") != std::string::npos);
    }

    void savedLogIsReadBackAtCreation() {
        {
            auto w = make();
            m_s->windows.foreground = m_s->windows.add("Line one\nline two");
            w->log().hwn_TimerS();
            w->log().hwn_TimerS();
            w->setSaveDialog([](QWidget*, const QString& p) { return p; });
            w->findChild<QAction*>("Save1")->trigger();
        }
        QVERIFY(QFile::exists(file("activity.csv")));
        auto w = make();
        QCOMPARE(topTexts(w->treeView()), QStringList{"08/12/26     Start in: 09:00:00"});
        QCOMPARE(childTexts(w->treeView(), 0), QStringList{"00:00:01    Line one\nline two"});
        QVERIFY(m_s->boxes.shown.empty());
        // The next sample starts a root of its own and never counts into the loaded entry.
        w->log().hwn_TimerS();
        QCOMPARE(w->treeView()->topLevelItemCount(), 2);
        QCOMPARE(childTexts(w->treeView(), 0), QStringList{"00:00:01    Line one\nline two"});
    }

    void damagedFileIsReportedAndTheRestKept() {
        writeFile("activity.csv", "Date,Start time,Title,Time,Seconds\r\n"
                                  "08/12/26,09:00:00,Editor,00:00:04,4\r\n"
                                  "08/12/26,09:00:00,broken row\r\n"
                                  "08/12/26,09:00:00,\"never closed,00:00:01,1\r\n");
        auto w = make();
        QCOMPARE(childTexts(w->treeView(), 0), QStringList{"00:00:04    Editor"});
        QCOMPARE(m_s->boxes.shown.size(), std::size_t(1));
        QVERIFY(m_s->boxes.shown[0].text.find("damaged") != std::string::npos);
    }

    void unreadableFileIsReported() {
        QVERIFY(QDir().mkdir(file("activity.csv"))); // a directory where the file should be
        auto w = make();
        QCOMPARE(w->treeView()->topLevelItemCount(), 0);
        QCOMPARE(m_s->boxes.shown.size(), std::size_t(1));
    }
};

QTEST_MAIN(TestHwn)
#include "test_activity_log_window.moc"
