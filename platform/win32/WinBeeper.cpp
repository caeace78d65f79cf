// WinBeeper: MessageBeep with the system's default sound.
#include "platform/win32/WinBeeper.h"

#include <windows.h>

namespace tw::platform {

void WinBeeper::beep() {
    ::MessageBeep(0);
}

} // namespace tw::platform
