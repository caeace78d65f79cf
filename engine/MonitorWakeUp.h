// MonitorWakeUp: decides when the monitor's step runs. Instead of a step every second, the step
// runs at the first moment of the minute of the earliest pending reminder, at once after any change
// the store signals (a table operation, a load, the edit session, "&Disable All", the end of a
// display), and whenever the wall-clock alarm reports a clock step or a resume from sleep. Between
// these the alarm sleeps and nothing of the monitor runs.
#pragma once

#include <functional>

#include "platform/Clock.h"
#include "platform/WallClockAlarm.h"
#include "store/Store.h"

namespace tw {

class MonitorWakeUp {
public:
    // run is one step of the monitor (with the tray icon's update); it is called from the alarm.
    MonitorWakeUp(Store& store, const platform::Clock& clock, platform::WallClockAlarm& alarm,
                  std::function<void()> run);
    ~MonitorWakeUp();
    MonitorWakeUp(const MonitorWakeUp&) = delete;
    MonitorWakeUp& operator=(const MonitorWakeUp&) = delete;

    // Something the step looks at has changed: the step runs on the next turn of the event loop.
    // During a step the change is left to the re-arming at the step's end.
    void changed();
    // A step begins and ends (steps nest while a title-bar display processes messages). The end of
    // the outermost one arms the alarm for the next step the state asks for, or disarms it.
    void stepBegins() { ++m_depth; }
    void stepEnded();
    // The program ends: no step runs any more.
    void stop();

private:
    Store& m_store;
    const platform::Clock& m_clock;
    platform::WallClockAlarm& m_alarm;
    std::function<void()> m_run;
    int m_depth = 0;
    bool m_stopped = false;
    bool m_atOnce = false; // armed for a step on the next turn of the event loop
};

} // namespace tw
