// The local wall clock on Windows (GetLocalTime).
#pragma once

#include "platform/Clock.h"

namespace tw::platform {

class WinClock : public Clock {
public:
    LocalTime now() const override;
};

} // namespace tw::platform
