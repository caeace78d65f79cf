// Small helpers that every window of the program shares: centring on the screen, a close box that
// only hides, and key preview.
#pragma once

#include <QSize>
#include <functional>

class QCloseEvent;
class QScreen;
class QWidget;

namespace tw::platform {

// Moves window so that a rectangle of size, with the window's top-left corner, is centred in the
// screen's work area. Nothing happens without a screen.
void CentreOnScreen(QWidget& window, const QScreen* screen, QSize size);

// The close box of a window that is only ever hidden: the close is refused, because accepting it
// would also destroy the native window and the activity log would count the window anew at every
// opening. hide then hides it the window's own way (hide(), or its Cancel button's handler).
void CloseByHiding(QCloseEvent& event, const std::function<void()>& hide);

// Key preview: the window's own eventFilter sees every key pressed in it, and in each of its
// present controls, before the focused control does. Not in its pop-ups (context menus, open
// drop-down lists): a key pressed there is theirs.
void InstallKeyPreview(QWidget& window);

} // namespace tw::platform
