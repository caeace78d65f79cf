// The local wall clock, as the reminder logic sees it. Everything that asks "what time is it" goes
// through this interface so that tests can set the clock and step it by hand.
#pragma once

namespace tw::platform {

// A broken-down local date and time, as the system clock gives it (GetLocalTime on Windows,
// localtime_r on POSIX). Months and days count from 1.
struct LocalTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
};

} // namespace tw::platform
