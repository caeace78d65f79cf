// The program's help window: one page of HTML shown in a QTextBrowser, opened at the anchor named
// by a topic identifier. With no help file found at start-up a request says so in a message box.
#pragma once

#include <QPointer>
#include <QString>
#include <QTextBrowser>

#include "platform/Help.h"
#include "platform/MessageBox.h"

namespace tw::platform {

// The help file's place relative to the executable's directory: beside it (the build tree, Windows),
// or in the data folder of an installed Linux program (bin/tellwick, share/tellwick/Help/).
inline constexpr char HelpFileRelative[] = "Help/tellwick.html";
inline constexpr char InstalledHelpFileRelative[] = "../share/tellwick/Help/tellwick.html";
inline constexpr char HelpMissingText[] =
    "Help is not installed: the help file Help/tellwick.html was not found beside the program.";

// The first of the two places above that holds the file, else an empty string.
QString FindHelpFile(const QString& executableDir);

class QtHelpViewer : public Help {
public:
    explicit QtHelpViewer(MessageBoxes& boxes);
    ~QtHelpViewer() override;
    QtHelpViewer(const QtHelpViewer&) = delete;
    QtHelpViewer& operator=(const QtHelpViewer&) = delete;

    // The help file; empty: none (requests then say that help is not installed).
    void setHelpFile(const QString& path) { m_file = path; }
    const QString& helpFile() const { return m_file; }

    void showTopic(const std::string& topic) override;
    void quit() override;

    // The help window, once a topic was shown; null before.
    QTextBrowser* window() const { return m_window.data(); }

private:
    MessageBoxes& m_boxes;
    QString m_file;
    QPointer<QTextBrowser> m_window;
};

} // namespace tw::platform
