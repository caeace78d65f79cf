// The window helpers: centring, hide-on-close and key preview.
#include "platform/qt/WindowHelpers.h"

#include <QCloseEvent>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace tw::platform {

void CentreOnScreen(QWidget& window, const QScreen* screen, QSize size) {
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    window.move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

void CloseByHiding(QCloseEvent& event, const std::function<void()>& hide) {
    event.ignore();
    hide();
}

void InstallKeyPreview(QWidget& window) {
    window.installEventFilter(&window);
    for (QWidget* w : window.findChildren<QWidget*>())
        if (!w->isWindow())
            w->installEventFilter(&window);
}

} // namespace tw::platform
