// Finding Qt's X11 display and connection, and the scoped Xlib error trap.
#include "platform/x11/X11Connection.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xlib.h>

namespace tw::platform {

namespace {

int SilentErrors(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

X11Connection QtX11Connection() {
    if (qGuiApp == nullptr || QGuiApplication::platformName() != QLatin1String("xcb"))
        return {};
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr || x11->connection() == nullptr)
        return {};
    return {x11->display(), x11->connection()};
}

X11ErrorTrap::X11ErrorTrap(_XDisplay* display) : m_display(display) {
    XSync(m_display, False);
    m_previous = reinterpret_cast<void (*)()>(XSetErrorHandler(SilentErrors));
}

X11ErrorTrap::~X11ErrorTrap() {
    XSync(m_display, False);
    XSetErrorHandler(reinterpret_cast<XErrorHandler>(m_previous));
}

} // namespace tw::platform
