// The desktop's geometry on X11: the panel that holds the notification area (where the tray menu
// opens for Ctrl+F2) and the work area.
#pragma once

#include "platform/Desktop.h"

namespace tw::platform {

class X11Desktop : public DesktopGeometry {
public:
    // The dock (_NET_WM_WINDOW_TYPE_DOCK) window that holds the system tray's selection owner, or
    // that owner's own window when it sits in no dock; nothing without a tray or without X11.
    std::optional<Rect> trayPanelRect() override;
    // Qt's available geometry of the primary screen (_NET_WORKAREA); right and bottom exclusive.
    Rect workArea() override;
};

} // namespace tw::platform
