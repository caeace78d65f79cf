// The local time zone on POSIX: mktime and localtime_r with the session's TZ (any POSIX TZ string
// or zone of the system's database).
#pragma once

#include "platform/LocalTimeZone.h"

namespace tw::platform {

class PosixTimeZone : public LocalTimeZone {
public:
    LocalTime firstExistingMinute(const LocalTime& t) const override;
};

// True when the local clock shows the minute t (seconds ignored) in the session's time zone.
bool PosixMinuteExists(const LocalTime& t);

} // namespace tw::platform
