// KeepEscapeInList: Escape pressed on a combo box's open list closes that list and nothing else.
#pragma once

class QComboBox;

namespace tw::platform {

// Qt 6.4 closes an open list as soon as it is offered Escape as a possible shortcut, without
// taking the key: the window's own Escape shortcut then fires as well, and on a desktop that
// gives the key to the window rather than to the list, the key press itself arrives there too.
// After this call the key that closes the list goes no further. Call it once per combo box,
// after any key filters of the window have been installed on it.
void KeepEscapeInList(QComboBox* combo);

} // namespace tw::platform
