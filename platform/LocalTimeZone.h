// The local time zone, as far as repeating reminders need it: whether a local wall-clock minute
// exists. On the day daylight saving time begins the clock skips a span (02:00 to 02:59 in much of
// Europe); an occurrence whose time falls inside it is shown at the first minute after the span.
// Back ends: platform/posix (mktime/localtime_r, the session's TZ), platform/win32, and
// fake::FakeTimeZone for tests.
#pragma once

#include <functional>

#include "platform/Clock.h"

namespace tw::platform {

class LocalTimeZone {
public:
    virtual ~LocalTimeZone() = default;
    // The first local minute at or after t (its seconds and milliseconds are ignored, the result
    // has none) that the local clock shows. Where every minute exists this is t itself.
    virtual LocalTime firstExistingMinute(const LocalTime& t) const = 0;
};

// The search the back ends share: the first minute at or after t (seconds dropped) for which
// exists holds, minute by minute over two days (a skipped span is an hour in most zones, and no
// zone skips more); t itself, without seconds, when no minute in that reach exists.
LocalTime FirstMinuteWhere(const LocalTime& t, const std::function<bool(const LocalTime&)>& exists);

} // namespace tw::platform
