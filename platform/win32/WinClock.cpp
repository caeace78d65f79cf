// WinClock: the local wall clock from GetLocalTime.
#include "platform/win32/WinClock.h"

#include <windows.h>

namespace tw::platform {

LocalTime WinClock::now() const {
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

} // namespace tw::platform
