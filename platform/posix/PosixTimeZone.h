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

// The instant (whole seconds since 1970, UTC) at which the session's local clock shows t (its
// milliseconds dropped). A time inside a span the clock skips gives the first minute after it; a
// time shown twice (the hour repeated when daylight saving ends) gives its first showing.
long long PosixLocalToUtc(const LocalTime& t);

} // namespace tw::platform
