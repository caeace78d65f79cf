// The program's most recently active window, which a second copy's start brings forward (on
// every platform; how the second copy reaches the first differs).
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace tw::platform {

// Remembers the program's most recently active visible top-level window, so that a request from a
// second copy can bring it forward.
class RecentWindowTracker : public QObject {
    Q_OBJECT
public:
    explicit RecentWindowTracker(QObject* parent = nullptr);
    QWidget* recentWindow() const;
    // Restores the recent window when minimised and raises and activates it; false when there is none.
    bool bringForward();

private:
    void remember(QWidget* w);
    QPointer<QWidget> m_recent;
};

} // namespace tw::platform
