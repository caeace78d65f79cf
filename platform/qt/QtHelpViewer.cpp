// The help window: finding the help file, loading it and opening it at a topic's anchor.
#include "platform/qt/QtHelpViewer.h"

#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QShortcut>
#include <QUrl>

namespace tw::platform {

QString FindHelpFile(const QString& executableDir) {
    for (const char* relative : {HelpFileRelative, InstalledHelpFileRelative}) {
        const QString path = QDir::cleanPath(QDir(executableDir).filePath(QString::fromLatin1(relative)));
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QtHelpViewer::QtHelpViewer(MessageBoxes& boxes) : m_boxes(boxes) {}

QtHelpViewer::~QtHelpViewer() {
    delete m_window.data();
}

void QtHelpViewer::showTopic(const std::string& topic) {
    if (m_file.isEmpty()) {
        m_boxes.information(HelpMissingText);
        return;
    }
    if (m_window == nullptr) {
        auto* w = new QTextBrowser;
        w->setObjectName(QStringLiteral("HelpWindow"));
        w->setWindowTitle(QStringLiteral("Tellwick Help"));
        w->setAccessibleName(QStringLiteral("Tellwick Help"));
        w->setOpenExternalLinks(true);
        w->resize(640, 560);
        auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), w);
        QObject::connect(close, &QShortcut::activated, w, &QWidget::close);
        m_window = w;
    }
    QUrl url = QUrl::fromLocalFile(m_file);
    url.setFragment(QString::fromStdString(topic));
    if (m_window->source().adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment))
        m_window->scrollToAnchor(QString::fromStdString(topic));
    else
        m_window->setSource(url);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void QtHelpViewer::quit() {
    if (m_window != nullptr)
        m_window->close();
}

} // namespace tw::platform
