// The Qt notifier that drives InstanceChannel::serve.
#include "platform/qt/InstanceChannelNotifier.h"

#ifdef _WIN32
#include <QWinEventNotifier>
#else
#include <QSocketNotifier>
#endif

namespace tw::platform {

InstanceChannelNotifier::InstanceChannelNotifier(InstanceChannel& channel, InstanceChannel::Handler handler,
                                                 QObject* parent)
    : QObject(parent), m_channel(channel), m_handler(std::move(handler)) {}

void InstanceChannelNotifier::start() {
    const std::intptr_t handle = m_channel.readyHandle();
    if (handle == -1 || m_notifier != nullptr)
        return;
#ifdef _WIN32
    auto* n = new QWinEventNotifier(reinterpret_cast<Qt::HANDLE>(handle), this);
    connect(n, &QWinEventNotifier::activated, this, &InstanceChannelNotifier::serve);
#else
    auto* n = new QSocketNotifier(static_cast<qintptr>(handle), QSocketNotifier::Read, this);
    connect(n, &QSocketNotifier::activated, this, &InstanceChannelNotifier::serve);
#endif
    m_notifier = n;
    serve();
}

void InstanceChannelNotifier::serve() {
    // A handler may open a modal box, whose event loop would call in again: one pass at a time. The
    // handle stays ready, so whatever came meanwhile is served once the notifier is on again.
    if (m_serving)
        return;
    m_serving = true;
    setEnabled(false);
    m_channel.serve(m_handler);
    setEnabled(true);
    m_serving = false;
}

void InstanceChannelNotifier::setEnabled(bool on) {
#ifdef _WIN32
    static_cast<QWinEventNotifier*>(m_notifier)->setEnabled(on);
#else
    static_cast<QSocketNotifier*>(m_notifier)->setEnabled(on);
#endif
}

} // namespace tw::platform
