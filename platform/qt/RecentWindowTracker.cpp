// The program's most recently active window, followed through Qt's focus changes.
#include "platform/qt/RecentWindowTracker.h"

#include <QApplication>

namespace tw::platform {

RecentWindowTracker::RecentWindowTracker(QObject* parent) : QObject(parent) {
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr)
            remember(now->window());
    });
}

void RecentWindowTracker::remember(QWidget* w) {
    if (w != nullptr && w->isVisible())
        m_recent = w;
}

QWidget* RecentWindowTracker::recentWindow() const {
    QWidget* w = m_recent.data();
    if (w != nullptr && w->isVisible())
        return w;
    return nullptr;
}

bool RecentWindowTracker::bringForward() {
    QWidget* w = recentWindow();
    if (w == nullptr)
        return false;
    if (w->isMinimized())
        w->showNormal();
    w->raise();
    w->activateWindow();
    return true;
}

} // namespace tw::platform
