// MonitorWakeUp: decides when the monitor's step runs. Instead of a step every second, the step
// runs at the first moment of the minute of the earliest pending reminder, at once after any change
// the store signals (a table operation, a load, the edit session, "&Disable All", the end of a
// display), and whenever the wall-clock alarm reports a clock step or a resume from sleep. Between
// these the alarm sleeps and nothing of the monitor runs.
#pragma once

#include "platform/Clock.h"
#include "platform/WallClockAlarm.h"
#include "store/Store.h"

namespace tw {

// Told when the monitor's step is due: it runs one step (with the tray icon's update).
class StepDueListener {
public:
    virtual ~StepDueListener() = default;
    virtual void stepDue() = 0;
};

class MonitorWakeUp : private StoreChangeListener, private platform::AlarmListener {
public:
    // The listener is told from the alarm and must outlive the wake-up.
    MonitorWakeUp(Store& store, const platform::Clock& clock, platform::WallClockAlarm& alarm,
                  StepDueListener& listener);
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
    void storeChanged() override { changed(); }
    void alarmFired() override;

    Store& m_store;
    const platform::Clock& m_clock;
    platform::WallClockAlarm& m_alarm;
    StepDueListener& m_listener;
    int m_depth = 0;
    bool m_stopped = false;
    bool m_atOnce = false; // armed for a step on the next turn of the event loop
};

} // namespace tw
