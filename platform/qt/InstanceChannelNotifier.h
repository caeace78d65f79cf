// InstanceChannelNotifier: serves an InstanceChannel from Qt's event loop, on the user-interface
// thread, whenever its ready handle signals (a socket notifier on POSIX, an event notifier on
// Windows).
#pragma once

#include <QObject>

#include "platform/InstanceChannel.h"

namespace tw::platform {

class InstanceChannelNotifier : public QObject {
    Q_OBJECT
public:
    // The channel must be listening and outlive this notifier.
    InstanceChannelNotifier(InstanceChannel& channel, InstanceChannel::Handler handler, QObject* parent = nullptr);
    // Serves what waits already (messages that came during start-up) and from then on.
    void start();

private:
    void serve();
    void setEnabled(bool on);
    InstanceChannel& m_channel;
    InstanceChannel::Handler m_handler;
    QObject* m_notifier = nullptr;
    bool m_serving = false;
};

} // namespace tw::platform
