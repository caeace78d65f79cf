// The local wall clock on Windows (GetLocalTime).
#pragma once

#include "platform/Clock.h"

namespace tw::platform::win32 {

class WinClock : public Clock {
public:
    LocalTime now() const override;
};

} // namespace tw::platform::win32
