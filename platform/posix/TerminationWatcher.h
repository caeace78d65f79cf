// Turns SIGTERM and SIGHUP (the system or the session asking the program to end) into a Qt signal
// on the user-interface thread, through a self-pipe: the signal handler only writes one byte.
// POSIX only; built with the Qt program.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace tw::platform {

class TerminationWatcher : public QObject {
    Q_OBJECT
public:
    // Only one watcher may exist at a time: it owns the handlers of both signals.
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;
    bool isActive() const { return m_notifier != nullptr; }
    // While held, caught signals wait and are reported when the hold ends: start-up holds them
    // until the windows that save are built, so none is lost and none saves half-loaded tables.
    void setHeld(bool held);

signals:
    void terminationRequested(int signalNumber);

private:
    void onReadable();
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tw::platform
