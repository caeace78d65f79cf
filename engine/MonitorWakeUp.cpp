// The monitor's wake-up: a step at the next minute that matters, or at once after a change.
#include "engine/MonitorWakeUp.h"

#include "engine/Monitor.h"

namespace tw {

MonitorWakeUp::MonitorWakeUp(Store& store, const platform::Clock& clock, platform::WallClockAlarm& alarm,
                             StepDueListener& listener)
    : m_store(store), m_clock(clock), m_alarm(alarm), m_listener(listener) {
    m_alarm.setListener(this);
    m_store.setChangeListener(this);
}

MonitorWakeUp::~MonitorWakeUp() {
    m_store.setChangeListener(nullptr);
    m_alarm.setListener(nullptr);
    m_alarm.disarm();
}

void MonitorWakeUp::alarmFired() {
    m_atOnce = false;
    m_listener.stepDue();
}

void MonitorWakeUp::changed() {
    if (m_stopped || m_depth > 0 || (m_atOnce && m_alarm.armed()))
        return;
    m_atOnce = true;
    m_alarm.arm(m_clock.now());
}

void MonitorWakeUp::stepEnded() {
    if (--m_depth > 0 || m_stopped)
        return;
    m_atOnce = false;
    if (const auto next = NextStepTime(m_store, m_clock.now()))
        m_alarm.arm(*next);
    else
        m_alarm.disarm();
}

void MonitorWakeUp::stop() {
    m_stopped = true;
    m_alarm.disarm();
}

} // namespace tw
