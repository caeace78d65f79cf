// The local wall clock on POSIX (localtime_r, so the TZ of the session applies).
#pragma once

#include "platform/Clock.h"

namespace tw::platform {

class PosixClock : public Clock {
public:
    LocalTime now() const override;
};

} // namespace tw::platform
