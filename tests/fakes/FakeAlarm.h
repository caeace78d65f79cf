// A wall-clock alarm that tests fire by hand, against a fake clock: it remembers when it is armed
// for and fires once the clock has reached that time, or at once for a clock step or a resume.
#pragma once

#include <optional>

#include "platform/WallClockAlarm.h"
#include "store/DayCount.h"

namespace tw::fake {

class FakeAlarm : public platform::WallClockAlarm {
public:
    std::optional<platform::LocalTime> at; // the armed time; empty while disarmed
    int arms = 0;

    void arm(const platform::LocalTime& t) override {
        at = t;
        ++arms;
    }
    void disarm() override { at.reset(); }
    bool armed() const override { return at.has_value(); }
    void setListener(platform::AlarmListener* listener) override { m_listener = listener; }

    // The armed time has come by now.
    bool due(const platform::LocalTime& now) const { return at && ToDayCount(*at) <= ToDayCount(now) + 1e-12; }
    // Fires when due at now, as the event loop would; true when it fired.
    bool fireIfDue(const platform::LocalTime& now) {
        if (!due(now))
            return false;
        return fire();
    }
    // The clock was set or the machine resumed: an armed alarm fires whatever its time.
    bool fire() {
        if (!at)
            return false;
        at.reset();
        if (m_listener)
            m_listener->alarmFired();
        return true;
    }

private:
    platform::AlarmListener* m_listener = nullptr;
};

} // namespace tw::fake
