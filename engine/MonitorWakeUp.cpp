// The monitor's wake-up: a step at the next minute that matters, or at once after a change.
#include "engine/MonitorWakeUp.h"

#include "engine/Monitor.h"

namespace tw {

MonitorWakeUp::MonitorWakeUp(Store& store, const platform::Clock& clock, platform::WallClockAlarm& alarm,
                             std::function<void()> run)
    : m_store(store), m_clock(clock), m_alarm(alarm), m_run(std::move(run)) {
    m_alarm.setHandler([this] {
        m_atOnce = false;
        m_run();
    });
    m_store.setChangeListener([this] { changed(); });
}

MonitorWakeUp::~MonitorWakeUp() {
    m_store.setChangeListener({});
    m_alarm.setHandler({});
    m_alarm.disarm();
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
