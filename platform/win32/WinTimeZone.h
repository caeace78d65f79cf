// The local time zone on Windows: the system's current zone with its daylight saving rules.
#pragma once

#include "platform/LocalTimeZone.h"

namespace tw::platform {

class WinTimeZone : public LocalTimeZone {
public:
    LocalTime firstExistingMinute(const LocalTime& t) const override;
};

// True when the local clock shows the minute t (seconds ignored).
bool WinMinuteExists(const LocalTime& t);

} // namespace tw::platform
