// TSysLog, the "User Activity" window: the tree of the activity log with its tool bar, menu and status bar,
// and the two timers that take a sample and show the window. Created hidden at start-up; closing it
// only hides it, and sampling goes on behind it.
//
// What the shell uses:
//   armSample()                 enables TimerS: one sample is taken 10 ms later (each tick of the
//                               shell's one-second TimerS while logging is on)
//   setActivityLogEnabled(bool) "Enable Log User Activity" checked or unchecked
//   viewLog()                   enables TimerSH: the window is shown on a later turn of the event loop
//   aboutRequested()            signal of "&About", for the shell's about box
#pragma once

#include <QCollator>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "activity/ActivityLog.h"
#include "store/Services.h"

class QAction;
class QLabel;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;

namespace tw {

// The user's locale, ignoring case, on ANSI texts.
class QtTextCollation : public TextCollation {
public:
    explicit QtTextCollation(const platform::CodePage& codePage);
    int compare(std::string_view a, std::string_view b) const override;

private:
    const platform::CodePage& m_codePage;
    QCollator m_collator;
};

class TSysLog : public QMainWindow, private ActivityLogListener, private SampleTimer {
    Q_OBJECT
public:
    // Proposes a path and answers the chosen one; empty when the user cancelled.
    using SaveDialog = std::function<QString(QWidget* parent, const QString& proposed)>;

    explicit TSysLog(Services& services, QWidget* parent = nullptr);
    ~TSysLog() override;

    void armSample();
    void setActivityLogEnabled(bool on);
    void viewLog();

    // The interval of the shell's arming timer, counted per sample (1000 ms unless changed).
    void setArmIntervalMs(int ms) { m_log.setArmIntervalMs(ms); }
    // Replaces the standard save dialog (tests).
    void setSaveDialog(SaveDialog dialog) { m_saveDialog = std::move(dialog); }

    ActivityLog& log() { return m_log; }
    // The line shown where the desktop does not tell programs which window is in front.
    static QString NoForegroundText();
    QLabel* noForegroundNotice() const { return NoForegroundNotice; }
    QTreeWidget* treeView() const { return TreeView1; }
    QTimer* samplingTimer() const { return TimerS; }
    QTimer* showTimer() const { return TimerSH; }

    // Handlers, named after their components.
    void hwn_TimerS();
    void TimerSHTimer();
    void Clear_All_Records();
    void Save1Click();
    void Exit1Click();
    void HelpIndex1Click();
    void About1Click();
    // Reads "activity.csv" from the working directory into the tree, if it is there.
    void LoadTree();

signals:
    void aboutRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormKeyDown(int key);
    // ActivityLogListener
    void logCleared() override;
    void rootAdded(int root) override;
    void childrenChanged(int root) override;
    // SampleTimer
    void disable() override;

    Services& m_services;
    QtTextCollation m_collation;
    ActivityLog m_log;
    SaveDialog m_saveDialog;
    bool m_centred = false;
    // The key event last looked at, to tell its travel up to the parents from a new key.
    const QEvent* m_lastKeyEvent = nullptr;
    QPointer<QWidget> m_lastKeyReceiver;
    quint64 m_lastKeyTime = 0;
    int m_lastKey = 0;
    // The texts the tree shows, per root and child, so that a sample only touches changed items.
    std::vector<std::vector<std::string>> m_shown;

    QToolBar* ToolBar1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    // The line shown above the tree where the desktop does not tell which window is in front.
    QLabel* NoForegroundNotice = nullptr;
    QLabel* m_panel1 = nullptr;
    QLabel* m_panel2 = nullptr;
    QAction* Save1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* ClearAll1 = nullptr;
    QAction* HelpIndex1 = nullptr;
    QAction* About1 = nullptr;
    QTimer* TimerSH = nullptr;
    QTimer* TimerS = nullptr;
};

// The one log window of the program; set while it exists.
extern TSysLog* SysLog;

} // namespace tw
